#pragma once
// The desktop program assembled: the person (QtUi), the main window and the
// shell that decides everything, created in the order the window procedure
// expects (the window exists, then WM_CREATE).
#include <QRect>

#include "platform/qt/qt_main_window.h"
#include "platform/qt/qt_ui.h"
#include "shell/shell.h"

namespace opta::qt {

class Desktop {
 public:
  explicit Desktop(ShellOptions options = {});
  Desktop(const Desktop&) = delete;
  Desktop& operator=(const Desktop&) = delete;

  // Shows the window maximised, paints it, then creates the large toolbar.
  void start();

  QtUi ui;
  QtMainWindow window;
  Shell shell;
};

// The window's size when restored down from maximised: three quarters of the
// work area each way (rounded down), centred on it.
QRect RestoredGeometry(const QRect& workArea);

}  // namespace opta::qt
