// The client area as a view onto the virtual screen: which paints run the
// shell's paint handling, how the surface follows the pictures, scrolling,
// and where mouse positions, the popup and dropped files go.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
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

Size ViewportSize(const Desktop& d) {
  const QSize v = d.window.view()->viewport()->size();
  return Size{v.width(), v.height()};
}

// The system asks for the viewport rectangle r to be painted.
void Expose(Desktop& d, const QRect& r) {
  const QPoint origin = d.window.view()->viewport()->mapTo(&d.window, QPoint(0, 0));
  QExposeEvent e{QRegion(r.translated(origin))};
  QCoreApplication::sendEvent(d.window.windowHandle(), &e);
  QCoreApplication::processEvents();
}

QColor Shown(const Desktop& d, int x, int y) {
  return d.window.view()->viewport()->grab().toImage().pixelColor(x, y);
}

TEST(QtSystemPaint, UncoveringTheClientRunsTheWholePaintAndACommandsOwnUpdateDoesNot) {
  auto d = StartDesktop();
  ShellFixture::LoadImage(d->shell.document().working, 30, 20, Rgb(255, 0, 0));
  Surface& s = d->shell.windowSurface();
  Settle(*d);
  s.fillRect(0, 0, 100, 100, kBlack);  // a command's drawing, shown by its own update
  d->window.flush();
  QCoreApplication::processEvents();
  EXPECT_EQ(Shown(*d, 5, 5), QColor(Qt::black));
  EXPECT_EQ(s.get(5, 5), kBlack);  // that update ran no paint

  // Uncovered just above the client (the toolbar): not the client's paint.
  Expose(*d, QRect(10, -5, 40, 5));
  EXPECT_EQ(s.get(5, 5), kBlack);

  // One row of the client uncovered: the paint recomposes all of it, and
  // refreshes Paste.
  QGuiApplication::clipboard()->setImage(QImage(2, 2, QImage::Format_RGB32));
  d->shell.menu().setEnable(40101, ItemEnable::Disabled);
  Expose(*d, QRect(10, -5, 40, 6));
  EXPECT_EQ(s.get(0, 0), Rgb(255, 0, 0));
  EXPECT_EQ(s.get(29, 19), Rgb(255, 0, 0));
  EXPECT_EQ(s.get(30, 19), kWhite);
  EXPECT_EQ(s.get(99, 99), kWhite);
  EXPECT_EQ(Shown(*d, 5, 5), QColor(255, 0, 0));
  EXPECT_EQ(Shown(*d, 50, 50), QColor(Qt::white));
  EXPECT_TRUE(d->shell.menu().selectable(40101));
}

TEST(QtSystemPaint, PasteFollowsTheClipboardWithoutAPaint) {
  auto d = StartDesktop();
  QGuiApplication::clipboard()->setText(QStringLiteral("no picture"));
  QCoreApplication::processEvents();
  EXPECT_FALSE(d->shell.menu().selectable(40101));
  QGuiApplication::clipboard()->setImage(QImage(2, 2, QImage::Format_RGB32));
  QCoreApplication::processEvents();
  EXPECT_TRUE(d->shell.menu().selectable(40101));
}

TEST(QtSystemPaint, WhatACommandDrewShowsWhileItsMessageBoxIsUp) {
  EnsureApp();
  ShellOptions o;
  o.registerCommands = [](CommandTable& t) {
    t.add(Command{1, Frame::Own, {}, [](CommandContext& ctx) {
                    ctx.window.fillRect(0, 0, 20, 20, kBlack);
                    ctx.ui.messageBox("done", "OPTA", platform::MB_OK);
                  }});
  };
  Desktop d(o);
  d.start();
  Settle(d);
  QColor seen;
  ModalCloser closer([&](QWidget* box) {
    seen = Shown(d, 5, 5);
    box->close();
  });
  d.shell.onCommand(1);
  EXPECT_EQ(seen, QColor(Qt::black));
}

TEST(QtVirtualScreen, LargerThanTheMonitorOnlyForALargerPicture) {
  auto d = StartDesktop();
  const Size monitor = d->window.monitorSize();
  const Size view = ViewportSize(*d);
  ASSERT_GT(monitor.width, 100);
  // A picture inside the view: nothing changes.
  ShellFixture::LoadImage(d->shell.document().working, view.width, view.height, kBlack);
  d->window.flush();
  EXPECT_EQ(d->shell.clientSize(), view);
  EXPECT_EQ(d->window.screenSize(), monitor);
  EXPECT_EQ(d->window.view()->horizontalScrollBar()->maximum(), 0);
  EXPECT_EQ(d->window.view()->verticalScrollBar()->maximum(), 0);

  // One pixel more each way: the client and the screen grow to the picture.
  ShellFixture::LoadImage(d->shell.document().working, monitor.width + 1, view.height + 1, kBlack);
  d->window.flush();
  QCoreApplication::processEvents();
  const Size client = d->shell.clientSize();
  EXPECT_EQ(client, (Size{monitor.width + 1, view.height + 1}));
  EXPECT_EQ(d->shell.windowSurface().size(), client);
  EXPECT_EQ(d->window.screenSize(), (Size{monitor.width + 1, monitor.height}));
  EXPECT_EQ(d->shell.windowSurface().get(monitor.width, view.height), kBlack);  // repainted
  EXPECT_EQ(d->window.view()->horizontalScrollBar()->maximum(), client.width - ViewportSize(*d).width);

  // A second picture counts as well; unloading both gives the view back.
  d->shell.document().working.unload();
  ShellFixture::LoadImage(d->shell.document().second, 10, monitor.height + 5, kBlack);
  d->window.flush();
  EXPECT_EQ(d->window.screenSize(), (Size{monitor.width, monitor.height + 5}));
  d->shell.document().second.unload();
  d->window.flush();
  QCoreApplication::processEvents();
  EXPECT_EQ(d->shell.clientSize(), ViewportSize(*d));
}

// The sample smear twice, one above the other: taller than the monitor.
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

// What TRFG says on a headless program with the given screen.
std::vector<std::string> CountHeadless(const QString& path, Size screen) {
  headless::Application app(headless::AppOptions{screen, std::nullopt, {}});
  app.start();
  app.open(path.toStdString());
  app.command(40109);  // TRFG
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
  const int height = d.shell.document().working.height();
  ASSERT_GT(height, d.window.monitorSize().height);
  std::vector<std::string> said;
  ModalCloser closer([&](QWidget* w) {
    if (auto* box = qobject_cast<QMessageBox*>(w)) said.push_back(box->text().toStdString());
    w->close();
  });
  d.shell.onCommand(40109);  // TRFG: seeds are sought in the screen-sized corner
  const std::vector<std::string> large = CountHeadless(tall, Size{1024, height});
  ASSERT_EQ(large.size(), 1u);
  EXPECT_EQ(said, large);
  EXPECT_NE(CountHeadless(tall, d.window.monitorSize()), large);  // the monitor alone would miss cells
}

TEST(QtVirtualScreen, MousePositionsAreSurfacePixelsWhateverTheScroll) {
  EnsureApp();
  Desktop d;  // the program's own commands
  d.start();
  ShellFixture::LoadImage(d.shell.document().working, 2000, 1500, kWhite);
  d.window.flush();
  d.shell.onCommand(docid::kRgbValue);  // read-out off: the right button sets the paste point
  ASSERT_EQ(currentReadoutMode(), ReadoutMode::None);
  d.window.view()->horizontalScrollBar()->setValue(300);
  d.window.view()->verticalScrollBar()->setValue(200);
  QTest::mouseClick(d.window.view()->viewport(), Qt::RightButton, {}, QPoint(7, 9));
  EXPECT_EQ(currentSelection().paste, (Point{307, 209}));
  Settle(d);
  // The viewport shows the surface from (300, 200) on.
  d.shell.windowSurface().fillRect(300, 200, 301, 201, kBlack);
  d.window.flush();
  QCoreApplication::processEvents();
  EXPECT_EQ(Shown(d, 0, 0), QColor(Qt::black));
  EXPECT_EQ(Shown(d, 1, 0), QColor(Qt::white));
}

TEST(QtVirtualScreen, WheelScrollsDownAndShiftWheelSideways) {
  auto d = StartDesktop();
  ShellFixture::LoadImage(d->shell.document().working, 3000, 3000, kWhite);
  d->window.flush();
  QScrollBar* h = d->window.view()->horizontalScrollBar();
  QScrollBar* v = d->window.view()->verticalScrollBar();
  auto wheel = [&](Qt::KeyboardModifiers mods) {
    QWidget* port = d->window.view()->viewport();
    QWheelEvent e(QPointF(20, 20), port->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, -120),
                  Qt::NoButton, mods, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(port, &e);
  };
  wheel(Qt::NoModifier);
  EXPECT_EQ(h->value(), 0);
  EXPECT_GT(v->value(), 0);
  const int down = v->value();
  wheel(Qt::ShiftModifier);
  EXPECT_EQ(v->value(), down);
  EXPECT_EQ(h->value(), QApplication::wheelScrollLines() * 20);
}

TEST(QtPopup, RightAlignedOnTheClientPositionTakenAsAScreenPosition) {
  auto d = StartDesktop();
  QRect at;
  QTimer::singleShot(50, [&] {
    if (QMenu* menu = d->window.openPopup()) {
      at = menu->geometry();
      menu->close();
    }
  });
  d->window.trackPopupMenu(Point{600, 150});
  EXPECT_EQ(at.left() + at.width(), 600);
  EXPECT_EQ(at.top(), 150);
}

// A BMP file as QImage writes it.
QString WriteBmp(const QTemporaryDir& dir, int w, int h) {
  const QString path = dir.filePath(QStringLiteral("dropped.bmp"));
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(QColor(10, 200, 30));
  image.save(path, "BMP");
  return path;
}

// Drags data over the window and drops it there, as Qt delivers a drop:
// false when the window refuses it on entry.
bool Drop(QtMainWindow& window, const QMimeData& data) {
  QDragEnterEvent enter(QPoint(50, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  enter.ignore();
  QCoreApplication::sendEvent(&window, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(QPointF(50, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&window, &drop);
  QCoreApplication::processEvents();
  return true;
}

TEST(QtDrop, ADroppedFileOpensAsOpenWithItsNameWould) {
  EnsureApp();
  Desktop d;
  d.start();
  QTemporaryDir dir;
  const QString path = WriteBmp(dir, 12, 7);
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(path)});
  ASSERT_TRUE(Drop(d.window, data));
  ASSERT_TRUE(d.shell.document().working.loaded);
  EXPECT_EQ(d.shell.document().working.width(), 12);
  EXPECT_EQ(d.shell.document().working.pixels.at(11, 6), Rgb(10, 200, 30));
  EXPECT_EQ(DocumentFileDialog().lastPath, path.toStdString());  // as if the dialog had chosen it

  QMimeData web;  // no local file: refused
  web.setUrls({QUrl(QStringLiteral("https://example.org/smear.bmp"))});
  EXPECT_FALSE(Drop(d.window, web));
}

TEST(QtDrop, TheAnswerDoesNotOutliveTheDrop) {
  auto d = StartDesktop();  // Open only records here: it asks for no file
  QTemporaryDir dir;
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(WriteBmp(dir, 3, 3))});
  ASSERT_TRUE(Drop(d->window, data));
  EXPECT_EQ(Ran(), (std::vector<int>{40001}));
  bool shown = false;
  ModalCloser closer([&](QWidget* w) {
    shown = true;
    w->close();
  });
  platform::FileDialogState state;
  EXPECT_EQ(d->ui.openFileDialog(state), std::nullopt);
  EXPECT_TRUE(shown);  // the real dialog, not the dropped name
}

}  // namespace
}  // namespace opta::qt::test
