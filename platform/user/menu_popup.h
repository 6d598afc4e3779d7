// The open menu on the screen: where each level of it lies, how it is drawn (items,
// separators, check marks, grayed items, submenu arrows, the highlighted item) and
// which item a point is on. The menus are a surface of the system above every
// window; while one is open it takes every tap (menu_tracker.h acts on them).
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

namespace sim {

class ScreenLayout;
struct OpenMenuLevel;

// Where the tracked menu opens: a screen point and the TPM_* alignment flags.
struct MenuAnchor {
  POINT at{0, 0};
  UINT flags = TPM_LEFTALIGN | TPM_TOPALIGN;
};

struct MenuBox {
  HMENU menu = nullptr;
  RECT rect{};                 // screen pixels, border included
  std::vector<RECT> items;     // one per item, screen pixels
  int highlighted = -1;        // the item shown selected
};

// Lays out every open level: the tracked menu at its anchor, each submenu beside
// the item that opened it, all kept on the screen. `pressed` is the item under a
// tap in progress (level, position).
std::vector<MenuBox> LayOutOpenMenus(const std::vector<OpenMenuLevel>& levels, const MenuAnchor& anchor,
                                     std::optional<std::pair<std::size_t, int>> pressed);

// The item a screen point is on: its level and position; nothing outside the menus.
// A point on a level's border belongs to that level but to no item (position -1).
std::optional<std::pair<std::size_t, int>> MenuItemAt(const std::vector<MenuBox>& boxes, POINT screen);

void DrawMenuBox(HDC dc, const MenuBox& box);

void InstallMenuSurface(ScreenLayout& layout);
// The open menus changed what they show (an item pressed); they are drawn again.
void RepaintMenus();

}  // namespace sim
