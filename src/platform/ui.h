#pragma once
// What the program asks of the person in front of it: message boxes, dialogs,
// file and colour and font choosers, the clipboard, help, the cursor, and
// ending the process. Qt implements it for the desktop, headless for tests.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/colour.h"
#include "core/font.h"
#include "core/surface.h"
#include "platform/dialog.h"
#include "resources/resources.h"

namespace opta::platform {

// MessageBoxA flags and results, with their Win32 values.
enum : unsigned {
  MB_OK = 0x0,
  MB_OKCANCEL = 0x1,
  MB_YESNO = 0x4,
  MB_ICONHAND = 0x10,
  MB_ICONQUESTION = 0x20,
  MB_ICONEXCLAMATION = 0x30,
  MB_ICONASTERISK = 0x40,
};

// The one file-dialog description Open, Open Also and Save share: filters,
// default extension, and the last chosen path.
struct FileDialogState {
  std::string lastPath;
  static constexpr std::string_view kDefaultExtension = "bmp";
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 2> kFilters{{
      {"Bitmap Files (*.BMP)", "*.bmp"},
      {"All Files (*.*)", "*.*"},
  }};
};

enum class CursorShape { Arrow, Wait };

class Ui {
 public:
  virtual ~Ui() = default;

  // Returns IDOK or IDCANCEL. ownedByMainWindow is the owner argument.
  virtual int messageBox(std::string_view text, std::string_view caption, unsigned flags,
                         bool ownedByMainWindow = false) = 0;
  // Modal dialog from a template, driven by proc. Returns the EndDialog result.
  virtual int runDialog(const resources::DialogTemplate& tmpl, DialogProc& proc) = 0;

  // The chosen path, or nothing on cancel. The state keeps the last path.
  virtual std::optional<std::string> openFileDialog(FileDialogState& state) = 0;
  virtual std::optional<std::string> saveFileDialog(FileDialogState& state) = 0;

  // ChooseColor with the full panel open: true on OK. customColours is the
  // program's table of 16 and is updated by the chooser.
  virtual bool chooseColour(Colour initial, std::array<Colour, 16>& customColours, Colour& chosen) = 0;
  // ChooseFont with effects: true on OK; font and colour are updated.
  virtual bool chooseFont(FontDesc& font, Colour& colour) = 0;

  virtual bool clipboardHasBitmap() = 0;
  // The clipboard bitmap's pixels, or false when it holds none.
  virtual bool clipboardBitmap(Surface& out) = 0;

  virtual void showHelp() = 0;  // silent when help cannot be shown
  virtual void exitProcess(int code) = 0;
  virtual void setCursor(CursorShape shape) = 0;

  // The text renderer for the window and image surfaces.
  virtual const TextRenderer& textRenderer() { return builtInTextRenderer(); }
};

}  // namespace opta::platform
