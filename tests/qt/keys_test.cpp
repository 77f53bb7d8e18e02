// Keys reach the accelerator table before Qt's shortcuts and menu mnemonics,
// and not at all while a modal dialog is open.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

#include "platform/qt/qt_convert.h"
#include "qt/desktop_fixture.h"
#include "resources/images.h"

namespace opta::qt::test {
namespace {

void Press(Desktop& d, Qt::Key key, Qt::KeyboardModifiers mods) {
  QTest::keyClick(d.window.view(), key, mods);
  QCoreApplication::processEvents();
}

void CloseAnyPopup() {
  while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
}

TEST(QtKeys, AltIIsSubtractImageNotTheImageMenuAndEatenWhileGreyed) {
  auto d = StartDesktop();
  Press(*d, Qt::Key_I, Qt::AltModifier);  // "Subtract Image" still greyed
  EXPECT_TRUE(Ran().empty());
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "the mnemonic opened a menu";
  CloseAnyPopup();
  d->shell.menu().setEnable(40051, ItemEnable::Enabled);
  Press(*d, Qt::Key_I, Qt::AltModifier);
  EXPECT_EQ(Ran(), std::vector<int>{40051});
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "the mnemonic opened a menu";
  CloseAnyPopup();
}

TEST(QtKeys, VirtualKeyEntriesMatchWithTheirModifiers) {
  auto d = StartDesktop();
  QString text, caption;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  {
    ModalCloser closer([&](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      if (!box) return;
      text = box->text();
      caption = box->windowTitle();
      icon = box->icon();
      box->buttons().first()->click();
    });
    Press(*d, Qt::Key_I, Qt::ControlModifier);  // Ctrl+I: Invert, whose frame wants an image
    EXPECT_EQ(closer.seen(), 1);
  }
  EXPECT_EQ(text, QStringLiteral("First Open a BITMAP image !!"));
  EXPECT_EQ(caption, QStringLiteral("BOPTA"));
  EXPECT_EQ(icon, QMessageBox::Warning);
  Press(*d, Qt::Key_P, Qt::ControlModifier);  // Ctrl+P: Histogram Peak
  EXPECT_EQ(Ran(), std::vector<int>{40013});
  Press(*d, Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);  // no such entry
  EXPECT_EQ(Ran(), std::vector<int>{40013});
}

TEST(QtKeys, KeysWithoutEntriesKeepTheirMnemonics) {
  auto d = StartDesktop();
  Press(*d, Qt::Key_F, Qt::AltModifier);
  EXPECT_TRUE(Ran().empty());
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->title(), QStringLiteral("&File"));
  CloseAnyPopup();
}

TEST(QtKeys, ModalDialogsKeepTheirKeys) {
  auto d = StartDesktop();
  d->shell.menu().setEnable(40051, ItemEnable::Enabled);
  ModalCloser closer([](QWidget* w) {
    QTest::keyClick(w, Qt::Key_I, Qt::AltModifier);
    QTest::keyClick(w, Qt::Key_Escape);
  });
  d->ui.messageBox("text", "caption", platform::MB_OK, true);
  EXPECT_EQ(closer.seen(), 1);
  EXPECT_TRUE(Ran().empty());
}

TEST(QtKeys, QtKeysBecomeWindowsKeyPresses) {
  EnsureApp();
  EXPECT_EQ(VirtualKeyOf(Qt::Key_F1, false), 0x70);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_F4, false), 0x73);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_V, false), 'V');
  EXPECT_EQ(VirtualKeyOf(Qt::Key_9, false), '9');
  EXPECT_EQ(VirtualKeyOf(Qt::Key_9, true), 0x69);

  // Some platforms leave the text empty while Alt is held.
  const QKeyEvent altI(QEvent::KeyPress, Qt::Key_I, Qt::AltModifier, QString());
  const auto ch = CharPress(altI);
  ASSERT_TRUE(ch.has_value());
  EXPECT_EQ(ch->key, 'i');
  EXPECT_TRUE(ch->alt);
  const QKeyEvent shifted(QEvent::KeyPress, Qt::Key_I, Qt::AltModifier | Qt::ShiftModifier, QString());
  EXPECT_EQ(CharPress(shifted)->key, 'I');  // character entries are case-sensitive
  const KeyPress vk = VirtKeyPress(QKeyEvent(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier));
  EXPECT_EQ(vk.kind, KeyPress::Kind::VirtKey);
  EXPECT_EQ(vk.key, 'V');
  EXPECT_TRUE(vk.ctrl);
  EXPECT_FALSE(vk.alt);
}

TEST(QtKeys, F2OpensTheAboutBoxWhichOnlyOkCloses) {
  auto d = StartDesktop();
  QString title;
  bool survivedEscape = false;
  bool hasPicture = false;
  ModalCloser closer([&](QWidget* w) {
    title = w->windowTitle();
    for (QLabel* l : w->findChildren<QLabel*>())
      if (!l->pixmap().isNull() && l->pixmap().width() > 100) hasPicture = true;
    QTest::keyClick(w, Qt::Key_Escape);
    survivedEscape = w->isVisible();
    QTest::keyClick(w, Qt::Key_Return);
  });
  Press(*d, Qt::Key_F2, Qt::NoModifier);
  EXPECT_EQ(closer.seen(), 1);
  EXPECT_FALSE(closer.timedOut());
  EXPECT_EQ(title, QStringLiteral("About  Optascope  OPTA"));
  EXPECT_TRUE(survivedEscape);
  EXPECT_TRUE(hasPicture);
}

}  // namespace
}  // namespace opta::qt::test
