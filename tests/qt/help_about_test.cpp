// The help window (its keys, history buttons and place), the restored-down
// geometry of the main window, and the About box's picture.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>

#include "platform/qt/help_window.h"
#include "platform/qt/qt_convert.h"
#include "platform/qt/qt_dialog.h"
#include "qt/desktop_fixture.h"
#include "resources/images.h"
#include "shell/about.h"

namespace opta::qt::test {
namespace {

TEST(QtHelpWindow, BesideTheMainWindowWhenThereIsRoomElseCentredOnItAndInside) {
  EXPECT_EQ(HelpSize(QRect(0, 0, 950, 800)), QSize(760, 640));
  EXPECT_EQ(HelpSize(QRect(0, 0, 949, 799)), QSize(759, 639));  // four fifths, rounded down
  const QRect work(0, 0, 1280, 720);
  const QSize help(760, 576);
  // Room on the right, just: 512 + 8 + 760 = 1280; centred vertically, kept inside.
  EXPECT_EQ(HelpPlacement(QRect(0, 200, 512, 400), help, work), QRect(520, 112, 760, 576));
  EXPECT_EQ(HelpPlacement(QRect(0, 0, 512, 300), help, work), QRect(520, 0, 760, 576));
  // One pixel wider: no room either side, so centred on it and kept inside.
  EXPECT_EQ(HelpPlacement(QRect(0, 200, 513, 400), help, work), QRect(0, 112, 760, 576));
  EXPECT_EQ(HelpPlacement(QRect(800, 100, 480, 400), help, work), QRect(32, 12, 760, 576));  // left
  EXPECT_EQ(HelpPlacement(work, help, work), QRect(260, 72, 760, 576));  // over a maximised window
}

TEST(QtHelpWindow, BackAndForwardFollowTheHistoryAndEscOrCtrlWCloseIt) {
  EnsureApp();
  QtUi ui;
  for (QKeyCombination key : {QKeyCombination(Qt::Key_Escape), QKeyCombination(Qt::CTRL, Qt::Key_W)}) {
    ui.showHelp();
    QPointer<HelpWindow> help = ui.helpWindow();
    if (!help) GTEST_SKIP() << "no help pages";
    ASSERT_TRUE(QTest::qWaitForWindowActive(help));
    const QUrl index = help->browser()->source();
    EXPECT_FALSE(help->backButton()->isEnabled());
    help->browser()->setSource(index.resolved(QUrl(QStringLiteral("files.html"))));
    EXPECT_FALSE(help->forwardButton()->isEnabled());
    help->backButton()->click();
    EXPECT_EQ(help->browser()->source(), index);
    EXPECT_TRUE(help->forwardButton()->isEnabled());
    QTest::keyClick(help->browser(), key.key(), key.keyboardModifiers());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(help.isNull()) << QKeySequence(key).toString().toStdString();
  }
}

TEST(QtMainWindowGeometry, RestoredDownIsThreeQuartersCentred) {
  EXPECT_EQ(RestoredGeometry(QRect(0, 0, 1280, 720)), QRect(160, 90, 960, 540));
  // 750.75 and 600.75 are rounded down; the odd pixel goes to the right.
  EXPECT_EQ(RestoredGeometry(QRect(10, 20, 1001, 801)), QRect(135, 120, 750, 600));
  auto d = StartDesktop();
  EXPECT_TRUE(d->window.isMaximized());
  EXPECT_EQ(d->window.normalGeometry(),
            RestoredGeometry(QGuiApplication::primaryScreen()->availableGeometry()));
}

TEST(QtAbout, ThePictureIsCutToItsControlAndItsTaglineClearsTheOkButton) {
  EnsureApp();
  QImage image(515, 454, QImage::Format_RGB32);
  image.fill(Qt::black);
  image.setPixelColor(44, 73, Qt::red);  // 88 and 146 spare pixels: 44 and 73 cut before
  const QImage cut = CentredCut(QPixmap::fromImage(image), QSize(427, 308)).toImage();
  EXPECT_EQ(cut.size(), QSize(427, 308));
  EXPECT_EQ(cut.pixelColor(0, 0), QColor(Qt::red));
  // 87 and 145 spare: the half pixel is rounded down, 43 and 72 cut before.
  EXPECT_EQ(CentredCut(QPixmap::fromImage(image), QSize(428, 309)).toImage().pixelColor(1, 1),
            QColor(Qt::red));

  AboutProc proc;
  QtUi ui;
  QtDialog dialog(*resources::findDialogTemplate("137"), proc, ui, nullptr);
  const QLabel* picture = nullptr;
  for (const QLabel* l : dialog.findChildren<QLabel*>())
    if (l->pixmap().width() > 100) picture = l;
  const auto* ok = dialog.findChild<QPushButton*>();
  ASSERT_TRUE(picture && ok);
  const Surface whole = resources::aboutPicture();
  int inPicture = 0, inView = 0, underOk = 0;
  for (int y = 0; y < whole.height(); ++y)
    for (int x = 0; x < whole.width(); ++x) inPicture += whole.get(x, y) == resources::kAboutTaglineColour;
  const QImage shown = picture->pixmap().toImage();
  for (int y = 0; y < shown.height(); ++y)
    for (int x = 0; x < shown.width(); ++x) {
      if (shown.pixelColor(x, y) != ToQColor(resources::kAboutTaglineColour)) continue;
      ++inView;
      underOk += ok->geometry().contains(picture->geometry().topLeft() + QPoint(x, y));
    }
  EXPECT_GT(inPicture, 100);
  EXPECT_EQ(inView, inPicture);  // all of it shows
  EXPECT_EQ(underOk, 0);
}

}  // namespace
}  // namespace opta::qt::test
