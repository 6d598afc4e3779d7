#include "user/menu.h"

#include <algorithm>
#include <string>

#include "kernel/device.h"
#include "kernel/handles.h"

namespace sim {

namespace {

std::uintptr_t keyOf(HMENU handle) { return reinterpret_cast<std::uintptr_t>(handle); }

}  // namespace

UINT MenuItem::flags() const {
  UINT result = (type & kMenuTypeBits & ~MFT_RADIOCHECK) | (state & kMenuStateBits);
  if (popup()) result |= MF_POPUP;
  return result;
}

MenuSystem& MenuSystem::get() { return Device::current().service<MenuSystem>(); }

HMENU MenuSystem::create(bool popup) {
  auto menu = std::make_unique<Menu>();
  menu->handle = reinterpret_cast<HMENU>(nextHandle_);
  menu->popup = popup;
  nextHandle_ += 4;
  HMENU handle = menu->handle;
  menus_.emplace(keyOf(handle), std::move(menu));
  return handle;
}

void MenuSystem::destroy(HMENU handle) {
  auto it = menus_.find(keyOf(handle));
  if (it == menus_.end()) return;
  // Unlink first: a menu reachable from itself (through a shared submenu) is then
  // met as already gone instead of being destroyed twice.
  std::unique_ptr<Menu> menu = std::move(it->second);
  menus_.erase(it);
  for (const MenuItem& item : menu->items)
    if (item.submenu) destroy(item.submenu);
}

Menu* MenuSystem::find(HMENU handle) const {
  if (!handle) return nullptr;
  auto it = menus_.find(keyOf(handle));
  return it == menus_.end() ? nullptr : it->second.get();
}

Menu* MenuSystem::checked(HMENU handle, const char* operation) {
  if (Menu* menu = find(handle)) return menu;
  if (handle) reportProgramFault(operation, HandleText(handle), "not a live menu");
  SetLastError(ERROR_INVALID_MENU_HANDLE);
  return nullptr;
}

std::optional<MenuItemRef> MenuSystem::locate(Menu& menu, UINT item, bool byPosition) const {
  if (byPosition) {
    if (item >= menu.items.size()) return std::nullopt;
    return MenuItemRef{&menu, item};
  }
  std::vector<const Menu*> seen;
  return findCommand(menu, item, seen);
}

std::optional<MenuItemRef> MenuSystem::findCommand(Menu& menu, UINT id, std::vector<const Menu*>& seen) const {
  // Menus may share submenus; remembering the menus searched keeps the walk finite.
  if (std::find(seen.begin(), seen.end(), &menu) != seen.end()) return std::nullopt;
  seen.push_back(&menu);
  for (std::size_t position = 0; position < menu.items.size(); ++position) {
    const MenuItem& item = menu.items[position];
    if (item.submenu)
      if (Menu* sub = find(item.submenu))
        if (auto found = findCommand(*sub, id, seen)) return found;
    if (item.id == id) return MenuItemRef{&menu, position};
  }
  return std::nullopt;
}

bool MenuSystem::reaches(HMENU menu, HMENU candidate) const {
  if (menu == candidate) return true;
  std::vector<HMENU> pending{menu};
  std::vector<HMENU> seen;
  while (!pending.empty()) {
    HMENU current = pending.back();
    pending.pop_back();
    if (std::find(seen.begin(), seen.end(), current) != seen.end()) continue;
    seen.push_back(current);
    const Menu* record = find(current);
    if (!record) continue;
    for (const MenuItem& item : record->items) {
      if (!item.submenu) continue;
      if (item.submenu == candidate) return true;
      pending.push_back(item.submenu);
    }
  }
  return false;
}

std::optional<std::vector<MenuItemView>> DescribeMenu(HMENU handle) {
  const Menu* menu = MenuSystem::get().find(handle);
  if (!menu) return std::nullopt;
  std::vector<MenuItemView> views;
  views.reserve(menu->items.size());
  for (const MenuItem& item : menu->items)
    views.push_back(MenuItemView{item.text, item.id, item.grayed(), item.checked(), item.separator(), item.submenu});
  return views;
}

}  // namespace sim
