#pragma once
// The window procedure without the window. A platform creates one Shell,
// forwards its window's events here and shows windowSurface(); everything the
// program decides happens here, so it can all be tested without a screen.
#include <functional>
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

// Command ids the shell answers itself.
namespace shellid {
constexpr int kExit = 40024;
constexpr int kHideHistogram = 40033;
constexpr int kShowLargeToolbar = 50169;
constexpr int kShowSmallToolbar = 60169;
constexpr int kHideToolbar = 50170;
constexpr int kRestoreToolbar = 60170;
constexpr int kAbout = 40007;
constexpr int kHelp = 40026;
constexpr int kCaptionTimer = 1;
constexpr int kCaptionPeriodMs = 60000;
}  // namespace shellid

inline constexpr std::string_view kMainCaption = "Bio-Medical Optascope";
inline constexpr std::string_view kMinimisedCaption = "BOPTA";
inline constexpr std::string_view kAboutTemplate = "137";

struct ShellOptions {
  // Fills the command table after the shell's own commands; empty means
  // registerAllCommands. Tests use it to add commands of their own.
  std::function<void(CommandTable&)> registerCommands;
  // Finds a dialog template by name; empty means the resource templates.
  std::function<const resources::DialogTemplate*(std::string_view)> findTemplate;
};

class Shell {
 public:
  Shell(platform::MainWindow& window, platform::Ui& ui);
  Shell(platform::MainWindow& window, platform::Ui& ui, ShellOptions options);
  ~Shell();
  Shell(const Shell&) = delete;
  Shell& operator=(const Shell&) = delete;

  // WM_CREATE: file-dialog state, paste state, HSB check removed.
  // Also resets every remembered dialog value: a new program run.
  void onCreate();
  // Start-up once the window is shown: the large toolbar is created.
  void onShown();
  void onSize(Size client);  // WM_SIZE: the client area (window surface) size
  void onPaint();            // WM_PAINT: recompose the window surface
  // The clipboard's contents changed: Paste (Edit) follows at once.
  void onClipboardChanged();
  void onTimer(int id);    // WM_TIMER
  void onCommand(int id);  // WM_COMMAND, low word
  void onLeftButtonDown(Point p);
  void onMouseMove(Point p, bool leftButtonHeld);
  void onLeftButtonUp(Point p);
  void onRightButtonDown(Point p);
  void onDestroy();  // WM_DESTROY
  // TranslateAccelerator: true when an entry matched, which consumes the key.
  // The command is dispatched only when its menu item (if it has one) is
  // enabled; a greyed or disabled item's key sends nothing.
  bool translateAccelerator(const KeyPress& key);
  // WM_NOTIFY TTN_NEEDTEXT: the tooltip for a toolbar id.
  std::string_view tooltip(int id) const;

  Surface& windowSurface();
  Document& document();
  MenuState& menu();
  const CommandTable& commands() const;
  Size clientSize() const;
  bool toolbarExists() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace opta
