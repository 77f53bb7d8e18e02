// Dispatch, frames, the dialogs-first rule and accelerator translation.
#include <gtest/gtest.h>

#include <functional>

#include "command/command.h"
#include "platform/headless/application.h"
#include "resources/resources.h"
#include "shell/shell.h"
#include "shell_fixture.h"

namespace opta::testing {
namespace {

using headless::DialogScript;

constexpr int kInvert = 40009, kRestore = 40025, kDetails = 40031, kHistogram = 40032;

TEST(Dispatch, ToolbarAndPopupIdsReachTheirMenuCommand) {
  ShellFixture f([](CommandTable& t, ShellFixture& f) {
    for (int id : {kInvert, kRestore, kDetails, kHistogram}) f.addRecorder(t, id);
    f.addRecorder(t, 777);  // an id no menu item has
  });
  for (int id : {50178, 40163, 40009, 50165, 50168, 40160, 50166, 50177, 777}) f.app->command(id);
  EXPECT_EQ(f.ran, (std::vector<int>{kInvert, kInvert, kInvert, kRestore, kDetails, kHistogram, kHistogram,
                                     kHistogram, 777}));
  // Unclaimed ids, "Normal" and "Copy" do nothing at all.
  for (int id : {40100, 40079, 12345, 0}) f.app->command(id);
  EXPECT_EQ(f.ran.size(), 9u);
  EXPECT_TRUE(f.app->ui().messageBoxes().empty());
}

// A menu item that does nothing is the worst a user can meet: every item the
// menu shows reaches a command, except the two that do nothing by design.
TEST(Dispatch, EveryMenuItemHasACommand) {
  headless::Application app;
  const CommandTable& table = app.shell().commands();
  std::vector<std::string> missing;
  std::function<void(const std::vector<resources::MenuItem>&)> walk = [&](const auto& items) {
    for (const resources::MenuItem& item : items) {
      if (item.kind == resources::MenuItem::Kind::Submenu) {
        walk(item.items);
      } else if (item.kind != resources::MenuItem::Kind::Separator && item.id != 40100 && item.id != 40079 &&
                 !table.find(resources::primaryCommand(item.id))) {
        missing.push_back(std::to_string(item.id) + " " + std::string(item.text));
      }
    }
  };
  walk(resources::mainMenu());
  for (const auto& b : resources::largeToolbar())
    if (b.command != 0 && !table.find(resources::primaryCommand(b.command)))
      missing.push_back("toolbar " + std::to_string(b.command));
  for (const auto& b : resources::smallToolbar())
    if (b.command != 0 && !table.find(resources::primaryCommand(b.command)))
      missing.push_back("small toolbar " + std::to_string(b.command));
  for (const auto& p : resources::popupMenu())
    if (p.command != 0 && !table.find(resources::primaryCommand(p.command)))
      missing.push_back("popup " + std::to_string(p.command));
  EXPECT_EQ(missing, std::vector<std::string>{});
}

TEST(Frames, WithoutAnImageOnlyTheLoudFramesSpeak) {
  ShellFixture f([](CommandTable& t, ShellFixture& f) {
    f.addRecorder(t, 1, Frame::Plain);
    f.addRecorder(t, 2, Frame::Waiting);
    f.addRecorder(t, 3, Frame::Silent);
    f.addRecorder(t, 4, Frame::SilentWaiting);
    f.addRecorder(t, 5, Frame::TwoImagesWaiting);
    f.addRecorder(t, 6, Frame::SilentTwoImagesWaiting);
    f.addRecorder(t, 7, Frame::Own);
  });
  auto& ui = f.app->ui();
  for (int id = 1; id <= 7; ++id) f.app->command(id);
  ASSERT_EQ(ui.messageBoxes().size(), 3u);
  for (const auto& box : ui.messageBoxes()) {
    EXPECT_EQ(box.text, "First Open a BITMAP image !!");
    EXPECT_EQ(box.caption, "BOPTA");
    EXPECT_EQ(box.flags, platform::MB_ICONEXCLAMATION);
    EXPECT_FALSE(box.ownedByMainWindow);
  }
  EXPECT_EQ(f.ran, (std::vector<int>{7}));
  EXPECT_TRUE(ui.cursorHistory().empty());

  // The two-image frames want both images; the others one.
  ShellFixture::LoadImage(f.app->doc().working, 4, 4, kWhite);
  ui.clearRecords();
  f.ran.clear();
  for (int id = 1; id <= 6; ++id) f.app->command(id);
  EXPECT_EQ(f.ran, (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(ui.messageBoxes().size(), 1u);
  ShellFixture::LoadImage(f.app->doc().second, 4, 4, kWhite);
  f.ran.clear();
  for (int id = 5; id <= 6; ++id) f.app->command(id);
  EXPECT_EQ(f.ran, (std::vector<int>{5, 6}));
}

TEST(Frames, WaitCursorOnlyWhileTheOperationRuns) {
  std::vector<platform::CursorShape> during;
  ShellFixture f([&](CommandTable& t, ShellFixture&) {
    t.add(Command{1, Frame::Waiting, {}, [&](CommandContext& ctx) {
                    during.push_back(static_cast<headless::HeadlessUi&>(ctx.ui).cursor());
                  }});
  });
  ShellFixture::LoadImage(f.app->doc().working, 4, 4, kWhite);
  f.app->command(1);
  ASSERT_EQ(during.size(), 1u);
  EXPECT_EQ(during[0], platform::CursorShape::Wait);
  EXPECT_EQ(f.app->ui().cursor(), platform::CursorShape::Arrow);
}

TEST(Frames, EveryCommandDrawsThroughAFreshContext) {
  std::vector<Colour> seen;
  ShellFixture f([&](CommandTable& t, ShellFixture&) {
    t.add(Command{1, Frame::Own, {}, [&](CommandContext& ctx) {
                    seen.push_back(ctx.window.dc().textColour);
                    ctx.window.dc().textColour = Rgb(255, 0, 0);
                    ctx.window.dc().transparent = true;
                  }});
  });
  f.app->command(1);
  f.app->command(1);
  EXPECT_EQ(seen, (std::vector<Colour>{kBlack, kBlack}));
}

std::vector<DialogStep> Steps(std::vector<std::string_view> names, std::string* stored = nullptr) {
  std::vector<DialogStep> steps;
  for (auto n : names)
    steps.push_back(DialogStep{n, [stored] { return std::make_unique<TestProc>(stored); }});
  return steps;
}

TEST(DialogsFirst, DialogBeforeImageCheckAndCancelStops) {
  std::string stored;
  ShellFixture f([&](CommandTable& t, ShellFixture& f) {
    f.addRecorder(t, 1, Frame::Waiting, Steps({"9001"}, &stored));
  });
  auto& ui = f.app->ui();
  ui.queueDialog(DialogScript::Cancel());
  f.app->command(1);
  ASSERT_EQ(ui.dialogs().size(), 1u);
  EXPECT_EQ(ui.dialogs()[0].templateName, "9001");
  EXPECT_EQ(ui.dialogs()[0].result, 0);
  EXPECT_TRUE(ui.messageBoxes().empty());

  ui.queueDialog(DialogScript{}.set(1026, "50").click(platform::IDOK));
  f.app->command(1);
  EXPECT_EQ(stored, "50");
  ASSERT_EQ(ui.messageBoxes().size(), 1u);
  EXPECT_EQ(ui.messageBoxes()[0].text, "First Open a BITMAP image !!");

  // No script: the dialog is accepted as it opens, and the frame runs.
  ShellFixture::LoadImage(f.app->doc().working, 4, 4, kWhite);
  f.app->command(1);
  EXPECT_EQ(f.ran, (std::vector<int>{1}));
  EXPECT_EQ(ui.dialogs().size(), 3u);
}

TEST(DialogsFirst, BothDialogsShowAndTheSecondDecides) {
  ShellFixture f([&](CommandTable& t, ShellFixture& f) {
    f.addRecorder(t, 1, Frame::Plain, Steps({"9001", "9002"}));
  });
  ShellFixture::LoadImage(f.app->doc().working, 4, 4, kWhite);
  auto& ui = f.app->ui();
  ui.queueDialog(DialogScript::Cancel());
  ui.queueDialog(DialogScript::Ok());
  f.app->command(1);
  EXPECT_EQ(f.ran.size(), 1u);
  ui.queueDialog(DialogScript::Ok());
  ui.queueDialog(DialogScript::Cancel());
  f.app->command(1);
  EXPECT_EQ(f.ran.size(), 1u);
  ASSERT_EQ(ui.dialogs().size(), 4u);
  EXPECT_EQ(ui.dialogs()[2].templateName, "9001");
  EXPECT_EQ(ui.dialogs()[3].templateName, "9002");
}

TEST(DialogsFirst, MissingTemplateSkipsTheCommand) {
  ShellFixture f([&](CommandTable& t, ShellFixture& f) {
    f.addRecorder(t, 1, Frame::Own, Steps({"9001", "no such template"}));
  });
#ifdef NDEBUG
  f.app->command(1);
  EXPECT_TRUE(f.ran.empty());
  EXPECT_TRUE(f.app->ui().dialogs().empty());
#else
  EXPECT_DEATH(f.app->command(1), "template");
#endif
}

KeyPress Ctrl(char c) { return KeyPress{KeyPress::Kind::VirtKey, c, true, false, false}; }
KeyPress AltChar(char c) { return KeyPress{KeyPress::Kind::Char, c, false, true, false}; }

TEST(Accelerators, FirstMatchWinsAndGreyedItemsSwallowTheKey) {
  ShellFixture f([](CommandTable& t, ShellFixture& f) {
    for (int id : {40101, 40014, 40001, 40050, 40034}) f.addRecorder(t, id);
  });
  auto& app = *f.app;
  // Start-up leaves Edit/Paste unusable while the clipboard is empty.
  EXPECT_TRUE(app.key(Ctrl('V')));
  EXPECT_TRUE(f.ran.empty());
  app.menu().setEnable(40101, ItemEnable::Enabled);
  EXPECT_TRUE(app.key(Ctrl('V')));
  EXPECT_EQ(f.ran, (std::vector<int>{40101}));

  EXPECT_TRUE(app.key(AltChar('l')));  // Add Image is greyed until Open Also
  EXPECT_EQ(f.ran.size(), 1u);
  app.menu().setEnable(40050, ItemEnable::Enabled);
  app.key(AltChar('l'));
  app.key(AltChar('o'));
  app.key(KeyPress{KeyPress::Kind::VirtKey, '9', false, true, false});
  EXPECT_EQ(f.ran, (std::vector<int>{40101, 40050, 40001, 40034}));

  // Near misses match nothing and are not consumed.
  EXPECT_FALSE(app.key(KeyPress{KeyPress::Kind::Char, 'o', false, false, false}));
  EXPECT_FALSE(app.key(AltChar('O')));
  EXPECT_FALSE(app.key(KeyPress{KeyPress::Kind::VirtKey, 'V', true, false, true}));
  EXPECT_FALSE(app.key(KeyPress{KeyPress::Kind::VirtKey, 'V', false, false, false}));
  EXPECT_EQ(f.ran.size(), 4u);
}

TEST(Accelerators, HelpAndAboutKeys) {
  headless::Application app;
  app.start();
  app.key(KeyPress{KeyPress::Kind::VirtKey, 0x70});  // F1
  EXPECT_EQ(app.ui().helpShown(), 1);
  app.key(KeyPress{KeyPress::Kind::VirtKey, 0x71});  // F2
  ASSERT_EQ(app.ui().dialogs().size(), 1u);
  EXPECT_EQ(app.ui().dialogs()[0].templateName, "137");
}

}  // namespace
}  // namespace opta::testing
