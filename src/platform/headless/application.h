#pragma once
// The program without a screen: one Shell with the headless window and user,
// started as the program starts, and a message loop emulated by pump():
// posted commands first, then a pending paint. Message boxes and dialogs run
// a nested loop, so a command posted before one of them runs while it shows.
#include <optional>
#include <string>

#include "platform/headless/headless_ui.h"
#include "platform/headless/headless_window.h"
#include "shell/shell.h"

namespace opta::headless {

struct AppOptions {
  Size screen{1920, 1080};
  std::optional<Size> client;  // default: the whole screen
  ShellOptions shell;          // test commands and templates
};

class Application {
 public:
  explicit Application(AppOptions options = {});
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Start-up: create (WM_CREATE), show maximised (size and first paint), then
  // the large toolbar. Call once, before anything else.
  void start();

  // Delivers posted commands, then a pending paint, until neither is left.
  // Does nothing once the process has exited.
  void pump();

  // Each event is delivered, then the loop runs until idle.
  void command(int id);
  bool key(const KeyPress& key);  // through the accelerator table
  void leftDown(Point p);
  void mouseMove(Point p, bool leftButtonHeld = true);
  void leftUp(Point p);
  void rightDown(Point p);
  void tick();  // every active timer fires once
  void resize(Size client);
  void minimise();
  void restore();
  void close();  // WM_DESTROY

  // Open exactly as the user does it: the file dialog answers path, then
  // the Open command runs.
  void open(const std::string& path);

  bool exited() const { return ui_.exited(); }
  std::optional<int> exitCode() const { return ui_.exitCode(); }

  Shell& shell() { return shell_; }
  HeadlessUi& ui() { return ui_; }
  HeadlessWindow& window() { return window_; }
  Document& doc() { return shell_.document(); }
  Surface& windowSurface() { return shell_.windowSurface(); }
  MenuState& menu() { return shell_.menu(); }

 private:
  HeadlessWindow window_;
  HeadlessUi ui_;
  Shell shell_;
  Size client_;
  bool started_ = false;
};

}  // namespace opta::headless
