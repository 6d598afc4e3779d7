#include "user/menu_popup.h"

#include <algorithm>

#include "gdi/dc.h"
#include "user/draw.h"
#include "user/menu.h"
#include "user/menu_tracker.h"
#include "user/screen_layout.h"
#include "user/window.h"

namespace sim {

namespace {

// Sizes on the 240 x 320 screen: a finger-sized item, a narrow separator, a column
// for check marks on the left and one for submenu arrows on the right.
constexpr int kItemPadding = 6;
constexpr int kSeparatorHeight = 7;
constexpr int kMarkColumn = 14;
constexpr int kArrowColumn = 14;
constexpr int kAcceleratorGap = 10;
constexpr int kBorder = 1;
constexpr int kOverlap = 4;

struct Parts {
  std::u16string label;
  std::u16string accelerator;  // after a tab: shown at the right
};

Parts Split(const std::u16string& text) {
  std::size_t tab = text.find(u'\t');
  if (tab == std::u16string::npos) return {text, {}};
  return {text.substr(0, tab), text.substr(tab + 1)};
}

int ItemHeight(const MenuItem& item) {
  return Scaled(item.separator() ? kSeparatorHeight : kItemPadding) + (item.separator() ? 0 : SystemLineHeight());
}

SIZE MeasureMenu(const Menu& menu) {
  int labels = 0, accelerators = 0, height = 0;
  for (const MenuItem& item : menu.items) {
    height += ItemHeight(item);
    if (!item.hasText()) continue;
    Parts parts = Split(item.text);
    labels = std::max(labels, SystemTextWidth(parts.label));
    if (!parts.accelerator.empty()) accelerators = std::max(accelerators, SystemTextWidth(parts.accelerator));
  }
  int width = Scaled(kMarkColumn) + labels + (accelerators ? Scaled(kAcceleratorGap) + accelerators : 0) +
              Scaled(kArrowColumn);
  return SIZE{width + 2 * Scaled(kBorder), height + 2 * Scaled(kBorder)};
}

// Places a box of `size` with its corner at `x`, `y`, kept on the screen.
RECT OnScreen(int x, int y, SIZE size) {
  const WindowSystem& windows = WindowSystem::get();
  x = std::clamp(x, 0, std::max(0, windows.screenWidth() - static_cast<int>(size.cx)));
  y = std::clamp(y, 0, std::max(0, windows.screenHeight() - static_cast<int>(size.cy)));
  return RECT{x, y, x + size.cx, y + size.cy};
}

RECT FirstPlace(const MenuAnchor& anchor, SIZE size) {
  int x = anchor.at.x, y = anchor.at.y;
  if (anchor.flags & TPM_RIGHTALIGN)
    x -= size.cx;
  else if (anchor.flags & TPM_CENTERALIGN)
    x -= size.cx / 2;
  if (anchor.flags & TPM_BOTTOMALIGN)
    y -= size.cy;
  else if (anchor.flags & TPM_VCENTERALIGN)
    y -= size.cy / 2;
  return OnScreen(x, y, size);
}

// A submenu opens to the right of its item, or to the left when the screen ends
// there. When neither side has room (the narrow screen), it lies over its parent
// against the screen's right edge, below the item that opened it (above when the
// screen ends), so that the item stays in sight.
RECT SubmenuPlace(const MenuBox& parent, int item, SIZE size) {
  const WindowSystem& windows = WindowSystem::get();
  const bool known = item >= 0 && item < static_cast<int>(parent.items.size());
  RECT opener = known ? parent.items[static_cast<std::size_t>(item)] : parent.rect;
  const int beside = parent.rect.right - Scaled(kOverlap);
  if (beside + size.cx <= windows.screenWidth()) return OnScreen(beside, opener.top - Scaled(kBorder), size);
  const int before = parent.rect.left + Scaled(kOverlap) - size.cx;
  if (before >= 0) return OnScreen(before, opener.top - Scaled(kBorder), size);
  const int x = windows.screenWidth() - size.cx;
  const int y = opener.bottom + size.cy <= windows.screenHeight() ? opener.bottom : opener.top - size.cy;
  return OnScreen(x, y, size);
}

MenuBox Box(const Menu& menu, RECT rect) {
  MenuBox box{menu.handle, rect, {}, -1};
  int y = rect.top + Scaled(kBorder);
  for (const MenuItem& item : menu.items) {
    int height = ItemHeight(item);
    box.items.push_back(RECT{rect.left + Scaled(kBorder), y, rect.right - Scaled(kBorder), y + height});
    y += height;
  }
  return box;
}

void DrawItem(HDC dc, const MenuItem& item, const RECT& rect, bool highlighted) {
  if (item.separator()) {
    const int middle = (rect.top + rect.bottom) / 2;
    RECT line{rect.left + Scaled(2), middle, rect.right - Scaled(2), middle + Scaled(1)};
    FillWithSysColor(dc, line, COLOR_BTNSHADOW);
    return;
  }
  if (highlighted) FillWithSysColor(dc, rect, COLOR_HIGHLIGHT);
  COLORREF color = GetSysColor(item.grayed() ? COLOR_GRAYTEXT : (highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
  RECT mark{rect.left, rect.top, rect.left + Scaled(kMarkColumn), rect.bottom};
  if (item.checked()) ((item.type & MFT_RADIOCHECK) ? DrawDot : DrawTick)(dc, mark, color);
  RECT arrow{rect.right - Scaled(kArrowColumn), rect.top, rect.right, rect.bottom};
  if (item.popup()) DrawArrowRight(dc, arrow, color);
  if (!item.hasText()) return;
  Parts parts = Split(item.text);
  SetTextColor(dc, color);
  RECT text{mark.right, rect.top, arrow.left, rect.bottom};
  DrawTextW(dc, parts.label.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  if (!parts.accelerator.empty()) DrawTextW(dc, parts.accelerator.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
}

class MenuSurface final : public SystemSurface {
 public:
  int layer() const override { return 30; }
  Region area() const override {
    Region covered;
    for (const MenuBox& box : MenuTracker::get().layout()) covered = covered.united(Region(box.rect));
    return covered;
  }
  void paint(HDC dc) override {
    for (const MenuBox& box : MenuTracker::get().layout()) DrawMenuBox(dc, box);
  }
  bool takesAllTaps() const override { return MenuTracker::get().isOpen(); }
  bool tap(POINT screen) override { return MenuTracker::get().tapAt(screen); }
  std::u16string describe(POINT screen) const override {
    auto boxes = MenuTracker::get().layout();
    auto hit = MenuItemAt(boxes, screen);
    if (!hit) return u"outside the open menu (a tap closes it)";
    const Menu* menu = MenuSystem::get().find(boxes[hit->first].menu);
    if (!menu || hit->second < 0) return u"menu";
    const MenuItem& item = menu->items[static_cast<std::size_t>(hit->second)];
    if (item.separator()) return u"menu: separator";
    return u"menu: " + item.text + (item.grayed() ? u" (grayed)" : u"") + (item.popup() ? u" >" : u"");
  }
};

}  // namespace

std::vector<MenuBox> LayOutOpenMenus(const std::vector<OpenMenuLevel>& levels, const MenuAnchor& anchor,
                                     std::optional<std::pair<std::size_t, int>> pressed) {
  std::vector<MenuBox> boxes;
  auto& menus = MenuSystem::get();
  for (std::size_t level = 0; level < levels.size(); ++level) {
    const Menu* menu = menus.find(levels[level].menu);
    if (!menu) break;
    SIZE size = MeasureMenu(*menu);
    RECT rect = level == 0 ? FirstPlace(anchor, size) : SubmenuPlace(boxes.back(), levels[level].index, size);
    if (level > 0) boxes.back().highlighted = levels[level].index;
    boxes.push_back(Box(*menu, rect));
  }
  if (pressed && pressed->first < boxes.size()) boxes[pressed->first].highlighted = pressed->second;
  return boxes;
}

std::optional<std::pair<std::size_t, int>> MenuItemAt(const std::vector<MenuBox>& boxes, POINT screen) {
  for (std::size_t level = boxes.size(); level-- > 0;) {
    const MenuBox& box = boxes[level];
    if (!PtInRect(&box.rect, screen)) continue;
    for (std::size_t i = 0; i < box.items.size(); ++i)
      if (PtInRect(&box.items[i], screen)) return std::make_pair(level, static_cast<int>(i));
    return std::make_pair(level, -1);
  }
  return std::nullopt;
}

void DrawMenuBox(HDC dc, const MenuBox& box) {
  const Menu* menu = MenuSystem::get().find(box.menu);
  if (!menu) return;
  FillWithSysColor(dc, box.rect, COLOR_MENU);
  OutlineRect(dc, box.rect, GetSysColorBrush(COLOR_WINDOWFRAME), Scaled(kBorder));
  SetBkMode(dc, TRANSPARENT);
  HGDIOBJ font = UseSystemFont(dc);
  for (std::size_t i = 0; i < menu->items.size() && i < box.items.size(); ++i)
    DrawItem(dc, menu->items[i], box.items[i], static_cast<int>(i) == box.highlighted && !menu->items[i].separator());
  SelectObject(dc, font);
}

void InstallMenuSurface(ScreenLayout& layout) { layout.addSurface(std::make_unique<MenuSurface>()); }

void RepaintMenus() {
  ScreenLayout& layout = ScreenLayout::get();
  if (MenuSurface* surface = layout.findSurface<MenuSurface>()) layout.repaintSurface(*surface);
}

}  // namespace sim
