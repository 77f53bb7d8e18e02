#pragma once
// The About box's procedure: only OK closes it; Escape and the close box
// arrive as Cancel, which it ignores.
#include "platform/dialog.h"

namespace opta {

class AboutProc : public platform::DialogProc {
 public:
  void onCommand(platform::DialogWindow& dlg, int controlId) override {
    if (controlId == platform::IDOK) dlg.end(1);
  }
};

}  // namespace opta
