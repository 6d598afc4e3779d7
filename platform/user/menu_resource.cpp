// LoadMenuW: menus built from a module's MENU resource.
#include <windows.h>

#include "user/menu.h"
#include "user/resource_menu.h"
#include "user/resource_module.h"

namespace sim {
namespace {

MenuItem itemFromTemplate(const MenuItemTemplate& source) {
  MenuItem item;
  item.type = source.flags & kMenuTypeBits;
  if (source.separator) item.type |= MF_SEPARATOR;
  if (source.grayed()) item.state |= MF_GRAYED;
  if (source.checked()) item.state |= MF_CHECKED;
  if (source.state & MFS_DEFAULT) item.state |= MFS_DEFAULT;
  if (!source.popup) item.id = source.id;
  if (item.hasText()) item.text = source.text;
  return item;
}

void fill(MenuSystem& menus, HMENU handle, const std::vector<MenuItemTemplate>& items) {
  for (const MenuItemTemplate& source : items) {
    MenuItem item = itemFromTemplate(source);
    if (source.popup) {
      item.submenu = menus.create(true);
      fill(menus, item.submenu, source.children);
    }
    menus.find(handle)->items.push_back(std::move(item));
  }
}

}  // namespace
}  // namespace sim

HMENU LoadMenuW(HINSTANCE instance, LPCWSTR name) {
  const sim::ResourceEntry* entry = sim::FindModuleResource(instance, RT_MENU, name);
  if (!entry) return nullptr;  // FindModuleResource has set the error
  auto parsed = sim::ParseMenuTemplate(entry->data);
  if (!parsed) {
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
  auto& menus = sim::MenuSystem::get();
  HMENU menu = menus.create(false);
  sim::fill(menus, menu, parsed->items);
  return menu;
}
