#pragma once
// The main window as the shell drives it. The shell owns the window surface
// (the client area's pixels); the platform shows it and reports events.
#include <string_view>

#include "core/font.h"
#include "core/geometry.h"

namespace opta::platform {

enum class ToolbarKind { Large, Small };

class MainWindow {
 public:
  virtual ~MainWindow() = default;
  virtual void setCaption(std::string_view caption) = 0;
  virtual bool isMinimised() const = 0;
  virtual void setTimer(int id, int milliseconds) = 0;
  virtual void killTimer(int id) = 0;
  // InvalidateRect(whole client, erase): the platform calls the shell's
  // onPaint later, from its event loop (or a modal loop), not from here.
  virtual void invalidate() = 0;
  // The primary screen's size in pixels (GetSystemMetrics).
  virtual Size screenSize() const = 0;
  // A menu item's state in the shell's MenuState changed.
  virtual void menuItemChanged(int id) = 0;
  virtual void createToolbar(ToolbarKind kind) = 0;  // replaces any current one
  virtual void destroyToolbar() = 0;
  virtual void showToolbar(bool visible) = 0;  // SW_HIDE / SW_RESTORE
  // TrackPopupMenu at a client position: the chosen command, or 0.
  virtual int trackPopupMenu(Point clientPosition) = 0;
  // PostMessage(WM_COMMAND): dispatched by the next (possibly nested) loop.
  virtual void postCommand(int id) = 0;
  virtual void setWindowFont(const FontDesc& font) = 0;
};

}  // namespace opta::platform
