// The menu functions of the device's API over the MenuSystem service.
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string_view>

#include "kernel/faults.h"
#include "user/menu.h"
#include "user/window.h"

namespace sim {
namespace {

constexpr UINT kNotFound = 0xFFFFFFFF;
constexpr UINT kFlagTypeBits = MF_SEPARATOR | MF_BITMAP | MF_OWNERDRAW | MF_MENUBARBREAK | MF_MENUBREAK;
constexpr UINT kFlagStateBits = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE;

// A popup that would contain its own parent makes every walk of the menu endless;
// the device refuses it.
bool acceptSubmenu(MenuSystem& menus, Menu& target, HMENU submenu, const char* operation) {
  if (!menus.checked(submenu, operation)) return false;
  if (menus.reaches(submenu, target.handle)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  return true;
}

// The item InsertMenuW, AppendMenuW and ModifyMenuW describe with their flags.
std::optional<MenuItem> itemFromFlags(MenuSystem& menus, Menu& target, UINT flags, UINT_PTR idNewItem,
                                      LPCWSTR text, const char* operation) {
  MenuItem item;
  item.type = flags & kFlagTypeBits;
  item.state = flags & kFlagStateBits;
  if (flags & MF_POPUP) {
    HMENU submenu = reinterpret_cast<HMENU>(idNewItem);
    if (!acceptSubmenu(menus, target, submenu, operation)) return std::nullopt;
    item.submenu = submenu;
  } else {
    item.id = static_cast<UINT>(idNewItem);
  }
  if (item.type & (MF_BITMAP | MF_OWNERDRAW))
    item.typeValue = const_cast<WCHAR*>(text);
  else if (!item.separator() && text)
    item.text = text;
  return item;
}

std::optional<MenuItemRef> locateOrFail(MenuSystem& menus, Menu& menu, UINT item, bool byPosition) {
  auto found = menus.locate(menu, item, byPosition);
  if (!found) SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
  return found;
}

bool byPosition(UINT flags) { return (flags & MF_BYPOSITION) != 0; }

void setCheck(MenuItem& item, bool checked, bool radio) {
  item.state = checked ? (item.state | MF_CHECKED) : (item.state & ~MF_CHECKED);
  item.type = radio ? (item.type | MFT_RADIOCHECK) : (item.type & ~MFT_RADIOCHECK);
}

// Copies an item's text for MIIM_TYPE: at most cch - 1 characters and a terminator;
// cch then holds the characters copied, or the whole length when no buffer was given
// (the caller asks how big a buffer it needs).
void copyItemText(const MenuItem& item, MENUITEMINFOW& info) {
  if (item.type & (MF_BITMAP | MF_OWNERDRAW)) {
    info.dwTypeData = static_cast<LPWSTR>(item.typeValue);
    info.cch = 0;
    return;
  }
  if (item.separator()) {
    // The caller's buffer stays its own; it reads as an empty text.
    if (info.dwTypeData && info.cch > 0) info.dwTypeData[0] = 0;
    info.cch = 0;
    return;
  }
  if (!info.dwTypeData || info.cch == 0) {
    info.cch = static_cast<UINT>(item.text.size());
    return;
  }
  std::size_t n = std::min<std::size_t>(item.text.size(), info.cch - 1);
  item.text.copy(info.dwTypeData, n);
  info.dwTypeData[n] = 0;
  info.cch = static_cast<UINT>(n);
}

bool validInfo(const MENUITEMINFOW* info) {
  if (info && info->cbSize == sizeof(MENUITEMINFOW)) return true;
  SetLastError(ERROR_INVALID_PARAMETER);
  return false;
}

}  // namespace
}  // namespace sim

using sim::Menu;
using sim::MenuItem;
using sim::MenuSystem;

HMENU CreatePopupMenu() {
  if (sim::FailsByInjection("CreatePopupMenu")) return nullptr;
  return MenuSystem::get().create(true);
}

BOOL DestroyMenu(HMENU menu) {
  auto& menus = MenuSystem::get();
  if (!menus.checked(menu, "DestroyMenu")) return FALSE;
  menus.destroy(menu);
  return TRUE;
}

BOOL IsMenu(HMENU menu) { return MenuSystem::get().find(menu) ? TRUE : FALSE; }

BOOL InsertMenuW(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, LPCWSTR text) {
  if (sim::FailsByInjection("InsertMenuW")) return FALSE;
  auto& menus = MenuSystem::get();
  Menu* target = menus.checked(menu, "InsertMenuW");
  if (!target) return FALSE;
  std::size_t at = target->items.size();
  if (sim::byPosition(flags)) {
    at = std::min<std::size_t>(position, target->items.size());
  } else {
    auto found = sim::locateOrFail(menus, *target, position, false);
    if (!found) return FALSE;
    target = found->menu;
    at = found->position;
  }
  auto item = sim::itemFromFlags(menus, *target, flags, idNewItem, text, "InsertMenuW");
  if (!item) return FALSE;
  target->items.insert(target->items.begin() + static_cast<std::ptrdiff_t>(at), std::move(*item));
  return TRUE;
}

BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR idNewItem, LPCWSTR text) {
  if (sim::FailsByInjection("AppendMenuW")) return FALSE;
  return InsertMenuW(menu, sim::kNotFound, flags | MF_BYPOSITION, idNewItem, text);
}

BOOL ModifyMenuW(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, LPCWSTR text) {
  auto& menus = MenuSystem::get();
  Menu* target = menus.checked(menu, "ModifyMenuW");
  if (!target) return FALSE;
  auto found = sim::locateOrFail(menus, *target, position, sim::byPosition(flags));
  if (!found) return FALSE;
  auto item = sim::itemFromFlags(menus, *found->menu, flags, idNewItem, text, "ModifyMenuW");
  if (!item) return FALSE;
  // The item gives up the submenu it opened unless it keeps opening the same one.
  HMENU previous = found->item().submenu;
  found->item() = std::move(*item);
  if (previous && previous != found->item().submenu) menus.destroy(previous);
  return TRUE;
}

static BOOL removeItem(HMENU menu, UINT position, UINT flags, bool destroySubmenu, const char* operation) {
  auto& menus = MenuSystem::get();
  Menu* target = menus.checked(menu, operation);
  if (!target) return FALSE;
  auto found = sim::locateOrFail(menus, *target, position, sim::byPosition(flags));
  if (!found) return FALSE;
  HMENU submenu = found->item().submenu;
  found->menu->items.erase(found->menu->items.begin() + static_cast<std::ptrdiff_t>(found->position));
  if (destroySubmenu && submenu) menus.destroy(submenu);
  return TRUE;
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) { return removeItem(menu, position, flags, true, "DeleteMenu"); }

BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) { return removeItem(menu, position, flags, false, "RemoveMenu"); }

int GetMenuItemCount(HMENU menu) {
  Menu* target = MenuSystem::get().checked(menu, "GetMenuItemCount");
  return target ? static_cast<int>(target->items.size()) : -1;
}

HMENU GetSubMenu(HMENU menu, int position) {
  Menu* target = MenuSystem::get().checked(menu, "GetSubMenu");
  if (!target || position < 0 || static_cast<std::size_t>(position) >= target->items.size()) return nullptr;
  return target->items[static_cast<std::size_t>(position)].submenu;
}

UINT GetMenuItemID(HMENU menu, int position) {
  Menu* target = MenuSystem::get().checked(menu, "GetMenuItemID");
  if (!target || position < 0 || static_cast<std::size_t>(position) >= target->items.size()) return sim::kNotFound;
  const MenuItem& item = target->items[static_cast<std::size_t>(position)];
  return item.popup() ? sim::kNotFound : item.id;
}

BOOL GetMenuItemInfoW(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFOW info) {
  auto& menus = MenuSystem::get();
  Menu* target = menus.checked(menu, "GetMenuItemInfoW");
  if (!target || !sim::validInfo(info)) return FALSE;
  auto found = sim::locateOrFail(menus, *target, item, byPosition != FALSE);
  if (!found) return FALSE;
  const MenuItem& source = found->item();
  if (info->fMask & MIIM_TYPE) {
    info->fType = source.type;
    sim::copyItemText(source, *info);
  }
  if (info->fMask & MIIM_STATE) info->fState = source.state;
  if (info->fMask & MIIM_ID) info->wID = source.id;
  if (info->fMask & MIIM_SUBMENU) info->hSubMenu = source.submenu;
  if (info->fMask & MIIM_CHECKMARKS) {
    info->hbmpChecked = source.checkedMark;
    info->hbmpUnchecked = source.uncheckedMark;
  }
  if (info->fMask & MIIM_DATA) info->dwItemData = source.data;
  return TRUE;
}

BOOL SetMenuItemInfoW(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOW info) {
  auto& menus = MenuSystem::get();
  Menu* target = menus.checked(menu, "SetMenuItemInfoW");
  if (!target || !sim::validInfo(info)) return FALSE;
  auto found = sim::locateOrFail(menus, *target, item, byPosition != FALSE);
  if (!found) return FALSE;
  // Everything is checked before anything changes: a refused call leaves the item as it was.
  if ((info->fMask & MIIM_SUBMENU) && info->hSubMenu &&
      !sim::acceptSubmenu(menus, *found->menu, info->hSubMenu, "SetMenuItemInfoW"))
    return FALSE;
  MenuItem& changed = found->item();
  if (info->fMask & MIIM_TYPE) {
    changed.type = info->fType & sim::kMenuTypeBits;
    changed.text.clear();
    changed.typeValue = nullptr;
    if (changed.type & (MF_BITMAP | MF_OWNERDRAW))
      changed.typeValue = info->dwTypeData;
    else if (changed.hasText() && info->dwTypeData)
      changed.text = info->dwTypeData;
  }
  if (info->fMask & MIIM_STATE) changed.state = info->fState & sim::kMenuStateBits;
  if (info->fMask & MIIM_ID) changed.id = info->wID;
  if (info->fMask & MIIM_SUBMENU) changed.submenu = info->hSubMenu;
  if (info->fMask & MIIM_CHECKMARKS) {
    changed.checkedMark = info->hbmpChecked;
    changed.uncheckedMark = info->hbmpUnchecked;
  }
  if (info->fMask & MIIM_DATA) changed.data = info->dwItemData;
  return TRUE;
}

UINT GetMenuState(HMENU menu, UINT id, UINT flags) {
  auto& menus = MenuSystem::get();
  Menu* target = menus.checked(menu, "GetMenuState");
  if (!target) return sim::kNotFound;
  auto found = sim::locateOrFail(menus, *target, id, sim::byPosition(flags));
  if (!found) return sim::kNotFound;
  const MenuItem& item = found->item();
  if (!item.popup()) return item.flags();
  // A popup reports the number of items of its submenu in the high byte of the low word.
  const Menu* submenu = menus.find(item.submenu);
  UINT count = submenu ? static_cast<UINT>(submenu->items.size()) : 0;
  return (count << 8) | (item.flags() & 0xFF);
}

BOOL EnableMenuItem(HMENU menu, UINT idEnableItem, UINT enable) {
  auto& menus = MenuSystem::get();
  Menu* target = menus.checked(menu, "EnableMenuItem");
  if (!target) return -1;
  auto found = sim::locateOrFail(menus, *target, idEnableItem, sim::byPosition(enable));
  if (!found) return -1;
  MenuItem& item = found->item();
  constexpr UINT kEnableBits = MF_GRAYED | MF_DISABLED;
  UINT previous = item.state & kEnableBits;
  item.state = (item.state & ~kEnableBits) | (enable & kEnableBits);
  return static_cast<BOOL>(previous);
}

DWORD CheckMenuItem(HMENU menu, UINT idCheckItem, UINT check) {
  auto& menus = MenuSystem::get();
  Menu* target = menus.checked(menu, "CheckMenuItem");
  if (!target) return sim::kNotFound;
  auto found = sim::locateOrFail(menus, *target, idCheckItem, sim::byPosition(check));
  if (!found) return sim::kNotFound;
  MenuItem& item = found->item();
  DWORD previous = item.state & MF_CHECKED;
  item.state = (item.state & ~MF_CHECKED) | (check & MF_CHECKED);
  return previous;
}

BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags) {
  auto& menus = MenuSystem::get();
  Menu* target = menus.checked(menu, "CheckMenuRadioItem");
  if (!target) return FALSE;
  // The group is a run of positions in one menu; by command its ends are found by id.
  Menu* group = target;
  std::size_t from = first;
  std::size_t to = last;
  if (!sim::byPosition(flags)) {
    auto start = sim::locateOrFail(menus, *target, first, false);
    auto end = sim::locateOrFail(menus, *target, last, false);
    if (!start || !end) return FALSE;
    if (start->menu != end->menu) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    group = start->menu;
    from = start->position;
    to = end->position;
  }
  if (from > to || to >= group->items.size()) {
    SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
    return FALSE;
  }
  std::optional<std::size_t> chosen;
  for (std::size_t position = from; position <= to; ++position) {
    const MenuItem& item = group->items[position];
    UINT key = sim::byPosition(flags) ? static_cast<UINT>(position) : item.id;
    if (!item.separator() && !item.popup() && key == check) chosen = position;
  }
  if (!chosen) {
    SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
    return FALSE;
  }
  for (std::size_t position = from; position <= to; ++position) {
    MenuItem& item = group->items[position];
    if (item.separator() || item.popup()) continue;
    sim::setCheck(item, position == *chosen, position == *chosen);
  }
  return TRUE;
}

BOOL DrawMenuBar(HWND hwnd) {
  // Nothing is drawn on the simulated screen; the call only checks its window.
  return sim::WindowSystem::get().checked(hwnd, "DrawMenuBar") ? TRUE : FALSE;
}
