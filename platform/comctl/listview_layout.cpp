// Where the list view's items stand: the grid of each view, item rectangles, hit
// testing, scrolling an item into view, and neighbours in the arrangement.
#include <algorithm>

#include "comctl/header.h"
#include "comctl/listview_internal.h"
#include "user/draw.h"

namespace sim::listview {

namespace {

RECT ClientRect(HWND hwnd) {
  RECT rect{};
  GetClientRect(hwnd, &rect);
  return rect;
}

int ReportWidth(HWND hwnd, const ListViewState& s) {
  int width = 0;
  for (const auto& column : s.columns) width += column.width;
  if (width == 0) width = static_cast<int>(ClientRect(hwnd).right);
  return width;
}

// The cell of an item in view coordinates (before scrolling).
RECT CellOf(const Grid& grid, int index) {
  int column = 0, row = 0;
  switch (grid.view) {
    case LVS_REPORT:
      row = index;
      break;
    case LVS_LIST:
      column = index / grid.perLine;
      row = index % grid.perLine;
      break;
    default:
      column = index % grid.perLine;
      row = index / grid.perLine;
      break;
  }
  LONG left = column * grid.cellWidth;
  LONG top = grid.top + row * grid.cellHeight;
  return RECT{left, top, left + grid.cellWidth, top + grid.cellHeight};
}

// The index of the cell at a point of view coordinates below the header, or -1.
long CellAt(const Grid& grid, LONG x, LONG y) {
  LONG column = x / grid.cellWidth, row = y / grid.cellHeight;
  switch (grid.view) {
    case LVS_REPORT:
      return column == 0 ? row : -1;
    case LVS_LIST:
      return row < grid.perLine ? column * grid.perLine + row : -1;
    default:
      return column < grid.perLine ? row * grid.perLine + column : -1;
  }
}

// The list view scrolls sideways, a column at a time; the other views scroll down.
void ScrollListColumnIntoView(HWND hwnd, ListViewState& s, const Grid& grid, int index, const RECT& rect) {
  RECT client = ClientRect(hwnd);
  LONG column = index / grid.perLine;
  LONG visibleColumns = std::max<LONG>((client.right - client.left) / grid.cellWidth, 1);
  LONG first = rect.left < client.left ? column : column - visibleColumns + 1;
  s.origin.x = std::max<LONG>(first, 0) * grid.cellWidth;
}

}  // namespace

Grid GridOf(HWND hwnd, ListViewState& s) {
  RECT client = ClientRect(hwnd);
  int width = static_cast<int>(client.right - client.left);
  int height = static_cast<int>(client.bottom - client.top);
  Grid grid{ViewOf(hwnd), 0, Scaled(kListRowHeight), 1, 0};
  if (grid.view != s.arrangedView) {
    s.arrangedView = grid.view;
    s.origin = POINT{0, 0};
  }
  switch (grid.view) {
    case LVS_REPORT:
      grid.cellWidth = ReportWidth(hwnd, s);
      grid.top = HasStyle(hwnd, LVS_NOCOLUMNHEADER) ? 0 : HeaderHeight();
      break;
    case LVS_LIST:
      grid.cellWidth = std::max(s.listColumnWidth, 1);
      grid.perLine = std::max(height / grid.cellHeight, 1);
      break;
    case LVS_SMALLICON:
      grid.cellWidth = Scaled(kSmallIconCellWidth);
      grid.perLine = std::max(width / grid.cellWidth, 1);
      break;
    default:
      grid.cellWidth = Scaled(kIconCellWidth);
      grid.cellHeight = Scaled(kIconCellHeight);
      grid.perLine = std::max(width / grid.cellWidth, 1);
      break;
  }
  return grid;
}

// The width of the images of the view's image list; the icon view keeps room for a
// system-sized icon even without one.
int IconWidth(const ListViewState& s, int view) {
  int width = 0, height = 0;
  HIMAGELIST list = s.imageLists[view == LVS_ICON ? LVSIL_NORMAL : LVSIL_SMALL];
  if (list && ImageList_GetIconSize(list, &width, &height)) return width;
  return view == LVS_ICON ? Scaled(32) : 0;
}

RECT CellInView(const Grid& grid, const ListViewItem& item, int index) {
  bool placed = item.position && (grid.view == LVS_ICON || grid.view == LVS_SMALLICON);
  if (!placed) return CellOf(grid, index);
  return RECT{item.position->x, item.position->y, item.position->x + grid.cellWidth, item.position->y + grid.cellHeight};
}

RECT ItemRect(HWND hwnd, ListViewState& s, int index, int part) {
  Grid grid = GridOf(hwnd, s);
  RECT cell = CellInView(grid, ItemAt(s, index), index);
  OffsetRect(&cell, -s.origin.x, -s.origin.y);
  int iconWidth = IconWidth(s, grid.view);
  RECT icon = cell, label = cell;
  if (grid.view == LVS_ICON) {
    LONG middle = (cell.left + cell.right) / 2;
    icon = RECT{middle - iconWidth / 2, cell.top + Scaled(2), middle + iconWidth - iconWidth / 2, cell.top + Scaled(2) + iconWidth};
    label = RECT{cell.left, icon.bottom + Scaled(2), cell.right, cell.bottom};
  } else {
    // The report view's icon and label are the first column's, wherever it is shown.
    if (grid.view == LVS_REPORT && !s.columns.empty()) {
      icon.left = cell.left + ColumnLeft(s, 0);
      label.right = icon.left + s.columns.front().width;
    }
    icon.right = icon.left + iconWidth;
    label.left = icon.right;
  }
  switch (part) {
    case LVIR_ICON:
      return icon;
    case LVIR_LABEL:
      return label;
    case LVIR_SELECTBOUNDS:
      if (grid.view == LVS_REPORT && !(s.extendedStyle & LVS_EX_FULLROWSELECT)) return RECT{icon.left, cell.top, label.right, cell.bottom};
      return cell;
    default:
      return cell;
  }
}

// The rectangle's `left` names the part (an LVIR_ code) on the way in.
bool GetItemRect(HWND hwnd, ListViewState& s, int index, RECT* rect) {
  if (!rect || !ValidIndex(s, index)) return false;
  *rect = ItemRect(hwnd, s, index, static_cast<int>(rect->left));
  return true;
}

namespace {

// Items the program placed itself are found by their rectangles, the last drawn first.
int PlacedItemAt(HWND hwnd, ListViewState& s, POINT point) {
  for (int i = Count(s) - 1; i >= 0; --i) {
    RECT bounds = ItemRect(hwnd, s, i, LVIR_BOUNDS);
    if (PtInRect(&bounds, point)) return i;
  }
  return -1;
}

bool AnyPlaced(HWND hwnd, const ListViewState& s) {
  int view = ViewOf(hwnd);
  if (view != LVS_ICON && view != LVS_SMALLICON) return false;
  return std::any_of(s.items.begin(), s.items.end(), [](const auto& item) { return item->position.has_value(); });
}

}  // namespace

int HitTest(HWND hwnd, ListViewState& s, POINT point, UINT* flags) {
  Grid grid = GridOf(hwnd, s);
  LONG x = point.x + s.origin.x;
  LONG y = point.y + s.origin.y - grid.top;
  if (flags) *flags = LVHT_NOWHERE;
  if (x < 0 || y < 0 || point.y < grid.top) return -1;
  long index = AnyPlaced(hwnd, s) ? PlacedItemAt(hwnd, s, point) : CellAt(grid, x, y);
  if (index < 0 || index >= Count(s)) return -1;
  int found = static_cast<int>(index);
  if (flags) {
    RECT icon = ItemRect(hwnd, s, found, LVIR_ICON);
    *flags = PtInRect(&icon, point) ? LVHT_ONITEMICON : LVHT_ONITEMLABEL;
  }
  return found;
}

int HitTest(HWND hwnd, ListViewState& s, LVHITTESTINFO* info) {
  if (!info) return -1;
  info->iItem = HitTest(hwnd, s, info->pt, &info->flags);
  info->iSubItem = 0;
  return info->iItem;
}

bool EnsureVisible(HWND hwnd, ListViewState& s, int index, bool partialOk) {
  if (!ValidIndex(s, index)) return false;
  Grid grid = GridOf(hwnd, s);
  RECT client = ClientRect(hwnd);
  RECT rect = ItemRect(hwnd, s, index, LVIR_BOUNDS);
  if (grid.view == LVS_LIST) {
    bool inside = partialOk ? rect.right > client.left && rect.left < client.right
                            : rect.left >= client.left && rect.right <= client.right;
    if (!inside) ScrollListColumnIntoView(hwnd, s, grid, index, rect);
    return true;
  }
  LONG top = client.top + grid.top;
  bool inside = partialOk ? rect.bottom > top && rect.top < client.bottom : rect.top >= top && rect.bottom <= client.bottom;
  if (inside) return true;
  if (rect.top < top)
    s.origin.y -= top - rect.top;
  else
    s.origin.y += rect.bottom - client.bottom;
  s.origin.y = std::max<LONG>(s.origin.y, 0);
  return true;
}

int TopIndex(HWND hwnd, ListViewState& s) {
  Grid grid = GridOf(hwnd, s);
  if (grid.view == LVS_REPORT) return std::min<LONG>(s.origin.y / grid.cellHeight, std::max(Count(s) - 1, 0));
  if (grid.view == LVS_LIST) return std::min<LONG>(s.origin.x / grid.cellWidth * grid.perLine, std::max(Count(s) - 1, 0));
  return 0;
}

int CountPerPage(HWND hwnd, ListViewState& s) {
  Grid grid = GridOf(hwnd, s);
  RECT client = ClientRect(hwnd);
  int rows = std::max(static_cast<int>(client.bottom - grid.top) / grid.cellHeight, 0);
  if (grid.view == LVS_REPORT) return rows;
  if (grid.view == LVS_LIST) return grid.perLine * std::max(static_cast<int>(client.right) / grid.cellWidth, 1);
  return Count(s);
}

int Neighbour(HWND hwnd, ListViewState& s, int index, UINT direction) {
  Grid grid = GridOf(hwnd, s);
  int step = 1;
  bool vertical = direction & (LVNI_ABOVE | LVNI_BELOW);
  bool backwards = direction & (LVNI_ABOVE | LVNI_TOLEFT);
  if (grid.view == LVS_REPORT) {
    if (!vertical) return -1;
  } else if (grid.view == LVS_LIST) {
    step = vertical ? 1 : grid.perLine;
  } else {
    step = vertical ? grid.perLine : 1;
  }
  int next = backwards ? index - step : index + step;
  return ValidIndex(s, next) ? next : -1;
}

}  // namespace sim::listview
