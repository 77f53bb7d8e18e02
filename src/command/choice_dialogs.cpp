#include "command/choice_dialogs.h"

#include "command/command.h"

namespace opta {

using platform::IDCANCEL;
using platform::IDOK;

void RadioChoiceProc::onInit(platform::DialogWindow& dlg) {
  working_ = remembered_;
  dlg.checkRadioButton(first_, last_, working_);
}

void RadioChoiceProc::onCommand(platform::DialogWindow& dlg, int id) {
  if (id == IDOK) {
    remembered_ = working_;
    DialogAccepted = 1;
    dlg.end(1);
  } else if (id == IDCANCEL) {
    DialogAccepted = 0;
    dlg.end(0);
  } else if (id >= first_ && id <= last_) {
    working_ = id;
    dlg.checkRadioButton(first_, last_, id);
  }
}

void NumberEntryProc::onCommand(platform::DialogWindow& dlg, int id) {
  if (id == IDOK) {
    const int typed = platform::ReadDialogInt(dlg.itemText(editId_));
    remembered_ = adjust_ ? adjust_(typed) : typed;
    DialogAccepted = 1;
    dlg.end(1);
  } else if (id == IDCANCEL) {
    DialogAccepted = 0;
    dlg.end(0);
  }
}

}  // namespace opta
