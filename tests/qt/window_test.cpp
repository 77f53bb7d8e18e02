// Window-level behaviour: the caption timer and minimising, the wait cursor,
// repaint requests coalescing, and ending the process.
#include <gtest/gtest.h>

#include <QCursor>

#include "qt/desktop_fixture.h"

namespace opta::qt::test {
namespace {

TEST(QtWindow, CaptionTimerFollowsTheMinimisedState) {
  auto d = StartDesktop();
  d->window.setWindowTitle(QStringLiteral("x"));
  d->window.showMinimized();
  QCoreApplication::processEvents();
  if (!d->window.isMinimised()) GTEST_SKIP() << "this platform plugin does not minimise";
  d->window.setTimer(shellid::kCaptionTimer, 5);
  EXPECT_TRUE(QTest::qWaitFor([&] { return d->window.windowTitle() == QStringLiteral("BOPTA"); }, 2000));

  // Restoring repaints, which brings the full caption back at once.
  d->window.killTimer(shellid::kCaptionTimer);
  d->window.showMaximized();
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return d->window.windowTitle() == QStringLiteral("Bio-Medical Optascope"); }, 2000));
}

TEST(QtWindow, RepaintRequestsRunTheShellsPaintOnceFromTheLoop) {
  auto d = StartDesktop();
  Surface& s = d->shell.windowSurface();
  s.set(1, 1, kBlack);
  d->window.invalidate();
  d->window.invalidate();
  EXPECT_EQ(s.get(1, 1), kBlack);  // not painted inside the request
  QCoreApplication::processEvents();
  EXPECT_EQ(s.get(1, 1), kWhite);
}

TEST(QtWindow, ClientSizeIsTheCentralArea) {
  auto d = StartDesktop();
  const QSize view = d->window.view()->size();
  EXPECT_EQ(d->shell.clientSize(), (Size{view.width(), view.height()}));
  d->window.resize(640, 480);
  QCoreApplication::processEvents();
  EXPECT_EQ(d->shell.clientSize(),
            (Size{d->window.view()->size().width(), d->window.view()->size().height()}));
}

TEST(QtWindow, WaitCursorIsSetAndRestoredOnce) {
  EnsureApp();
  QtUi ui;
  ui.setCursor(platform::CursorShape::Wait);
  ui.setCursor(platform::CursorShape::Wait);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  ui.setCursor(platform::CursorShape::Arrow);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(QtWindowDeathTest, ExitEndsTheProcessWithItsCode) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  QtUi ui;
  EXPECT_EXIT(ui.exitProcess(0), testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace opta::qt::test
