#include "platform/qt/desktop.h"

#include <QGuiApplication>
#include <QScreen>

namespace opta::qt {

Desktop::Desktop(ShellOptions options) : shell(window, ui, std::move(options)) {
  ui.setOwner(&window);
  window.attach(shell);
  shell.onCreate();
}

void Desktop::start() {
  // Without a window manager (a bare X server) nothing maximises the window:
  // it starts at the screen's working area, which a manager then maximises.
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    window.setGeometry(screen->availableGeometry());
  window.showMaximized();
  window.paintNow();  // UpdateWindow: the first paint before the toolbar
  shell.onShown();
}

}  // namespace opta::qt
