// The help window (its keys, history buttons and place), the restored-down
// geometry of the main window, and the About box's picture.
#include <gtest/gtest.h>

#include <QFileInfo>
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

TEST(QtHelpWindow, SizeIsFourFifthsOfTheWorkAreaAtMost) {
  EXPECT_EQ(HelpSize(QRect(0, 0, 950, 800)), QSize(760, 640));
  EXPECT_EQ(HelpSize(QRect(0, 0, 949, 799)), QSize(759, 639));  // 759.2 and 639.2, rounded down
  EXPECT_EQ(HelpSize(QRect(0, 0, 2560, 1440)), QSize(760, 640));
}

TEST(QtHelpWindow, BesideTheMainWindowWhenThereIsRoomElseCentredOnIt) {
  const QRect work(0, 0, 1280, 720);
  const QSize help(760, 576);
  // Room on the right, just: 512 + 8 + 760 = 1280. Centred vertically, then
  // kept inside the work area.
  EXPECT_EQ(HelpPlacement(QRect(0, 0, 512, 300), help, work), QRect(520, 0, 760, 576));
  EXPECT_EQ(HelpPlacement(QRect(0, 200, 512, 400), help, work), QRect(520, 112, 760, 576));
  // One pixel wider: no room on either side, so centred on it and kept inside.
  EXPECT_EQ(HelpPlacement(QRect(0, 200, 513, 400), help, work), QRect(0, 112, 760, 576));
  // Room on the left only: 800 - 8 - 760 = 32.
  EXPECT_EQ(HelpPlacement(QRect(800, 100, 480, 400), help, work), QRect(32, 12, 760, 576));
  // A maximised main window: centred on it, clear of the menu bar's corner.
  EXPECT_EQ(HelpPlacement(work, help, work), QRect(260, 72, 760, 576));
}

QString IndexPage() {
  for (const QString& c : QtUi::helpCandidates())
    if (QFileInfo::exists(c)) return QFileInfo(c).canonicalFilePath();
  return {};
}

TEST(QtHelpWindow, BackAndForwardFollowTheHistoryAndEscOrCtrlWCloseIt) {
  EnsureApp();
  const QString index = IndexPage();
  if (index.isEmpty()) GTEST_SKIP() << "no help pages";
  for (QKeyCombination key : {QKeyCombination(Qt::Key_Escape), QKeyCombination(Qt::CTRL, Qt::Key_W)}) {
    QPointer<HelpWindow> help = new HelpWindow;
    help->browser()->setSource(QUrl::fromLocalFile(index));
    help->show();
    help->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(help));
    EXPECT_FALSE(help->backButton()->isEnabled());
    help->browser()->setSource(
        QUrl::fromLocalFile(QFileInfo(index).dir().filePath(QStringLiteral("files.html"))));
    EXPECT_TRUE(help->backButton()->isEnabled());
    EXPECT_FALSE(help->forwardButton()->isEnabled());
    help->backButton()->click();
    EXPECT_EQ(help->browser()->source().toLocalFile(), index);
    EXPECT_TRUE(help->forwardButton()->isEnabled());

    QTest::keyClick(help->browser(), key.key(), key.keyboardModifiers());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(help.isNull()) << "still open after " << QKeySequence(key).toString().toStdString();
    delete help.data();
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

TEST(QtAbout, CentredCutTakesTheMiddleWhereThePictureIsLarger) {
  EnsureApp();
  QImage image(515, 454, QImage::Format_RGB32);
  image.fill(Qt::black);
  image.setPixelColor(44, 73, Qt::red);     // first pixel shown in a 427 x 308 control
  image.setPixelColor(470, 380, Qt::blue);  // last pixel shown
  const QImage cut = CentredCut(QPixmap::fromImage(image), QSize(427, 308)).toImage();
  ASSERT_EQ(cut.size(), QSize(427, 308));
  EXPECT_EQ(cut.pixelColor(0, 0), QColor(Qt::red));
  EXPECT_EQ(cut.pixelColor(426, 307), QColor(Qt::blue));
  // 87 and 145 spare pixels: 43 and 72 cut before, as the centring rounds.
  EXPECT_EQ(CentredCut(QPixmap::fromImage(image), QSize(428, 309)).toImage().pixelColor(1, 1),
            QColor(Qt::red));
  EXPECT_EQ(CentredCut(QPixmap::fromImage(image), QSize(600, 10)).size(),
            QSize(515, 10));  // only cut where larger
}

TEST(QtAbout, TheTaglineIsWhollyShownAndClearOfTheOkButton) {
  EnsureApp();
  const resources::DialogTemplate* t = resources::findDialogTemplate("137");
  ASSERT_NE(t, nullptr);
  AboutProc proc;
  QtUi ui;
  QtDialog dialog(*t, proc, ui, nullptr);
  const QLabel* picture = nullptr;
  for (const QLabel* l : dialog.findChildren<QLabel*>())
    if (!l->pixmap().isNull() && l->pixmap().width() > 100) picture = l;
  const auto* ok = dialog.findChild<QPushButton*>();
  ASSERT_NE(picture, nullptr);
  ASSERT_NE(ok, nullptr);

  const Surface whole = resources::aboutPicture();
  int inPicture = 0;
  for (int y = 0; y < whole.height(); ++y)
    for (int x = 0; x < whole.width(); ++x) inPicture += whole.get(x, y) == resources::kAboutTaglineColour;
  ASSERT_GT(inPicture, 100);

  const QImage shown = picture->pixmap().toImage();
  int inView = 0, underOk = 0;
  for (int y = 0; y < shown.height(); ++y)
    for (int x = 0; x < shown.width(); ++x) {
      if (shown.pixelColor(x, y) != ToQColor(resources::kAboutTaglineColour)) continue;
      ++inView;
      underOk += ok->geometry().contains(picture->geometry().topLeft() + QPoint(x, y));
    }
  EXPECT_EQ(inView, inPicture);
  EXPECT_EQ(underOk, 0);
}

}  // namespace
}  // namespace opta::qt::test
