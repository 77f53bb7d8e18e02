#pragma once
// The live state of every menu item: the resource's initial state, then only
// the changes the program makes. Platforms mirror it in their menus.
#include <functional>
#include <unordered_map>

#include "resources/resources.h"

namespace opta {

enum class ItemEnable { Enabled, Disabled, Grayed };  // MF_ENABLED, MF_DISABLED, MF_GRAYED

struct ItemState {
  ItemEnable enable = ItemEnable::Enabled;
  bool checked = false;
  friend bool operator==(const ItemState&, const ItemState&) = default;
};

class MenuState {
 public:
  MenuState();  // the initial states of "MyMenu"
  bool has(int id) const { return items_.count(id) != 0; }
  ItemState state(int id) const;
  // Chosen from the menu or by accelerator only while enabled.
  bool selectable(int id) const { return state(id).enable == ItemEnable::Enabled; }
  void setEnable(int id, ItemEnable e);
  void setChecked(int id, bool checked);
  void onChange(std::function<void(int id)> listener) { listener_ = std::move(listener); }

 private:
  std::unordered_map<int, ItemState> items_;
  std::function<void(int)> listener_;
};

}  // namespace opta
