// Where the header's items stand: side by side in their order from the left edge,
// each as wide as its width and as tall as the control. The right edge of each item
// is its divider, where a drag would change its width; a tap there is not a tap on
// the item.
#include <algorithm>

#include "comctl/header_internal.h"
#include "user/draw.h"

namespace sim {

int HeaderHeight() { return Scaled(kHeaderHeight); }

namespace header {

namespace {

RECT Client(HWND hwnd) {
  RECT client{};
  GetClientRect(hwnd, &client);
  return client;
}

// How far either side of a divider the stylus still meets it.
int DividerReach() { return Scaled(4); }

UINT OutsideFlags(const RECT& client, POINT point) {
  UINT flags = 0;
  if (point.x < client.left) flags |= HHT_TOLEFT;
  if (point.x >= client.right) flags |= HHT_TORIGHT;
  if (point.y < client.top) flags |= HHT_ABOVE;
  if (point.y >= client.bottom) flags |= HHT_BELOW;
  return flags;
}

// The item whose divider is at `point`, or -1. Of items that end at the same edge
// (items of no width), the last one shown owns the divider's right side: that is
// where a drag would open it.
int DividerAt(const HeaderState& s, POINT point, UINT* flags) {
  LONG right = 0;
  int found = -1;
  for (int index : s.order) {
    const HeaderItem& item = s.items[static_cast<std::size_t>(index)];
    right += item.width;
    if (point.x < right - DividerReach() || point.x >= right + DividerReach()) continue;
    if (found >= 0 && item.width == 0 && point.x >= right) {
      found = index;
      *flags = HHT_ONDIVOPEN;
    } else if (found < 0) {
      found = index;
      *flags = HHT_ONDIVIDER;
    }
  }
  return found;
}

}  // namespace

RECT ItemRect(HWND hwnd, const HeaderState& s, int index) {
  const RECT client = Client(hwnd);
  LONG left = 0;
  for (int shown : s.order) {
    if (shown == index) break;
    left += s.items[static_cast<std::size_t>(shown)].width;
  }
  return RECT{left, 0, left + s.items[static_cast<std::size_t>(index)].width, client.bottom};
}

bool GetItemRect(HWND hwnd, const HeaderState& s, int index, RECT* rect) {
  if (!rect || !ValidIndex(s, index)) return false;
  *rect = ItemRect(hwnd, s, index);
  return true;
}

int HitTest(HWND hwnd, const HeaderState& s, POINT point, UINT* flags) {
  const RECT client = Client(hwnd);
  UINT found = OutsideFlags(client, point);
  if (found) {
    *flags = found;
    return -1;
  }
  if (int divider = DividerAt(s, point, flags); divider >= 0) return divider;
  for (int index : s.order) {
    RECT rect = ItemRect(hwnd, s, index);
    if (point.x >= rect.left && point.x < rect.right) {
      *flags = HHT_ONHEADER;
      return index;
    }
  }
  *flags = HHT_NOWHERE;
  return -1;
}

int HitTest(HWND hwnd, const HeaderState& s, HDHITTESTINFO* info) {
  if (!info) return -1;
  info->iItem = HitTest(hwnd, s, info->pt, &info->flags);
  return info->iItem;
}

// The control along the top of the rectangle, which keeps what is left below it.
// HDS_HIDDEN gives it no height.
bool Layout(HWND hwnd, HDLAYOUT* layout) {
  if (!layout || !layout->prc || !layout->pwpos) return false;
  RECT& area = *layout->prc;
  const int height = (StyleOf(hwnd) & HDS_HIDDEN) ? 0 : HeaderHeight();
  *layout->pwpos = WINDOWPOS{hwnd, nullptr, static_cast<int>(area.left), static_cast<int>(area.top),
                             static_cast<int>(area.right - area.left), height, SWP_NOZORDER | SWP_NOACTIVATE};
  area.top += height;
  return true;
}

}  // namespace header

}  // namespace sim
