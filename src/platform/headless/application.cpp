#include "platform/headless/application.h"

namespace opta::headless {

namespace {
constexpr int kOpenCommand = 40001;
}

Application::Application(AppOptions options) : shell_(window_, ui_, std::move(options.shell)) {
  window_.setScreenSize(options.screen);
  client_ = options.client.value_or(options.screen);
  ui_.setModalLoop([this] { pump(); });
}

void Application::start() {
  if (started_) return;
  started_ = true;
  shell_.onCreate();
  // ShowWindow maximised, then UpdateWindow paints at once.
  shell_.onSize(client_);
  window_.invalidate();
  pump();
  shell_.onShown();
}

void Application::pump() {
  while (!exited()) {
    if (std::optional<int> id = window_.takePosted()) {
      shell_.onCommand(*id);
      continue;
    }
    if (window_.takePaint()) {
      shell_.onPaint();
      continue;
    }
    break;
  }
}

void Application::command(int id) {
  if (exited()) return;
  shell_.onCommand(id);
  pump();
}

bool Application::key(const KeyPress& key) {
  if (exited()) return false;
  const bool consumed = shell_.translateAccelerator(key);
  pump();
  return consumed;
}

void Application::leftDown(Point p) {
  if (exited()) return;
  shell_.onLeftButtonDown(p);
  pump();
}

void Application::mouseMove(Point p, bool leftButtonHeld) {
  if (exited()) return;
  shell_.onMouseMove(p, leftButtonHeld);
  pump();
}

void Application::leftUp(Point p) {
  if (exited()) return;
  shell_.onLeftButtonUp(p);
  pump();
}

void Application::rightDown(Point p) {
  if (exited()) return;
  shell_.onRightButtonDown(p);
  pump();
}

void Application::tick() {
  if (exited()) return;
  const std::map<int, int> active = window_.timers();
  for (const auto& [id, period] : active) {
    if (exited()) break;
    shell_.onTimer(id);
  }
  pump();
}

void Application::resize(Size client) {
  if (exited()) return;
  client_ = client;
  shell_.onSize(client);
  window_.invalidate();
  pump();
}

void Application::minimise() {
  if (exited()) return;
  window_.setMinimised(true);
}

void Application::restore() {
  if (exited()) return;
  window_.setMinimised(false);
  window_.invalidate();
  pump();
}

void Application::close() {
  if (exited()) return;
  shell_.onDestroy();
}

void Application::open(const std::string& path) {
  if (exited()) return;
  ui_.queueFile(path);
  command(kOpenCommand);
}

}  // namespace opta::headless
