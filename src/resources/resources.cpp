// Placeholder tables until the resource script is written.
#include "resources/resources.h"

namespace opta::resources {

const std::vector<MenuItem>& mainMenu() {
  static const std::vector<MenuItem> menu;
  return menu;
}
const std::vector<Accelerator>& acceleratorTable() {
  static const std::vector<Accelerator> table;
  return table;
}
const std::array<ToolbarButton, 14>& largeToolbar() {
  static const std::array<ToolbarButton, 14> t{};
  return t;
}
const std::array<ToolbarButton, 14>& smallToolbar() {
  static const std::array<ToolbarButton, 14> t{};
  return t;
}
std::string_view tooltipText(int) { return {}; }
const std::array<PopupItem, 8>& popupMenu() {
  static const std::array<PopupItem, 8> p{};
  return p;
}
int primaryCommand(int id) { return id; }
const std::vector<DialogTemplate>& dialogTemplates() {
  static const std::vector<DialogTemplate> t;
  return t;
}
const DialogTemplate* findDialogTemplate(std::string_view name) {
  for (const auto& t : dialogTemplates())
    if (t.name == name) return &t;
  return nullptr;
}

}  // namespace opta::resources
