// The list view's messages about the view as a whole and where things stand in it:
// sub-item rectangles, scrolling, the view's rectangle and origin, item positions
// (which the program may set in the icon views), and the order of the columns.
#include <algorithm>
#include <numeric>

#include "comctl/listview_internal.h"

namespace sim::listview {

namespace {

RECT Client(HWND hwnd) {
  RECT client{};
  GetClientRect(hwnd, &client);
  return client;
}

bool IconView(int view) { return view == LVS_ICON || view == LVS_SMALLICON; }

// Every item's cell together, in view coordinates; empty without items.
RECT ItemsExtent(const Grid& grid, const ListViewState& s) {
  RECT extent{};
  for (int i = 0; i < Count(s); ++i) {
    RECT cell = CellInView(grid, *s.items[static_cast<std::size_t>(i)], i);
    UnionRect(&extent, &extent, &cell);
  }
  return extent;
}

// Report view scrolls by whole rows, to the nearest row.
int WholeRows(int dy, int rowHeight) {
  int half = dy < 0 ? -rowHeight / 2 : rowHeight / 2;
  return (dy + half) / rowHeight * rowHeight;
}

}  // namespace

std::vector<int> ColumnsInDisplayOrder(const ListViewState& s) {
  std::vector<int> order(s.columns.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&s](int a, int b) {
    return s.columns[static_cast<std::size_t>(a)].order < s.columns[static_cast<std::size_t>(b)].order;
  });
  return order;
}

LONG ColumnLeft(const ListViewState& s, int column) {
  LONG left = 0;
  for (int shown : ColumnsInDisplayOrder(s)) {
    if (shown == column) break;
    left += s.columns[static_cast<std::size_t>(shown)].width;
  }
  return left;
}

// The rectangle's top names the sub-item and its left the part (an LVIR_ code) on the
// way in. Sub-item 0 with LVIR_BOUNDS is the whole row; another sub-item is its
// column's part of the row, wherever the column is shown.
bool GetSubItemRect(HWND hwnd, ListViewState& s, int index, RECT* rect) {
  if (!rect || !ValidIndex(s, index) || ViewOf(hwnd) != LVS_REPORT) return false;
  int subItem = static_cast<int>(rect->top), part = static_cast<int>(rect->left);
  if (subItem < 0 || (subItem > 0 && subItem >= static_cast<int>(s.columns.size()))) return false;
  if (part < LVIR_BOUNDS || part > LVIR_SELECTBOUNDS) return false;
  RECT row = ItemRect(hwnd, s, index, LVIR_BOUNDS);
  if (subItem == 0) {
    *rect = part == LVIR_BOUNDS ? row : ItemRect(hwnd, s, index, part);
    return true;
  }
  LONG left = row.left + ColumnLeft(s, subItem);
  RECT cell{left, row.top, left + s.columns[static_cast<std::size_t>(subItem)].width, row.bottom};
  bool images = (s.extendedStyle & LVS_EX_SUBITEMIMAGES) && s.imageLists[LVSIL_SMALL];
  if (part == LVIR_ICON) cell.right = cell.left + (images ? 16 : 0);
  *rect = cell;
  return true;
}

// LVM_SCROLL: pixels, but columns in the list view and whole rows in the report
// view; the view does not scroll past its items.
bool Scroll(HWND hwnd, ListViewState& s, int dx, int dy) {
  Grid grid = GridOf(hwnd, s);
  if (grid.view == LVS_LIST) dx *= grid.cellWidth;
  if (grid.view == LVS_REPORT) dy = WholeRows(dy, grid.cellHeight);
  RECT extent = ItemsExtent(grid, s);
  RECT client = Client(hwnd);
  LONG maxX = std::max<LONG>(extent.right - client.right, 0);
  LONG maxY = std::max<LONG>(extent.bottom - client.bottom, 0);
  s.origin.x = std::clamp<LONG>(s.origin.x + dx, 0, maxX);
  s.origin.y = std::clamp<LONG>(s.origin.y + dy, 0, maxY);
  return true;
}

// LVM_GETVIEWRECT: the icon views only; every item's rectangle together, in client
// coordinates.
bool GetViewRect(HWND hwnd, ListViewState& s, RECT* rect) {
  Grid grid = GridOf(hwnd, s);
  if (!rect || !IconView(grid.view)) return false;
  *rect = ItemsExtent(grid, s);
  OffsetRect(rect, -s.origin.x, -s.origin.y);
  return true;
}

// LVM_GETORIGIN: the view's scroll position; the list and report views have none
// and answer FALSE with (0, 0).
bool GetOrigin(HWND hwnd, ListViewState& s, POINT* origin) {
  if (!origin) return false;
  Grid grid = GridOf(hwnd, s);
  bool icons = IconView(grid.view);
  *origin = icons ? s.origin : POINT{0, 0};
  return icons;
}

// Item positions are the upper-left corners of their cells in view coordinates.
bool GetItemPosition(HWND hwnd, ListViewState& s, int index, POINT* position) {
  if (!position || !ValidIndex(s, index)) return false;
  RECT cell = CellInView(GridOf(hwnd, s), ItemAt(s, index), index);
  *position = POINT{cell.left, cell.top};
  return true;
}

// Only the icon views let the program place items.
bool SetItemPosition(HWND hwnd, ListViewState& s, int index, POINT position) {
  if (!ValidIndex(s, index) || !IconView(ViewOf(hwnd))) return false;
  ItemAt(s, index).position = position;
  return true;
}

// LVM_ARRANGE: items placed by the program go back to the grid.
bool Arrange(HWND hwnd, ListViewState& s) {
  if (!IconView(ViewOf(hwnd))) return false;
  for (auto& item : s.items) item->position.reset();
  return true;
}

bool GetColumnOrderArray(const ListViewState& s, int count, int* order) {
  if (!order || count != static_cast<int>(s.columns.size())) return false;
  std::vector<int> shown = ColumnsInDisplayOrder(s);
  std::copy(shown.begin(), shown.end(), order);
  return true;
}

// Each column in the array is shown at the array's position; the array must name
// every column once.
bool SetColumnOrderArray(ListViewState& s, int count, const int* order) {
  if (!order || count != static_cast<int>(s.columns.size())) return false;
  std::vector<int> sorted(order, order + count);
  std::sort(sorted.begin(), sorted.end());
  for (int i = 0; i < count; ++i)
    if (sorted[static_cast<std::size_t>(i)] != i) return false;
  for (int position = 0; position < count; ++position) s.columns[static_cast<std::size_t>(order[position])].order = position;
  HeaderSetOrder(s);
  return true;
}

}  // namespace sim::listview
