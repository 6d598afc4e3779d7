// MENU and MENUEX resources read into a tree of items, from which the menu code
// builds its menus.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "text/result.h"

namespace sim {

struct MenuItemTemplate {
  // Item flags as MF_* values (classic layout) or the MFT_* type (extended layout),
  // without the layout's own end and popup markers.
  std::uint32_t flags = 0;
  std::uint32_t state = 0;  // MFS_* state (extended layout only)
  std::uint32_t id = 0;     // command id; a popup has none in the classic layout
  std::uint32_t helpId = 0;
  std::u16string text;
  bool popup = false;
  bool separator = false;
  std::vector<MenuItemTemplate> children;

  bool grayed() const;   // MF_GRAYED, or MFS_GRAYED in the extended layout
  bool checked() const;  // MF_CHECKED, or MFS_CHECKED
};

struct MenuTemplate {
  bool extended = false;
  std::vector<MenuItemTemplate> items;
};

Result<MenuTemplate> ParseMenuTemplate(std::span<const unsigned char> bytes);

}  // namespace sim
