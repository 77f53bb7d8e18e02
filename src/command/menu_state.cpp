#include "command/menu_state.h"

namespace opta {
namespace {

void collect(const std::vector<resources::MenuItem>& items, std::unordered_map<int, ItemState>& out) {
  for (const auto& item : items) {
    if (item.kind == resources::MenuItem::Kind::Submenu) {
      collect(item.items, out);
    } else if (item.kind == resources::MenuItem::Kind::Command) {
      out[item.id] = ItemState{item.grayed ? ItemEnable::Grayed : ItemEnable::Enabled, item.checked};
    }
  }
}

}  // namespace

MenuState::MenuState() { collect(resources::mainMenu(), items_); }

ItemState MenuState::state(int id) const {
  auto it = items_.find(id);
  return it == items_.end() ? ItemState{} : it->second;
}

void MenuState::setEnable(int id, ItemEnable e) {
  auto it = items_.find(id);
  if (it == items_.end() || it->second.enable == e) return;
  it->second.enable = e;
  if (listener_) listener_(id);
}

void MenuState::setChecked(int id, bool checked) {
  auto it = items_.find(id);
  if (it == items_.end() || it->second.checked == checked) return;
  it->second.checked = checked;
  if (listener_) listener_(id);
}

}  // namespace opta
