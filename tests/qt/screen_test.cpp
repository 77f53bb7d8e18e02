// The client area as a view onto the virtual screen: which paints run the
// shell's paint, how the surface follows the pictures, dropped files. The
// popup's place, scrolling and Paste after a copy are checked under Xvfb.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QDropEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QUrl>
#include <QWheelEvent>
#include <QWindow>

#include "document/commands/commands.h"
#include "platform/headless/application.h"
#include "qt/desktop_fixture.h"
#include "shell/shell_fixture.h"

namespace opta::qt::test {
namespace {

using opta::testing::ShellFixture;

// The system asks for the viewport rectangle r to be painted.
void Expose(Desktop& d, const QRect& r) {
  QExposeEvent e{QRegion(r.translated(d.window.view()->viewport()->mapTo(&d.window, QPoint(0, 0))))};
  QCoreApplication::sendEvent(d.window.windowHandle(), &e);
  QCoreApplication::processEvents();
}

QColor Shown(const Desktop& d, int x, int y) {
  return d.window.view()->viewport()->grab().toImage().pixelColor(x, y);
}

TEST(QtSystemPaint, UncoveringTheClientRepaintsItAllAndACommandsOwnDrawingStays) {
  EnsureApp();
  ShellOptions o;
  o.registerCommands = [](CommandTable& t) {
    t.add(Command{1, Frame::Own, {}, [](CommandContext& ctx) {
                    ctx.window.fillRect(0, 0, 100, 100, kBlack);  // as Stretch draws, window only
                    ctx.ui.messageBox("done", "OPTA", platform::MB_OK);
                  }});
  };
  Desktop d(o);
  d.start();
  ShellFixture::LoadImage(d.shell.document().working, 30, 20, Rgb(255, 0, 0));
  Settle(d);
  QColor duringBox;
  ModalCloser closer([&](QWidget* box) {
    duringBox = Shown(d, 5, 5);
    box->close();
  });
  d.shell.onCommand(1);
  EXPECT_EQ(duringBox, QColor(Qt::black));  // shown before the box, and no paint ran for it
  QCoreApplication::processEvents();
  EXPECT_EQ(Shown(d, 5, 5), QColor(Qt::black));

  Expose(d, QRect(10, -5, 40, 5));  // just above the client: the toolbar's business
  EXPECT_EQ(d.shell.windowSurface().get(50, 50), kBlack);
  QGuiApplication::clipboard()->setImage(QImage(2, 2, QImage::Format_RGB32));
  d.shell.menu().setEnable(40101, ItemEnable::Disabled);
  Expose(d, QRect(10, -5, 40, 6));  // one row of the client: all of it is recomposed
  EXPECT_EQ(Shown(d, 29, 19), QColor(255, 0, 0));
  EXPECT_EQ(Shown(d, 30, 19), QColor(Qt::white));
  EXPECT_EQ(Shown(d, 99, 99), QColor(Qt::white));
  EXPECT_TRUE(d.shell.menu().selectable(40101));  // and Paste refreshed
}

TEST(QtVirtualScreen, LargerThanTheMonitorAndTheViewOnlyForALargerPicture) {
  auto d = StartDesktop();
  const Size monitor = d->window.monitorSize();
  const QSize v = d->window.view()->viewport()->size();
  Document& doc = d->shell.document();
  ShellFixture::LoadImage(doc.working, v.width(), v.height(), kBlack);
  d->window.flush();
  EXPECT_EQ(d->shell.clientSize(), (Size{v.width(), v.height()}));
  EXPECT_EQ(d->window.screenSize(), monitor);
  EXPECT_EQ(d->window.view()->verticalScrollBar()->maximum(), 0);

  ShellFixture::LoadImage(doc.working, monitor.width + 1, v.height() + 1, kBlack);
  d->window.flush();
  Settle(*d);
  const Size client = d->shell.clientSize();
  EXPECT_EQ(client, (Size{monitor.width + 1, v.height() + 1}));
  EXPECT_EQ(d->window.screenSize(), (Size{monitor.width + 1, monitor.height}));
  EXPECT_EQ(d->shell.windowSurface().get(monitor.width, v.height()), kBlack);  // repainted at its new size
  EXPECT_EQ(d->window.view()->horizontalScrollBar()->maximum(),
            client.width - d->window.view()->viewport()->width());

  // The second picture counts as well.
  doc.working.unload();
  ShellFixture::LoadImage(doc.second, 10, monitor.height + 5, kBlack);
  d->window.flush();
  EXPECT_EQ(d->window.screenSize(), (Size{monitor.width, monitor.height + 5}));
}

TEST(QtVirtualScreen, ShiftTurnsTheWheelSideways) {
  auto d = StartDesktop();
  ShellFixture::LoadImage(d->shell.document().working, 3000, 3000, kWhite);
  d->window.flush();
  auto wheel = [&](int delta, Qt::KeyboardModifiers mods) {
    QWheelEvent e(QPointF(20, 20), QPointF(20, 20), QPoint(), QPoint(0, -delta), Qt::NoButton, mods,
                  Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(d->window.view()->viewport(), &e);
  };
  const int lines = QApplication::wheelScrollLines();
  wheel(120, Qt::ShiftModifier);  // one notch: a step of 20 pixels a line
  EXPECT_EQ(d->window.view()->horizontalScrollBar()->value(), lines * 20);
  wheel(40, Qt::ShiftModifier);  // a third of a notch from a finer wheel, rounded down
  EXPECT_EQ(d->window.view()->horizontalScrollBar()->value(), lines * 20 + lines * 20 / 3);
  EXPECT_EQ(d->window.view()->verticalScrollBar()->value(), 0);
  wheel(120, Qt::NoModifier);
  EXPECT_GT(d->window.view()->verticalScrollBar()->value(), 0);
}

// The sample smear stacked until it is taller than the monitor.
QString TallSmear(const QTemporaryDir& dir, Size monitor) {
  const QImage smear(QStringLiteral(OPTA_SOURCE_DIR "/data/samples/smear.bmp"));
  const int copies = monitor.height / smear.height() + 2;
  QImage tall(smear.width(), smear.height() * copies, QImage::Format_RGB32);
  QPainter p(&tall);
  for (int i = 0; i < copies; ++i) p.drawImage(0, i * smear.height(), smear);
  p.end();
  const QString path = dir.filePath(QStringLiteral("tall.bmp"));
  tall.save(path, "BMP");
  return path;
}

std::vector<std::string> CountHeadless(const QString& path, Size screen) {
  headless::Application app(headless::AppOptions{screen, std::nullopt, {}});
  app.start();
  app.open(path.toStdString());
  app.command(40109);  // TRFG: seeds are sought in the screen-sized corner
  std::vector<std::string> said;
  for (const auto& box : app.ui().messageBoxes()) said.push_back(box.text);
  return said;
}

TEST(QtVirtualScreen, CountingOnASmallMonitorGivesWhatALargeOneGives) {
  EnsureApp();
  Desktop d;
  d.start();
  QTemporaryDir dir;
  const QString tall = TallSmear(dir, d.window.monitorSize());
  d.ui.answerNextOpenDialog(tall.toStdString());
  d.shell.onCommand(docid::kOpen);
  std::vector<std::string> said;
  ModalCloser closer([&](QWidget* w) {
    said.push_back(qobject_cast<QMessageBox*>(w)->text().toStdString());
    w->close();
  });
  d.shell.onCommand(40109);
  const std::vector<std::string> large = CountHeadless(tall, Size{1024, d.shell.document().working.height()});
  EXPECT_EQ(said, large);
  EXPECT_NE(CountHeadless(tall, d.window.monitorSize()), large);  // the monitor alone misses cells
}

bool Drop(QtMainWindow& window, const QUrl& url) {
  QMimeData data;
  data.setUrls({url});
  QDragEnterEvent enter(QPoint(50, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  enter.ignore();
  QCoreApplication::sendEvent(&window, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(QPointF(50, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&window, &drop);
  QCoreApplication::processEvents();
  return true;
}

TEST(QtDrop, ADroppedFileOpensAsOpenWithItsNameWouldAndOnlyThen) {
  EnsureApp();
  Desktop d;
  d.start();
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("dropped.bmp"));
  QImage image(12, 7, QImage::Format_RGB32);
  image.fill(QColor(10, 200, 30));
  image.save(path, "BMP");
  EXPECT_FALSE(Drop(d.window, QUrl(QStringLiteral("https://example.org/smear.bmp"))));
  ASSERT_TRUE(Drop(d.window, QUrl::fromLocalFile(path)));
  EXPECT_EQ(d.shell.document().working.pixels.at(11, 6), Rgb(10, 200, 30));
  EXPECT_EQ(DocumentFileDialog().lastPath, path.toStdString());  // as if the dialog had chosen it

  bool shown = false;  // the next Open asks again
  ModalCloser closer([&](QWidget* w) {
    shown = true;
    w->close();
  });
  d.shell.onCommand(docid::kOpen);
  EXPECT_TRUE(shown);
}

}  // namespace
}  // namespace opta::qt::test
