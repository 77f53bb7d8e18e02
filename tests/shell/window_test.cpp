// Window-level behaviour: start-up state, paint, caption timer, toolbars,
// the popup menu, Exit, About and the nested message loop.
#include <gtest/gtest.h>

#include "document/commands/commands.h"
#include "shell/about.h"
#include "shell/shell.h"
#include "shell_fixture.h"

namespace opta::testing {
namespace {

using headless::DialogScript;

TEST(StartUp, MenuToolbarCaptionAndSurface) {
  headless::Application app;
  app.start();
  const MenuState& menu = app.menu();
  EXPECT_FALSE(menu.state(40115).checked);  // HSB Value
  EXPECT_TRUE(menu.state(40097).checked);   // RGBvalue
  EXPECT_TRUE(menu.state(40100).checked);   // Normal
  EXPECT_FALSE(menu.selectable(40101));     // Paste follows the empty clipboard
  for (int id : {40050, 40053, 40064, 40076, 40079, 40077})
    EXPECT_EQ(menu.state(id).enable, ItemEnable::Grayed);
  EXPECT_EQ(app.window().caption(), "Bio-Medical Optascope");
  EXPECT_EQ(app.window().timers().at(1), 60000);
  EXPECT_TRUE(app.window().toolbar().exists);
  EXPECT_TRUE(app.window().toolbar().visible);
  EXPECT_EQ(app.window().toolbar().kind, platform::ToolbarKind::Large);
  EXPECT_EQ(app.windowSurface().size(), (Size{1920, 1080}));
  EXPECT_EQ(app.windowSurface().get(1919, 1079), kWhite);
}

TEST(Paint, ShowsTheSecondImageWhileOneExists) {
  ShellFixture f;
  auto& app = *f.app;
  Surface& win = app.windowSurface();
  ShellFixture::LoadImage(app.doc().working, 20, 10, Rgb(255, 0, 0));
  win.set(150, 50, kBlack);  // left over from an earlier drawing
  app.window().invalidate();
  app.pump();
  EXPECT_EQ(win.get(0, 0), Rgb(255, 0, 0));
  EXPECT_EQ(win.get(19, 9), Rgb(255, 0, 0));
  EXPECT_EQ(win.get(20, 9), kWhite);
  EXPECT_EQ(win.get(150, 50), kWhite);

  ShellFixture::LoadImage(app.doc().second, 5, 5, Rgb(0, 0, 255));
  app.window().invalidate();
  app.pump();
  EXPECT_EQ(win.get(4, 4), Rgb(0, 0, 255));
  EXPECT_EQ(win.get(6, 6), kWhite);  // the working image is not shown beneath

  app.doc().working.unload();  // a second image alone is never shown
  app.window().invalidate();
  app.pump();
  EXPECT_EQ(win.get(0, 0), kWhite);
}

TEST(Paint, CaptionFollowsTheMinimisedStateAtEachTick) {
  ShellFixture f;
  auto& app = *f.app;
  auto& w = app.window();
  app.minimise();
  const std::size_t before = w.captionHistory().size();
  app.window().invalidate();
  app.pump();  // a paint while minimised leaves the caption alone
  EXPECT_EQ(w.captionHistory().size(), before);
  EXPECT_EQ(w.timers().at(1), 60000);
  app.tick();
  EXPECT_EQ(w.caption(), "BOPTA");
  app.tick();
  EXPECT_EQ(w.caption(), "BOPTA");
  app.restore();
  EXPECT_EQ(w.caption(), "Bio-Medical Optascope");
  app.close();
  EXPECT_TRUE(w.timers().empty());
}

TEST(Window, ResizeGivesAWhiteSurfaceOfTheClientSize) {
  Size seen;
  ShellFixture f([&](CommandTable& t, ShellFixture&) {
    t.add(Command{1, Frame::Own, {}, [&](CommandContext& ctx) { seen = ctx.shell.clientSize(); }});
  });
  f.app->resize(Size{300, 40});
  EXPECT_EQ(f.app->windowSurface().size(), (Size{300, 40}));
  EXPECT_EQ(f.app->windowSurface().get(299, 39), kWhite);
  f.app->command(1);
  EXPECT_EQ(seen, (Size{300, 40}));
}

TEST(Window, HideHistogramRepaintsWithoutAnImage) {
  ShellFixture f;
  f.app->windowSurface().set(3, 3, kBlack);
  f.app->command(50167);  // popup "Hide Histrogram"
  EXPECT_EQ(f.app->windowSurface().get(3, 3), kWhite);
}

TEST(Toolbar, HideRestoreReplaceAndAfterDestruction) {
  ShellFixture f([](CommandTable& t, ShellFixture&) {
    t.add(Command{1, Frame::Own, {}, [](CommandContext& ctx) { ctx.shell.destroyToolbar(); }});
  });
  auto& app = *f.app;
  const auto& tb = app.window().toolbar();
  app.command(50170);
  EXPECT_FALSE(tb.visible);
  app.command(60170);
  EXPECT_TRUE(tb.visible);
  app.command(60169);
  EXPECT_EQ(tb.kind, platform::ToolbarKind::Small);
  EXPECT_EQ(tb.created, 2);
  EXPECT_EQ(tb.destroyed, 1);
  app.command(1);  // as Show Image Details does
  EXPECT_FALSE(tb.exists);
  app.command(50170);
  app.command(60170);
  EXPECT_FALSE(tb.exists);
  EXPECT_FALSE(app.shell().toolbarExists());
  app.command(50169);
  EXPECT_TRUE(tb.exists);
  EXPECT_TRUE(tb.visible);
  EXPECT_EQ(tb.kind, platform::ToolbarKind::Large);
  EXPECT_EQ(tb.destroyed, 2);
}

TEST(RightButton, PopupOnlyWithAnImageAndItsChoiceIsDispatched) {
  ShellFixture f([](CommandTable& t, ShellFixture& f) { f.addRecorder(t, 40025); });
  auto& app = *f.app;
  app.window().queuePopupChoice(50165);
  app.rightDown(Point{30, 40});
  EXPECT_TRUE(app.window().popupPositions().empty());
  ShellFixture::LoadImage(app.doc().working, 4, 4, kWhite);
  app.rightDown(Point{30, 40});
  ASSERT_EQ(app.window().popupPositions().size(), 1u);
  EXPECT_EQ(app.window().popupPositions()[0], (Point{30, 40}));
  EXPECT_EQ(f.ran, (std::vector<int>{40025}));
  app.rightDown(Point{1, 1});  // dismissed: nothing runs
  EXPECT_EQ(f.ran.size(), 1u);
}

TEST(RightButton, WithReadOutOffSetsThePastePoint) {
  headless::Application app;
  app.start();
  ShellFixture::LoadImage(app.doc().working, 4, 4, kWhite);
  app.command(40097);  // RGBvalue off: selection mode
  ASSERT_EQ(currentReadoutMode(), ReadoutMode::None);
  app.window().queuePopupChoice(50165);
  app.rightDown(Point{7, 8});
  EXPECT_TRUE(app.window().popupPositions().empty());
  EXPECT_EQ(currentSelection().paste, (Point{7, 8}));
}

TEST(Paint, PasteFollowsTheClipboardAtEachRepaintAndEachChange) {
  headless::Application app;
  app.start();
  Surface bitmap;
  bitmap.allocate(2, 2, kBlack);
  app.ui().setClipboard(bitmap);
  EXPECT_FALSE(app.menu().selectable(40101));  // not until the next paint
  app.window().invalidate();
  app.pump();
  EXPECT_TRUE(app.menu().selectable(40101));
  app.ui().clearClipboard();
  app.window().invalidate();
  app.pump();
  EXPECT_EQ(app.menu().state(40101).enable, ItemEnable::Disabled);
  // A change of the clipboard is followed at once, with no repaint for it.
  app.ui().setClipboard(bitmap);
  app.shell().onClipboardChanged();
  EXPECT_TRUE(app.menu().selectable(40101));
  EXPECT_FALSE(app.window().paintPending());
}

TEST(Exit, RecordedAndNothingRunsAfterIt) {
  ShellFixture f([](CommandTable& t, ShellFixture& f) {
    f.addRecorder(t, 2);
    t.add(Command{1, Frame::Own, {}, [](CommandContext& ctx) {
                    ctx.shell.postCommand(2);
                    ctx.shell.postCommand(40024);
                  }});
  });
  auto& app = *f.app;
  app.command(1);
  EXPECT_TRUE(app.exited());
  EXPECT_EQ(app.exitCode(), 0);
  EXPECT_EQ(f.ran, (std::vector<int>{2}));
  app.command(2);
  app.key(KeyPress{KeyPress::Kind::VirtKey, 0x70});
  app.window().invalidate();
  app.pump();
  EXPECT_EQ(f.ran.size(), 1u);
  EXPECT_EQ(app.ui().helpShown(), 0);
  EXPECT_TRUE(app.window().paintPending());
}

TEST(About, OnlyOkClosesIt) {
  headless::Application app;
  app.start();
  app.ui().queueDialog(DialogScript{}.click(platform::IDCANCEL).click(platform::IDCANCEL));
  app.command(40007);
  ASSERT_EQ(app.ui().dialogs().size(), 1u);
  const auto& rec = app.ui().dialogs()[0];
  EXPECT_EQ(rec.templateName, "137");
  EXPECT_EQ(rec.clicks, (std::vector<int>{2, 2, 1}));  // still open until OK
  EXPECT_EQ(rec.result, 1);
  EXPECT_TRUE(app.ui().problems().empty());
}

TEST(NestedLoop, PostedCommandRunsWhileTheNextMessageBoxShows) {
  std::vector<std::string> log;
  ShellFixture f([&](CommandTable& t, ShellFixture&) {
    t.add(Command{1, Frame::Own, {}, [&](CommandContext& ctx) {
                    ctx.shell.postCommand(2);
                    log.push_back("posted");
                    ctx.ui.messageBox("next", "OPTA", platform::MB_OK);
                    log.push_back("after box");
                  }});
    t.add(Command{2, Frame::Own, {}, [&](CommandContext& ctx) {
                    log.push_back("saved, " + std::to_string(ctx.ui.messageBox("a", "", platform::MB_OK)));
                  }});
  });
  f.app->command(1);
  EXPECT_EQ(log, (std::vector<std::string>{"posted", "saved, 1", "after box"}));
  ASSERT_EQ(f.app->ui().messageBoxes().size(), 2u);
  EXPECT_EQ(f.app->ui().messageBoxes()[0].text, "a");
}

}  // namespace
}  // namespace opta::testing
