#include "platform/qt/desktop.h"

#include <QGuiApplication>
#include <QScreen>

#include "document/commands/commands.h"

namespace opta::qt {

Desktop::Desktop(ShellOptions options) : shell(window, ui, std::move(options)) {
  ui.setOwner(&window);
  // What a command drew before its message box shows while the box is up.
  ui.setBeforeModal([this] { window.showDrawn(); });
  // A dropped file opens as File > Open with its name would; a command that
  // asked for no file leaves no answer behind for a later dialog.
  window.setFileDropHandler([this](const std::string& path) {
    ui.answerNextOpenDialog(path);
    shell.onCommand(docid::kOpen);
    ui.answerNextOpenDialog(std::nullopt);
  });
  window.attach(shell);
  shell.onCreate();
}

void Desktop::start() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect work = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  window.showMaximisedOver(RestoredGeometry(work), work);
  window.paintNow();  // UpdateWindow: the first paint before the toolbar
  shell.onShown();
}

QRect RestoredGeometry(const QRect& workArea) {
  const QSize size(workArea.width() * 3 / 4, workArea.height() * 3 / 4);
  return QRect(QPoint(workArea.left() + (workArea.width() - size.width()) / 2,
                      workArea.top() + (workArea.height() - size.height()) / 2),
               size);
}

}  // namespace opta::qt
