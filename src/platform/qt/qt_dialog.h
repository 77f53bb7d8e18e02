#pragma once
// A modal dialog built from a resource template and driven by a dialog
// procedure: the same procedures the headless platform drives in tests.
#include <QDialog>
#include <QPixmap>
#include <map>
#include <string>

#include "platform/dialog.h"
#include "resources/resources.h"

class QAbstractButton;
class QWidget;

namespace opta::qt {

// Dialog units to pixels: the template font's average character size when
// that font exists here, else a fixed 6 x 13 pixels per 4 x 8 units.
struct DialogUnits {
  int baseX = 6;
  int baseY = 13;
  int x(int du) const { return du * baseX / 4; }
  int y(int du) const { return du * baseY / 8; }
};
DialogUnits DialogUnitsFor(const resources::DialogTemplate& tmpl);

// The part of a picture a centring static control of that size shows: the
// middle, cut to the control where the picture is larger.
QPixmap CentredCut(const QPixmap& picture, QSize control);

class QtDialog final : public QDialog, public platform::DialogWindow {
 public:
  QtDialog(const resources::DialogTemplate& tmpl, platform::DialogProc& proc, platform::Ui& ui,
           QWidget* owner);

  // WM_INITDIALOG, then the modal loop; the EndDialog result.
  int run();

  std::string itemText(int id) const override;
  void setItemText(int id, std::string_view text) override;
  bool isChecked(int id) const override;
  void setChecked(int id, bool checked) override;
  void checkRadioButton(int first, int last, int id) override;
  void end(int result) override;
  platform::Ui& ui() override { return ui_; }

  // The control with this id, or null (for tests and the Qt layer).
  QWidget* control(int id) const;
  // A click on a control as the procedure sees it (WM_COMMAND).
  void command(int id);

 protected:
  void reject() override;  // Escape and the close box: IDCANCEL to the procedure
  void accept() override;  // Enter without a default button: IDOK

 private:
  void build(const resources::DialogTemplate& tmpl);

  platform::DialogProc& proc_;
  platform::Ui& ui_;
  std::map<int, QWidget*> controls_;
  std::map<const QWidget*, std::string> rawText_;  // statics keep their "&" text
  bool ended_ = false;
  int result_ = 0;
  bool running_ = false;
};

}  // namespace opta::qt
