// Menus: the records behind HMENU and the device service that owns them.
//
// A menu is a list of items; an item is a command (text and id), a separator, or a
// popup that opens a submenu. Menus belong to the device, not to a process: a program
// may insert its own popup menu into another program's menu, as the device allows.
// Handles are checked on every use and never reused, so a destroyed menu can always
// be told apart from a live one.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sim {

class Device;

// Item type bits kept on an item (the MFT_ / MF_ type flags; MF_POPUP is not kept,
// an item is a popup exactly when it has a submenu).
inline constexpr UINT kMenuTypeBits = MF_SEPARATOR | MF_BITMAP | MF_OWNERDRAW | MF_MENUBARBREAK | MF_MENUBREAK |
                                      MFT_RADIOCHECK;
// Item state bits (grayed, disabled, checked, highlighted, default).
inline constexpr UINT kMenuStateBits = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MFS_DEFAULT;

struct MenuItem {
  UINT type = MFT_STRING;
  UINT state = 0;
  UINT id = 0;
  HMENU submenu = nullptr;
  DWORD data = 0;
  std::u16string text;
  void* typeValue = nullptr;  // the bitmap or owner-draw value of a non-text item
  HBITMAP checkedMark = nullptr;
  HBITMAP uncheckedMark = nullptr;

  bool separator() const { return (type & MF_SEPARATOR) != 0; }
  bool hasText() const { return (type & (MF_SEPARATOR | MF_BITMAP | MF_OWNERDRAW)) == 0; }
  bool popup() const { return submenu != nullptr; }
  bool grayed() const { return (state & (MF_GRAYED | MF_DISABLED)) != 0; }
  bool checked() const { return (state & MF_CHECKED) != 0; }
  // The flags GetMenuState reports for the item.
  UINT flags() const;
};

struct Menu {
  HMENU handle = nullptr;
  bool popup = false;  // CreatePopupMenu (true) or a menu resource's top level (false)
  std::vector<MenuItem> items;
};

// Where an item was found: its menu and its position there.
struct MenuItemRef {
  Menu* menu = nullptr;
  std::size_t position = 0;
  MenuItem& item() const { return menu->items[position]; }
};

class MenuSystem {
 public:
  explicit MenuSystem(Device& device) : device_(device) {}
  MenuSystem(const MenuSystem&) = delete;
  MenuSystem& operator=(const MenuSystem&) = delete;

  static MenuSystem& get();

  HMENU create(bool popup);
  // Destroys the menu and, depth first, every live submenu it leads to.
  void destroy(HMENU handle);

  // The live menu of `handle`, or null; silent (IsMenu, the automation layer, and
  // walks that meet a submenu destroyed behind the menu's back).
  Menu* find(HMENU handle) const;
  // The live menu of `handle`. For a null handle sets ERROR_INVALID_MENU_HANDLE; for
  // a destroyed or unknown one also records a program fault naming `operation`.
  Menu* checked(HMENU handle, const char* operation);

  // An item by position (this menu only) or by command (this menu and, depth first,
  // its submenus; a popup item matches its id only after its submenu was searched).
  std::optional<MenuItemRef> locate(Menu& menu, UINT item, bool byPosition) const;
  // True when `candidate` is `menu` or a submenu reachable from it: inserting
  // `menu` as a popup of `candidate` would make a cycle.
  bool reaches(HMENU menu, HMENU candidate) const;


 private:
  std::optional<MenuItemRef> findCommand(Menu& menu, UINT id, std::vector<const Menu*>& seen) const;

  Device& device_;
  std::map<std::uintptr_t, std::unique_ptr<Menu>> menus_;
  std::uintptr_t nextHandle_ = 0x4D0004;
};

// The items of a menu as a person sees them (for the automation layer and the
// menu tracker): text, command, grayed, checked, separator, submenu.
struct MenuItemView {
  std::u16string text;
  UINT id = 0;
  bool grayed = false;
  bool checked = false;
  bool separator = false;
  HMENU submenu = nullptr;
};
// Nothing when the menu is not alive.
std::optional<std::vector<MenuItemView>> DescribeMenu(HMENU handle);

}  // namespace sim
