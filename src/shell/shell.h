#pragma once
// The window procedure without the window. A platform creates one Shell,
// forwards its window's events here and shows windowSurface(); everything the
// program decides happens here, so it can all be tested without a screen.
#include <memory>
#include <string_view>

#include "command/command.h"
#include "core/geometry.h"
#include "core/surface.h"
#include "document/document.h"
#include "platform/main_window.h"
#include "platform/ui.h"

namespace opta {

// A key press as the accelerator table sees it.
struct KeyPress {
  enum class Kind { Char, VirtKey };  // WM_SYSCHAR/WM_CHAR character, or WM_KEYDOWN virtual key
  Kind kind = Kind::VirtKey;
  int key = 0;  // the character, or the VK_ code ('A'..'Z', '0'..'9', 0x70 = F1 ...)
  bool ctrl = false;
  bool alt = false;
  bool shift = false;
};

class Shell {
 public:
  Shell(platform::MainWindow& window, platform::Ui& ui);
  ~Shell();
  Shell(const Shell&) = delete;
  Shell& operator=(const Shell&) = delete;

  // WM_CREATE: file-dialog description, paste state, HSB check removed.
  // Also resets every remembered dialog value: a new program run.
  void onCreate();
  void onSize(Size client);  // WM_SIZE: the client area (window surface) size
  void onPaint();            // WM_PAINT after an invalidate: recompose the window surface
  void onTimer(int id);      // WM_TIMER
  void onCommand(int id);    // WM_COMMAND, low word
  void onLeftButtonDown(Point p);
  void onMouseMove(Point p, bool leftButtonHeld);
  void onLeftButtonUp(Point p);
  void onRightButtonDown(Point p);
  void onDestroy();  // WM_DESTROY
  // TranslateAccelerator: true when an entry matched and its item could be
  // chosen (the command has then been dispatched).
  bool translateAccelerator(const KeyPress& key);
  // WM_NOTIFY TTN_NEEDTEXT: the tooltip for a toolbar id.
  std::string_view tooltip(int id) const;

  Surface& windowSurface();
  Document& document();
  MenuState& menu();
  const CommandTable& commands() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace opta
