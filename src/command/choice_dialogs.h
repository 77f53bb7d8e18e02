#pragma once
// The two dialog procedures most parameter dialogs share: a group of radio
// buttons whose checked id is remembered for the run, and one edit box read
// as a signed whole number. The families own the remembered values; these
// procedures only read the controls into them and set DialogAccepted.
#include <functional>
#include <memory>

#include "platform/dialog.h"

namespace opta {

// Radio buttons first..last: on opening the remembered id is checked (alone);
// a click makes the clicked id the working choice; OK stores it, Cancel
// leaves the remembered id as it was.
class RadioChoiceProc : public platform::DialogProc {
 public:
  RadioChoiceProc(int first, int last, int& remembered)
      : first_(first), last_(last), remembered_(remembered) {}
  void onInit(platform::DialogWindow& dlg) override;
  void onCommand(platform::DialogWindow& dlg, int id) override;

 private:
  int first_, last_;
  int& remembered_;
  int working_ = 0;
};

// One edit box, empty on opening. OK reads it with ReadDialogInt (not a
// number reads 0), passes it through adjust, stores it; Cancel stores nothing.
class NumberEntryProc : public platform::DialogProc {
 public:
  NumberEntryProc(int editId, int& remembered, std::function<int(int)> adjust = {})
      : editId_(editId), remembered_(remembered), adjust_(std::move(adjust)) {}
  void onCommand(platform::DialogWindow& dlg, int id) override;

 private:
  int editId_;
  int& remembered_;
  std::function<int(int)> adjust_;
};

inline std::unique_ptr<platform::DialogProc> MakeRadioChoice(int first, int last, int& remembered) {
  return std::make_unique<RadioChoiceProc>(first, last, remembered);
}
inline std::unique_ptr<platform::DialogProc> MakeNumberEntry(int editId, int& remembered,
                                                             std::function<int(int)> adjust = {}) {
  return std::make_unique<NumberEntryProc>(editId, remembered, std::move(adjust));
}

}  // namespace opta
