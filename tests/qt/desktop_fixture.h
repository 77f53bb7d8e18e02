#pragma once
// A desktop program whose image commands only record that they ran, so the
// tests see exactly which command id a menu, key or button reached.
#include <QTest>
#include <QVariant>
#include <memory>
#include <vector>

#include "platform/qt/desktop.h"
#include "qt/qt_test_support.h"

namespace opta::qt::test {

inline std::vector<int>& Ran() {
  static std::vector<int> ran;
  return ran;
}

inline ShellOptions RecordingCommands() {
  ShellOptions o;
  o.registerCommands = [](CommandTable& table) {
    // Invert needs an image (its frame shows the no-image message); the
    // others run with or without one.
    table.add(Command{40009, Frame::Plain, {}, [](CommandContext&) { Ran().push_back(40009); }});
    for (int id : {40001, 40050, 40051, 40013, 40097})
      table.add(Command{id, Frame::Own, {}, [id](CommandContext&) { Ran().push_back(id); }});
  };
  return o;
}

// Runs the event loop until no repaint request is left (start-up, layout and
// size changes ask for several).
inline void Settle(Desktop& d) {
  for (int i = 0; i < 20; ++i) {
    QCoreApplication::processEvents();
    if (!d.window.paintPending()) break;
  }
}

inline std::unique_ptr<Desktop> StartDesktop() {
  EnsureApp();
  Ran().clear();
  auto d = std::make_unique<Desktop>(RecordingCommands());
  d->start();
  d->window.activateWindow();
  d->window.view()->setFocus();
  Settle(*d);
  return d;
}

}  // namespace opta::qt::test
