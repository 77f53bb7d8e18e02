#pragma once
// A started headless program whose command table holds the shell's own
// commands plus test commands that record what reached them.
#include <map>
#include <string>
#include <vector>

#include "platform/headless/application.h"

namespace opta::testing {

// Two small templates for dialog tests: an edit field, a group of two auto
// radio buttons, a radio button of its own group, OK and Cancel.
inline const resources::DialogTemplate* TestTemplate(std::string_view name) {
  using K = resources::DialogControl::Kind;
  constexpr unsigned group = resources::style::kWsGroup;
  static const auto make = [](std::string_view n) {
    resources::DialogTemplate t;
    t.name = n;
    t.title = "Test";
    t.controls = {{K::Edit, 1026, "", 0, 0, 10, 10, group},
                  {K::AutoRadioButton, 1064, "A", 0, 0, 10, 10, group},
                  {K::AutoRadioButton, 1065, "B", 0, 0, 10, 10, 0},
                  {K::AutoRadioButton, 1066, "C", 0, 0, 10, 10, group},
                  {K::Text, -1, "label", 0, 0, 10, 10, group},
                  {K::DefPushButton, 1, "OK", 0, 0, 10, 10, 0},
                  {K::PushButton, 2, "Cancel", 0, 0, 10, 10, 0}};
    return t;
  };
  static const resources::DialogTemplate first = make("9001"), second = make("9002");
  if (name == "9001") return &first;
  if (name == "9002") return &second;
  return resources::findDialogTemplate(name);
}

// OK stores the edit field and accepts; Cancel refuses.
class TestProc : public platform::DialogProc {
 public:
  explicit TestProc(std::string* stored = nullptr) : stored_(stored) {}
  void onCommand(platform::DialogWindow& dlg, int id) override {
    if (id == platform::IDOK) {
      if (stored_) *stored_ = dlg.itemText(1026);
      DialogAccepted = 1;
      dlg.end(1);
    } else if (id == platform::IDCANCEL) {
      DialogAccepted = 0;
      dlg.end(0);
    }
  }

 private:
  std::string* stored_;
};

class ShellFixture {
 public:
  explicit ShellFixture(std::function<void(CommandTable&, ShellFixture&)> extra = {}) {
    headless::AppOptions options;
    options.client = Size{200, 100};
    options.shell.findTemplate = TestTemplate;
    options.shell.registerCommands = [this, extra](CommandTable& t) {
      if (extra) extra(t, *this);
    };
    app = std::make_unique<headless::Application>(options);
    app->start();
  }

  // A command that only records that it ran.
  void addRecorder(CommandTable& t, int id, Frame frame = Frame::Own, std::vector<DialogStep> dialogs = {}) {
    t.add(Command{id, frame, std::move(dialogs), [this, id](CommandContext&) { ran.push_back(id); }});
  }

  // Loads a working image of one colour.
  static void LoadImage(Image& image, int w, int h, Colour c) {
    image.memory.allocate(w, h, c);
    image.pixels.allocate(w, h);
    image.pixels.fill(c);
    image.loaded = true;
  }

  std::unique_ptr<headless::Application> app;
  std::vector<int> ran;
};

}  // namespace opta::testing
