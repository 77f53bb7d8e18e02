#pragma once
// The program's resource script as data: the menu "MyMenu", accelerator table
// 109, the two toolbar tables, the popup menu, tooltips and dialog templates.
// Menus, toolbars, dialogs and the batch mode's command names are all built
// from these tables, so every text lives here once.
#include <array>
#include <string_view>
#include <vector>

namespace opta::resources {

struct MenuItem {
  enum class Kind { Command, Separator, Submenu };
  Kind kind = Kind::Command;
  int id = 0;             // command id; 0 for separators and submenus
  std::string_view text;  // exact text with its ampersands
  bool grayed = false;    // initial state in the resource
  bool checked = false;
  std::vector<MenuItem> items;  // Submenu only
};

// "MyMenu": the 15 top-level entries, each a Submenu.
const std::vector<MenuItem>& mainMenu();

// Win32 accelerator entry. A Char entry matches the typed character (with Alt
// when alt is set); a VirtKey entry matches a virtual-key code with modifiers.
struct Accelerator {
  enum class Type { Char, VirtKey };
  Type type = Type::VirtKey;
  int key = 0;  // character code, or VK_ code ('A'..'Z', '0'..'9', 0x70 = F1 ...)
  bool ctrl = false;
  bool alt = false;
  bool shift = false;
  int command = 0;
};
const std::vector<Accelerator>& acceleratorTable();  // table 109, in order

struct ToolbarButton {
  int image = 0;  // index into the strip
  int command = 0;
};
const std::array<ToolbarButton, 14>& largeToolbar();
const std::array<ToolbarButton, 14>& smallToolbar();
// The tooltip text for a toolbar id (TTN_NEEDTEXT); empty when it has none.
std::string_view tooltipText(int id);

struct PopupItem {
  int command = 0;
  std::string_view text;
};
const std::array<PopupItem, 8>& popupMenu();

// The command a toolbar or popup id performs (50178 -> 40009); ids that are
// their own command map to themselves.
int primaryCommand(int id);

// Win32 style bits the templates carry, under their usual names.
namespace style {
inline constexpr unsigned kWsPopup = 0x80000000u;
inline constexpr unsigned kWsCaption = 0x00C00000u;
inline constexpr unsigned kWsSysMenu = 0x00080000u;
inline constexpr unsigned kWsVScroll = 0x00200000u;
inline constexpr unsigned kWsGroup = 0x00020000u;
inline constexpr unsigned kWsTabStop = 0x00010000u;
inline constexpr unsigned kDsModalFrame = 0x80u;
inline constexpr unsigned kDsSetFont = 0x40u;
inline constexpr unsigned kEsAutoHScroll = 0x80u;
inline constexpr unsigned kCbsDropDown = 0x2u;
inline constexpr unsigned kCbsSort = 0x100u;
inline constexpr unsigned kSsCenterImage = 0x200u;
// The frame every template here uses.
inline constexpr unsigned kModalDialog = kWsPopup | kWsCaption | kWsSysMenu | kDsModalFrame | kDsSetFont;
}  // namespace style

// Dialog templates, in dialog units.
struct DialogControl {
  enum class Kind {
    PushButton,
    DefPushButton,
    RadioButton,  // plain: the dialog procedure checks it
    AutoRadioButton,
    CheckBox,
    Edit,
    ComboDropDown,  // drop-down combo box with an edit field
    GroupBox,
    Text,  // static text, left aligned
    CenterText,
    Icon,    // static icon; text names the icon resource
    Bitmap,  // static bitmap; text names the bitmap resource
  };
  Kind kind = Kind::Text;
  int id = -1;  // -1: IDC_STATIC
  std::string_view text;
  int x = 0, y = 0, cx = 0, cy = 0;
  unsigned style = 0;  // extra Win32 style bits that matter (ES_*, CBS_SORT, WS_VSCROLL, SS_CENTERIMAGE ...)
};

struct DialogTemplate {
  std::string_view name;  // "118", "ABOUTBOX", "IDD_DIALOG_SET"
  std::string_view title;
  int x = 0, y = 0, cx = 0, cy = 0;
  std::string_view fontFace;
  int fontPoints = 8;
  unsigned style = 0;
  std::vector<DialogControl> controls;
};

const DialogTemplate* findDialogTemplate(std::string_view name);
const std::vector<DialogTemplate>& dialogTemplates();

}  // namespace opta::resources
