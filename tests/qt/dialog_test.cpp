// Dialogs built from templates carry the template's controls and hand every
// click, Escape and the close box to their procedure.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "platform/qt/qt_dialog.h"
#include "platform/qt/qt_ui.h"
#include "qt/qt_test_support.h"

namespace opta::qt::test {
namespace {

using Kind = resources::DialogControl::Kind;

resources::DialogTemplate SampleTemplate() {
  resources::DialogTemplate t;
  t.name = "sample";
  t.title = "Window Size";
  t.cx = 200;
  t.cy = 120;
  t.fontFace = "No Such Font Here";
  t.controls = {
      {Kind::GroupBox, -1, "&Size", 4, 4, 120, 60, 0},
      {Kind::RadioButton, 11, "3 x 3", 10, 16, 60, 10, 0},
      {Kind::RadioButton, 12, "5 x 5", 10, 28, 60, 10, 0},
      {Kind::Text, -1, "&Value :", 10, 70, 40, 8, 0},
      {Kind::Edit, 1015, "", 52, 68, 40, 12, 0},
      {Kind::CheckBox, 20, "Keep", 10, 84, 40, 10, 0},
      {Kind::DefPushButton, platform::IDOK, "OK", 140, 8, 50, 14, 0},
      {Kind::PushButton, platform::IDCANCEL, "Cancel", 140, 26, 50, 14, 0},
  };
  return t;
}

// Records what reaches it; OK and Cancel end the dialog, as parameter
// dialogs do, after reading the edit box.
class RecordingProc : public platform::DialogProc {
 public:
  void onInit(platform::DialogWindow& dlg) override {
    dlg.checkRadioButton(11, 12, 11);
    dlg.setItemText(1015, "7");
  }
  void onCommand(platform::DialogWindow& dlg, int id) override {
    commands.push_back(id);
    if (id == 12) dlg.checkRadioButton(11, 12, 12);
    if (id == platform::IDOK) {
      value = platform::ReadDialogInt(dlg.itemText(1015));
      dlg.end(1);
    }
    if (id == platform::IDCANCEL && endOnCancel) dlg.end(0);
  }
  std::vector<int> commands;
  int value = -1;
  bool endOnCancel = true;
};

TEST(QtDialogs, ControlsComeFromTheTemplateInDialogUnits) {
  EnsureApp();
  QtUi ui;
  RecordingProc proc;
  const auto tmpl = SampleTemplate();
  QtDialog dlg(tmpl, proc, ui, nullptr);
  // The template font is missing: 6 x 13 pixels per 4 x 8 units.
  EXPECT_EQ(DialogUnitsFor(tmpl).baseX, 6);
  EXPECT_EQ(DialogUnitsFor(tmpl).baseY, 13);
  EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Window Size"));
  EXPECT_EQ(dlg.size(), QSize(300, 195));

  auto* ok = qobject_cast<QPushButton*>(dlg.control(platform::IDOK));
  ASSERT_NE(ok, nullptr);
  EXPECT_TRUE(ok->isDefault());
  EXPECT_EQ(ok->geometry(), QRect(210, 13, 75, 22));
  EXPECT_FALSE(qobject_cast<QPushButton*>(dlg.control(platform::IDCANCEL))->isDefault());
  ASSERT_NE(qobject_cast<QRadioButton*>(dlg.control(11)), nullptr);
  ASSERT_NE(qobject_cast<QLineEdit*>(dlg.control(1015)), nullptr);
  ASSERT_NE(qobject_cast<QCheckBox*>(dlg.control(20)), nullptr);
  EXPECT_EQ(dlg.findChildren<QGroupBox*>().at(0)->title(), QStringLiteral("&Size"));
  // Static text shows its mnemonic marker as Windows does, not as "&".
  EXPECT_EQ(dlg.findChildren<QLabel*>().at(0)->text(), QStringLiteral("Value :"));
}

TEST(QtDialogs, OkAndCancelReachTheProcedure) {
  EnsureApp();
  QtUi ui;
  const auto tmpl = SampleTemplate();
  {
    RecordingProc proc;
    ModalCloser closer([](QWidget* w) {
      auto* edit = w->findChild<QLineEdit*>(QStringLiteral("control_1015"));
      if (edit) edit->setText(QStringLiteral("-42"));
      QTest::keyClick(w, Qt::Key_Return);  // the default button
    });
    EXPECT_EQ(ui.runDialog(tmpl, proc), 1);
    EXPECT_EQ(proc.commands, std::vector<int>{platform::IDOK});
    EXPECT_EQ(proc.value, -42);
  }
  {
    RecordingProc proc;
    ModalCloser closer([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_EQ(ui.runDialog(tmpl, proc), 0);
    EXPECT_EQ(proc.commands, std::vector<int>{platform::IDCANCEL});
  }
  {
    RecordingProc proc;
    ModalCloser closer([](QWidget* w) {
      w->close();  // the close box
      qobject_cast<QPushButton*>(w->findChild<QWidget*>(QStringLiteral("control_2")))->click();
    });
    EXPECT_EQ(ui.runDialog(tmpl, proc), 0);
    EXPECT_EQ(proc.commands, (std::vector<int>{platform::IDCANCEL, platform::IDCANCEL}));
  }
}

TEST(QtDialogs, PlainRadioButtonsChangeOnlyThroughTheProcedure) {
  EnsureApp();
  QtUi ui;
  RecordingProc proc;
  const auto tmpl = SampleTemplate();
  QtDialog dlg(tmpl, proc, ui, nullptr);
  proc.onInit(dlg);
  EXPECT_TRUE(dlg.isChecked(11));
  EXPECT_EQ(dlg.itemText(1015), "7");

  // The procedure answers 12 by checking it; a click on 11 it ignores.
  qobject_cast<QRadioButton*>(dlg.control(12))->click();
  EXPECT_TRUE(dlg.isChecked(12));
  EXPECT_FALSE(dlg.isChecked(11));
  qobject_cast<QRadioButton*>(dlg.control(11))->click();
  EXPECT_FALSE(dlg.isChecked(11));
  EXPECT_TRUE(dlg.isChecked(12));
  EXPECT_EQ(proc.commands, (std::vector<int>{12, 11}));

  qobject_cast<QCheckBox*>(dlg.control(20))->click();  // auto check box: toggles and reports
  EXPECT_TRUE(dlg.isChecked(20));
  EXPECT_EQ(proc.commands.back(), 20);
  EXPECT_EQ(dlg.itemText(-5), "");  // no such control
}

TEST(QtDialogs, EveryResourceTemplateBuildsWithAllItsControls) {
  EnsureApp();
  QtUi ui;
  RecordingProc proc;
  ASSERT_FALSE(resources::dialogTemplates().empty());
  for (const auto& t : resources::dialogTemplates()) {
    QtDialog dlg(t, proc, ui, nullptr);
    EXPECT_EQ(dlg.windowTitle().toStdString(), t.title);
    for (const auto& c : t.controls) {
      if (c.id == -1) continue;
      QWidget* w = dlg.control(c.id);
      ASSERT_NE(w, nullptr) << t.name << " control " << c.id;
      if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        EXPECT_EQ(b->text().toStdString(), c.text);
      }
      EXPECT_TRUE(dlg.rect().contains(w->geometry().topLeft())) << t.name << " control " << c.id;
    }
  }
}

}  // namespace
}  // namespace opta::qt::test
