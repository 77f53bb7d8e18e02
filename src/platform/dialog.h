#pragma once
// What a dialog procedure may do with its dialog. The Qt dialogs and the
// headless scripted dialogs both implement it, so the same procedures run on
// the desktop and in tests.
#include <string>
#include <string_view>

namespace opta::platform {

class Ui;

enum : int { IDOK = 1, IDCANCEL = 2 };

class DialogWindow {
 public:
  virtual ~DialogWindow() = default;
  virtual std::string itemText(int id) const = 0;
  virtual void setItemText(int id, std::string_view text) = 0;
  virtual bool isChecked(int id) const = 0;
  virtual void setChecked(int id, bool checked) = 0;
  // CheckRadioButton: checks id and unchecks every other button in first..last.
  virtual void checkRadioButton(int first, int last, int id) = 0;
  // EndDialog: the dialog closes with this result once the procedure returns.
  virtual void end(int result) = 0;
  // Message boxes and choosers opened from inside the dialog.
  virtual Ui& ui() = 0;
};

class DialogProc {
 public:
  virtual ~DialogProc() = default;
  virtual void onInit(DialogWindow&) {}
  // A button click (IDOK, IDCANCEL, radio buttons, "Color" buttons ...).
  // Escape and the close box arrive as IDCANCEL.
  virtual void onCommand(DialogWindow& dlg, int controlId) = 0;
};

// GetDlgItemInt with bSigned: optional blanks, an optional sign and decimal
// digits, nothing after; anything else, or a value outside 32 bits, is 0.
int ReadDialogInt(std::string_view text);

}  // namespace opta::platform
