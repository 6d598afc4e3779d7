#include "comctl/listview.h"

#include <algorithm>
#include <set>

#include "comctl/control_table.h"
#include "comctl/imagelist.h"
#include "comctl/label_edit.h"
#include "comctl/notify.h"
#include "user/input.h"

namespace sim {

namespace {

using Table = ControlTable<ListViewState>;

int ViewOf(HWND hwnd) { return static_cast<int>(GetWindowLongW(hwnd, GWL_STYLE) & LVS_TYPEMASK); }
bool HasStyle(HWND hwnd, LONG bits) { return (GetWindowLongW(hwnd, GWL_STYLE) & bits) != 0; }

int Count(const ListViewState& s) { return static_cast<int>(s.items.size()); }
bool ValidIndex(const ListViewState& s, int index) { return index >= 0 && index < Count(s); }

// The index of an item by its identity; `hint` is where it was last seen, which is
// almost always where it still is.
int IndexOfId(const ListViewState& s, std::uint64_t id, int hint = -1) {
  if (hint >= 0 && hint < Count(s) && s.items[static_cast<std::size_t>(hint)]->id == id) return hint;
  for (int i = 0; i < Count(s); ++i)
    if (s.items[static_cast<std::size_t>(i)]->id == id) return i;
  return -1;
}

ListViewItem& ItemAt(ListViewState& s, int index) { return *s.items[static_cast<std::size_t>(index)]; }

// A sorted list orders names as lstrcmpiW does: the device's Japanese order, ignoring case.
int CompareNames(const std::u16string& a, const std::u16string& b) { return lstrcmpiW(a.c_str(), b.c_str()); }

bool StartsWithIgnoringCase(const std::u16string& text, const WCHAR* prefix) {
  std::size_t length = wcslen(prefix);
  return length <= text.size() && _wcsnicmp(text.c_str(), prefix, length) == 0;
}

// ---- item texts ------------------------------------------------------------------

std::u16string SubItemText(const ListViewItem& item, int subItem) {
  if (subItem == 0) return item.text;
  std::size_t slot = static_cast<std::size_t>(subItem - 1);
  return slot < item.subItems.size() ? item.subItems[slot] : std::u16string();
}

// The text of an item as the parent sees it: items added with LPSTR_TEXTCALLBACKW
// ask the parent each time.
std::u16string ItemText(HWND hwnd, ListViewState& s, int index, int subItem) {
  ListViewItem& item = ItemAt(s, index);
  if (!(subItem == 0 && item.textCallback)) return SubItemText(item, subItem);
  WCHAR buffer[MAX_PATH] = {};
  NMLVDISPINFOW info{};
  info.item.mask = LVIF_TEXT;
  info.item.iItem = index;
  info.item.lParam = item.param;
  info.item.pszText = buffer;
  info.item.cchTextMax = MAX_PATH;
  SendNotify(hwnd, LVN_GETDISPINFOW, &info.hdr);
  if (!info.item.pszText || info.item.pszText == LPSTR_TEXTCALLBACKW) return {};
  return std::u16string(info.item.pszText, wcsnlen(info.item.pszText, MAX_PATH));
}

// ---- sorting -----------------------------------------------------------------------

int SortDirection(HWND hwnd) {
  LONG style = GetWindowLongW(hwnd, GWL_STYLE);
  if (style & LVS_SORTASCENDING) return 1;
  if (style & LVS_SORTDESCENDING) return -1;
  return 0;
}

// Where an item of that text goes in a sorted list: after the items that equal it.
int SortedPosition(const ListViewState& s, const std::u16string& text, int direction) {
  auto at = std::upper_bound(s.items.begin(), s.items.end(), text, [direction](const std::u16string& t, const auto& item) {
    return direction * CompareNames(t, item->text) < 0;
  });
  return static_cast<int>(at - s.items.begin());
}

// Moves an item whose name changed to its place in a sorted list; gives its new index.
int Resort(HWND hwnd, ListViewState& s, int index) {
  int direction = SortDirection(hwnd);
  if (direction == 0) return index;
  auto item = std::move(s.items[static_cast<std::size_t>(index)]);
  s.items.erase(s.items.begin() + index);
  int position = SortedPosition(s, item->text, direction);
  s.items.insert(s.items.begin() + position, std::move(item));
  return position;
}

// ---- layout ------------------------------------------------------------------------

struct Grid {
  int view;
  int cellWidth;
  int cellHeight;
  int perLine;  // items per column (list view) or per row (icon views)
  int top;      // first pixel row of items
};

void Shift(RECT* rect, LONG dx, LONG dy) {
  rect->left += dx;
  rect->right += dx;
  rect->top += dy;
  rect->bottom += dy;
}

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

Grid GridOf(HWND hwnd, ListViewState& s) {
  RECT client = ClientRect(hwnd);
  int width = static_cast<int>(client.right - client.left);
  int height = static_cast<int>(client.bottom - client.top);
  Grid grid{ViewOf(hwnd), 0, kListRowHeight, 1, 0};
  if (grid.view != s.arrangedView) {  // a view switch starts the new arrangement at its origin
    s.arrangedView = grid.view;
    s.origin = POINT{0, 0};
  }
  switch (grid.view) {
    case LVS_REPORT:
      grid.cellWidth = ReportWidth(hwnd, s);
      grid.top = HasStyle(hwnd, LVS_NOCOLUMNHEADER) ? 0 : kListHeaderHeight;
      break;
    case LVS_LIST:
      grid.cellWidth = std::max(s.listColumnWidth, 1);
      grid.perLine = std::max(height / kListRowHeight, 1);
      break;
    case LVS_SMALLICON:
      grid.cellWidth = kSmallIconCellWidth;
      grid.perLine = std::max(width / kSmallIconCellWidth, 1);
      break;
    default:
      grid.cellWidth = kIconCellWidth;
      grid.cellHeight = kIconCellHeight;
      grid.perLine = std::max(width / kIconCellWidth, 1);
      break;
  }
  return grid;
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

int IconWidth(const ListViewState& s, int view) {
  if (view == LVS_ICON) return 32;
  return s.imageLists[LVSIL_SMALL] ? 16 : 0;
}

// An item's rectangle in client coordinates; `part` is an LVIR_ code.
RECT ItemRect(HWND hwnd, ListViewState& s, int index, int part) {
  Grid grid = GridOf(hwnd, s);
  RECT cell = CellOf(grid, index);
  Shift(&cell, -s.origin.x, -s.origin.y);
  int iconWidth = IconWidth(s, grid.view);
  RECT icon = cell, label = cell;
  if (grid.view == LVS_ICON) {
    LONG middle = (cell.left + cell.right) / 2;
    icon = RECT{middle - 16, cell.top + 2, middle + 16, cell.top + 34};
    label = RECT{cell.left, cell.top + 36, cell.right, cell.bottom};
  } else {
    icon.right = icon.left + iconWidth;
    label.left = icon.right;
    if (grid.view == LVS_REPORT && !s.columns.empty()) label.right = cell.left + s.columns.front().width;
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

bool Contains(const RECT& rect, POINT point) {
  return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

// The item under a client point, or -1.
int HitTest(HWND hwnd, ListViewState& s, POINT point, UINT* flags) {
  Grid grid = GridOf(hwnd, s);
  LONG x = point.x + s.origin.x;
  LONG y = point.y + s.origin.y - grid.top;
  if (flags) *flags = LVHT_NOWHERE;
  if (x < 0 || y < 0 || point.y < grid.top) return -1;
  LONG column = x / grid.cellWidth, row = y / grid.cellHeight;
  long index = -1;
  switch (grid.view) {
    case LVS_REPORT:
      if (column == 0) index = row;
      break;
    case LVS_LIST:
      if (row < grid.perLine) index = column * grid.perLine + row;
      break;
    default:
      if (column < grid.perLine) index = row * grid.perLine + column;
      break;
  }
  if (index < 0 || index >= Count(s)) return -1;
  int found = static_cast<int>(index);
  if (flags) *flags = Contains(ItemRect(hwnd, s, found, LVIR_ICON), point) ? LVHT_ONITEMICON : LVHT_ONITEMLABEL;
  return found;
}

bool EnsureVisible(HWND hwnd, ListViewState& s, int index, bool partialOk) {
  if (!ValidIndex(s, index)) return false;
  Grid grid = GridOf(hwnd, s);
  RECT client = ClientRect(hwnd);
  RECT rect = ItemRect(hwnd, s, index, LVIR_BOUNDS);
  if (grid.view == LVS_LIST) {
    bool inside = partialOk ? rect.right > client.left && rect.left < client.right
                            : rect.left >= client.left && rect.right <= client.right;
    if (inside) return true;
    LONG column = index / grid.perLine;
    LONG visibleColumns = std::max<LONG>((client.right - client.left) / grid.cellWidth, 1);
    LONG first = rect.left < client.left ? column : column - visibleColumns + 1;
    s.origin.x = std::max<LONG>(first, 0) * grid.cellWidth;
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

// ---- state changes -----------------------------------------------------------------

// One item's state change with LVN_ITEMCHANGING (the parent may refuse it) and
// LVN_ITEMCHANGED. False when refused or when the item went away meanwhile.
bool ChangeItemState(HWND hwnd, ListViewState& s, int index, UINT state, UINT mask) {
  ListViewItem& item = ItemAt(s, index);
  UINT before = item.state;
  UINT after = (before & ~mask) | (state & mask);
  if (before == after) return true;
  std::uint64_t id = item.id;
  NMLISTVIEW change{};
  change.iItem = index;
  change.uChanged = LVIF_STATE;
  change.uOldState = before;
  change.uNewState = after;
  change.lParam = item.param;
  if (SendNotify(hwnd, LVN_ITEMCHANGING, &change.hdr)) return false;
  index = IndexOfId(s, id, index);
  if (index < 0) return false;
  ListViewItem& current = ItemAt(s, index);
  before = current.state;
  after = (before & ~mask) | (state & mask);
  current.state = after;
  change = NMLISTVIEW{};
  change.iItem = index;
  change.uChanged = LVIF_STATE;
  change.uOldState = before;
  change.uNewState = after;
  change.lParam = current.param;
  SendNotify(hwnd, LVN_ITEMCHANGED, &change.hdr);
  return true;
}

std::vector<std::uint64_t> IdsWithState(const ListViewState& s, UINT bits, std::uint64_t except) {
  std::vector<std::uint64_t> ids;
  for (const auto& item : s.items)
    if ((item->state & bits) && item->id != except) ids.push_back(item->id);
  return ids;
}

// Sets an item's state as the control allows it: one focused item, and one selected
// item in a single-selection list.
bool SetItemState(HWND hwnd, ListViewState& s, int index, UINT state, UINT mask) {
  if (!ValidIndex(s, index)) return false;
  std::uint64_t id = ItemAt(s, index).id;
  UINT exclusive = 0;
  if (mask & state & LVIS_FOCUSED) exclusive |= LVIS_FOCUSED;
  if ((mask & state & LVIS_SELECTED) && HasStyle(hwnd, LVS_SINGLESEL)) exclusive |= LVIS_SELECTED;
  if (exclusive) {
    for (std::uint64_t other : IdsWithState(s, exclusive, id)) {
      int at = IndexOfId(s, other);
      if (at >= 0) ChangeItemState(hwnd, s, at, 0, exclusive);
    }
  }
  index = IndexOfId(s, id, index);
  return index >= 0 && ChangeItemState(hwnd, s, index, state, mask);
}

void SetAllItemsState(HWND hwnd, ListViewState& s, UINT state, UINT mask) {
  std::vector<std::uint64_t> ids;
  for (const auto& item : s.items) ids.push_back(item->id);
  for (std::uint64_t id : ids) {
    int at = IndexOfId(s, id);
    if (at >= 0) ChangeItemState(hwnd, s, at, state, mask);
  }
}

void DeselectAllBut(HWND hwnd, ListViewState& s, std::uint64_t keep) {
  for (std::uint64_t other : IdsWithState(s, LVIS_SELECTED, keep)) {
    int at = IndexOfId(s, other);
    if (at >= 0) ChangeItemState(hwnd, s, at, 0, LVIS_SELECTED);
  }
}

int FocusedIndex(const ListViewState& s) {
  for (int i = 0; i < Count(s); ++i)
    if (s.items[static_cast<std::size_t>(i)]->state & LVIS_FOCUSED) return i;
  return -1;
}

// ---- items ------------------------------------------------------------------------

void CancelEditOf(HWND hwnd, ListViewState& s, std::uint64_t id) {
  if (s.edit && (id == 0 || s.editItem == id)) EndLabelEdit(hwnd, false);
}

LRESULT InsertItem(HWND hwnd, ListViewState& s, const LVITEMW* request) {
  if (!request || request->iSubItem != 0) return -1;
  auto item = std::make_unique<ListViewItem>();
  item->id = s.nextId++;
  if (request->mask & LVIF_TEXT) {
    if (request->pszText == LPSTR_TEXTCALLBACKW)
      item->textCallback = true;
    else if (request->pszText)
      item->text = request->pszText;
  }
  if (request->mask & LVIF_IMAGE) item->image = request->iImage;
  if (request->mask & LVIF_PARAM) item->param = request->lParam;
  if (request->mask & LVIF_INDENT) item->indent = request->iIndent;
  UINT state = (request->mask & LVIF_STATE) ? (request->state & request->stateMask) : 0;
  int direction = SortDirection(hwnd);
  int index = direction ? SortedPosition(s, item->text, direction) : std::clamp(request->iItem, 0, Count(s));
  std::uint64_t id = item->id;
  s.items.insert(s.items.begin() + index, std::move(item));
  if (s.anchor >= index) ++s.anchor;
  if (state) SetItemState(hwnd, s, index, state, state);
  index = IndexOfId(s, id, index);
  if (index < 0) return -1;
  NMLISTVIEW inserted{};
  inserted.iItem = index;
  SendNotify(hwnd, LVN_INSERTITEM, &inserted.hdr);
  return IndexOfId(s, id, index);
}

bool DeleteItem(HWND hwnd, ListViewState& s, int index) {
  if (!ValidIndex(s, index)) return false;
  std::uint64_t id = ItemAt(s, index).id;
  CancelEditOf(hwnd, s, id);
  index = IndexOfId(s, id);
  if (index < 0) return true;
  NMLISTVIEW deleted{};
  deleted.iItem = index;
  deleted.lParam = ItemAt(s, index).param;
  SendNotify(hwnd, LVN_DELETEITEM, &deleted.hdr);
  index = IndexOfId(s, id);
  if (index < 0) return true;
  s.items.erase(s.items.begin() + index);
  if (s.anchor == index)
    s.anchor = -1;
  else if (s.anchor > index)
    --s.anchor;
  return true;
}

bool DeleteAllItems(HWND hwnd, ListViewState& s) {
  CancelEditOf(hwnd, s, 0);
  if (s.items.empty()) return true;
  NMLISTVIEW all{};
  all.iItem = -1;
  if (!SendNotify(hwnd, LVN_DELETEALLITEMS, &all.hdr)) {
    for (int i = Count(s) - 1; i >= 0; --i) {
      if (i >= Count(s)) continue;
      NMLISTVIEW deleted{};
      deleted.iItem = i;
      deleted.lParam = ItemAt(s, i).param;
      SendNotify(hwnd, LVN_DELETEITEM, &deleted.hdr);
    }
  }
  s.items.clear();
  s.anchor = -1;
  s.origin = POINT{0, 0};
  return true;
}

void SetSubItemText(ListViewItem& item, int subItem, const WCHAR* text) {
  std::u16string value = text && text != LPSTR_TEXTCALLBACKW ? std::u16string(text) : std::u16string();
  if (subItem == 0) {
    item.textCallback = text == LPSTR_TEXTCALLBACKW;
    item.text = std::move(value);
    return;
  }
  std::size_t slot = static_cast<std::size_t>(subItem - 1);
  if (item.subItems.size() <= slot) item.subItems.resize(slot + 1);
  item.subItems[slot] = std::move(value);
}

bool SetItemText(HWND hwnd, ListViewState& s, int index, int subItem, const WCHAR* text) {
  if (!ValidIndex(s, index) || subItem < 0) return false;
  SetSubItemText(ItemAt(s, index), subItem, text);
  if (subItem == 0) Resort(hwnd, s, index);
  return true;
}

bool SetItem(HWND hwnd, ListViewState& s, const LVITEMW* request) {
  if (!request || !ValidIndex(s, request->iItem) || request->iSubItem < 0) return false;
  int index = request->iItem;
  if (request->iSubItem > 0) {
    if (request->mask & LVIF_TEXT) SetSubItemText(ItemAt(s, index), request->iSubItem, request->pszText);
    return true;
  }
  ListViewItem& item = ItemAt(s, index);
  std::uint64_t id = item.id;
  if (request->mask & LVIF_IMAGE) item.image = request->iImage;
  if (request->mask & LVIF_PARAM) item.param = request->lParam;
  if (request->mask & LVIF_INDENT) item.indent = request->iIndent;
  if (request->mask & LVIF_TEXT) SetItemText(hwnd, s, index, 0, request->pszText);
  if (request->mask & LVIF_STATE) {
    index = IndexOfId(s, id);
    if (index >= 0) SetItemState(hwnd, s, index, request->state, request->stateMask);
  }
  return true;
}

bool GetItem(HWND hwnd, ListViewState& s, LVITEMW* request) {
  if (!request || !ValidIndex(s, request->iItem) || request->iSubItem < 0) return false;
  int index = request->iItem;
  if (request->mask & LVIF_TEXT) CopyText(ItemText(hwnd, s, index, request->iSubItem), request->pszText, request->cchTextMax);
  const ListViewItem& item = ItemAt(s, index);
  if (request->mask & LVIF_IMAGE) request->iImage = item.image;
  if (request->mask & LVIF_PARAM) request->lParam = item.param;
  if (request->mask & LVIF_STATE) request->state = item.state & request->stateMask;
  if (request->mask & LVIF_INDENT) request->iIndent = item.indent;
  return true;
}

int GetItemText(HWND hwnd, ListViewState& s, int index, LVITEMW* request) {
  if (!request || !ValidIndex(s, index) || request->iSubItem < 0) return 0;
  return CopyText(ItemText(hwnd, s, index, request->iSubItem), request->pszText, request->cchTextMax);
}

// ---- searching ---------------------------------------------------------------------

// The neighbour of an item in a direction of the current arrangement, or -1.
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

int GetNextItem(HWND hwnd, ListViewState& s, int start, UINT flags) {
  UINT required = flags & (LVNI_FOCUSED | LVNI_SELECTED | LVNI_CUT | LVNI_DROPHILITED);
  UINT direction = flags & (LVNI_ABOVE | LVNI_BELOW | LVNI_TOLEFT | LVNI_TORIGHT);
  auto matches = [&](int i) { return (ItemAt(s, i).state & required) == required; };
  if (direction) {
    if (!ValidIndex(s, start)) return -1;
    for (int i = Neighbour(hwnd, s, start, direction); i >= 0; i = Neighbour(hwnd, s, i, direction))
      if (matches(i)) return i;
    return -1;
  }
  for (int i = std::max(start + 1, 0); i < Count(s); ++i)
    if (matches(i)) return i;
  return -1;
}

int FindItem(HWND hwnd, ListViewState& s, int start, const LVFINDINFOW* find) {
  if (!find) return -1;
  auto matches = [&](int i) {
    if (find->flags & LVFI_PARAM) return ItemAt(s, i).param == find->lParam;
    if (!(find->flags & (LVFI_STRING | LVFI_PARTIAL)) || !find->psz) return false;
    std::u16string text = ItemText(hwnd, s, i, 0);
    if (find->flags & LVFI_PARTIAL) return StartsWithIgnoringCase(text, find->psz);
    return _wcsicmp(text.c_str(), find->psz) == 0;
  };
  int first = std::max(start + 1, 0);
  for (int i = first; i < Count(s); ++i)
    if (matches(i)) return i;
  if (find->flags & LVFI_WRAP)
    for (int i = 0; i < std::min(first, Count(s)); ++i)
      if (matches(i)) return i;
  return -1;
}

// ---- columns -----------------------------------------------------------------------

int TextWidth(const std::u16string& text) { return static_cast<int>(text.size()) * 8 + 12; }

bool SetColumnWidth(HWND hwnd, ListViewState& s, int column, int width) {
  int view = ViewOf(hwnd);
  if (view == LVS_LIST || view == LVS_REPORT) {
    bool list = view == LVS_LIST;
    if (list ? column != 0 : (column < 0 || column >= static_cast<int>(s.columns.size()))) return false;
    if (width == LVSCW_AUTOSIZE || width == LVSCW_AUTOSIZE_USEHEADER) {
      int subItem = list ? 0 : s.columns[static_cast<std::size_t>(column)].subItem;
      int widest = (width == LVSCW_AUTOSIZE_USEHEADER && !list) ? TextWidth(s.columns[static_cast<std::size_t>(column)].text) : 0;
      for (int i = 0; i < Count(s); ++i) widest = std::max(widest, TextWidth(ItemText(hwnd, s, i, subItem)));
      width = widest + (subItem == 0 ? IconWidth(s, view) : 0);
    }
    if (list)
      s.listColumnWidth = std::max(width, 1);
    else
      s.columns[static_cast<std::size_t>(column)].width = std::max(width, 0);
    return true;
  }
  return false;
}

int GetColumnWidth(HWND hwnd, const ListViewState& s, int column) {
  int view = ViewOf(hwnd);
  if (view == LVS_LIST) return column == 0 ? s.listColumnWidth : 0;
  if (column < 0 || column >= static_cast<int>(s.columns.size())) return 0;
  return s.columns[static_cast<std::size_t>(column)].width;
}

void ApplyColumn(ListViewColumn& column, const LVCOLUMNW& request) {
  if (request.mask & LVCF_FMT) column.format = request.fmt;
  if (request.mask & LVCF_WIDTH) column.width = std::max(request.cx, 0);
  if ((request.mask & LVCF_TEXT) && request.pszText) column.text = request.pszText;
  if (request.mask & LVCF_SUBITEM) column.subItem = request.iSubItem;
  if (request.mask & LVCF_IMAGE) column.image = request.iImage;
  if (request.mask & LVCF_ORDER) column.order = request.iOrder;
}

LRESULT InsertColumn(ListViewState& s, int index, const LVCOLUMNW* request) {
  if (!request || index < 0) return -1;
  index = std::min(index, static_cast<int>(s.columns.size()));
  ListViewColumn column;
  column.subItem = index;
  column.order = index;
  ApplyColumn(column, *request);
  if (index == 0) column.format &= ~LVCFMT_JUSTIFYMASK;  // the first column is always left-aligned
  s.columns.insert(s.columns.begin() + index, std::move(column));
  return index;
}

bool GetColumn(const ListViewState& s, int index, LVCOLUMNW* request) {
  if (!request || index < 0 || index >= static_cast<int>(s.columns.size())) return false;
  const ListViewColumn& column = s.columns[static_cast<std::size_t>(index)];
  if (request->mask & LVCF_FMT) request->fmt = column.format;
  if (request->mask & LVCF_WIDTH) request->cx = column.width;
  if (request->mask & LVCF_TEXT) CopyText(column.text, request->pszText, request->cchTextMax);
  if (request->mask & LVCF_SUBITEM) request->iSubItem = column.subItem;
  if (request->mask & LVCF_IMAGE) request->iImage = column.image;
  if (request->mask & LVCF_ORDER) request->iOrder = column.order;
  return true;
}

// ---- sorting by the program's comparison -----------------------------------------

bool SortItems(HWND hwnd, ListViewState& s, LPARAM sortParam, PFNLVCOMPARE compare) {
  if (!compare) return false;
  CancelEditOf(hwnd, s, 0);
  auto items = std::move(s.items);
  s.items.clear();
  std::stable_sort(items.begin(), items.end(),
                   [&](const auto& a, const auto& b) { return compare(a->param, b->param, sortParam) < 0; });
  // Items the comparison inserted meanwhile stay after the sorted ones.
  for (auto& added : s.items) items.push_back(std::move(added));
  s.items = std::move(items);
  return true;
}

// ---- image lists -------------------------------------------------------------------

LRESULT SetImageList(ListViewState& s, WPARAM which, HIMAGELIST list) {
  if (which > LVSIL_STATE) return 0;
  HIMAGELIST previous = s.imageLists[which];
  s.imageLists[which] = list;
  return reinterpret_cast<LRESULT>(previous);
}

// Without LVS_SHAREIMAGELISTS the list view owns its image lists and destroys them
// with itself; an image list already destroyed by the program is the program's fault.
void DestroyOwnedImageLists(HWND hwnd, ListViewState& s) {
  if (HasStyle(hwnd, LVS_SHAREIMAGELISTS)) return;
  std::set<HIMAGELIST> done;
  for (HIMAGELIST list : s.imageLists)
    if (list && done.insert(list).second)
      ImageLists::get().destroy(list, "ImageList_Destroy by a list view without LVS_SHAREIMAGELISTS");
  std::fill(std::begin(s.imageLists), std::end(s.imageLists), nullptr);
}

// ---- input -------------------------------------------------------------------------

void NotifyClick(HWND hwnd, ListViewState& s, UINT code, int index, POINT point, WPARAM keys) {
  NMITEMACTIVATE click{};
  click.iItem = index;
  click.ptAction = point;
  if (ValidIndex(s, index)) click.lParam = ItemAt(s, index).param;
  if (keys & MK_CONTROL) click.uKeyFlags |= LVKF_CONTROL;
  if (keys & MK_SHIFT) click.uKeyFlags |= LVKF_SHIFT;
  SendNotify(hwnd, code, &click.hdr);
}

void SelectOnly(HWND hwnd, ListViewState& s, int index) {
  std::uint64_t id = ItemAt(s, index).id;
  DeselectAllBut(hwnd, s, id);
  index = IndexOfId(s, id);
  if (index >= 0) SetItemState(hwnd, s, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

// A tap selects the item under it. In a multi-selection list Control toggles the
// tapped item and keeps the others; Shift selects the range from the last anchor.
void TapSelect(HWND hwnd, ListViewState& s, int index, WPARAM keys) {
  bool multi = !HasStyle(hwnd, LVS_SINGLESEL);
  if (index < 0) {
    if (!(multi && (keys & (MK_CONTROL | MK_SHIFT)))) DeselectAllBut(hwnd, s, 0);
    return;
  }
  std::uint64_t id = ItemAt(s, index).id;
  if (multi && (keys & MK_CONTROL)) {
    UINT selected = ItemAt(s, index).state & LVIS_SELECTED;
    SetItemState(hwnd, s, index, (selected ^ LVIS_SELECTED) | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    s.anchor = IndexOfId(s, id);
    return;
  }
  if (multi && (keys & MK_SHIFT) && ValidIndex(s, s.anchor)) {
    int low = std::min(s.anchor, index), high = std::max(s.anchor, index);
    std::vector<std::uint64_t> range, others;
    for (int i = 0; i < Count(s); ++i) (i >= low && i <= high ? range : others).push_back(ItemAt(s, i).id);
    for (std::uint64_t other : others)
      if (int at = IndexOfId(s, other); at >= 0) ChangeItemState(hwnd, s, at, 0, LVIS_SELECTED);
    for (std::uint64_t member : range)
      if (int at = IndexOfId(s, member); at >= 0) ChangeItemState(hwnd, s, at, LVIS_SELECTED, LVIS_SELECTED);
    if (int at = IndexOfId(s, id); at >= 0) SetItemState(hwnd, s, at, LVIS_FOCUSED, LVIS_FOCUSED);
    return;
  }
  SelectOnly(hwnd, s, index);
  s.anchor = IndexOfId(s, id);
}

POINT PointOf(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

// ---- renaming by a tap on the selected item ----------------------------------------
//
// A tap on the label of the item that already has the selection and the focus, in
// a list with LVS_EDITLABELS that already had the keyboard focus, starts that
// item's name edit once the double-tap time has passed without a second tap; a
// second tap within that time makes a double tap instead. The first tap on a list
// only focuses it, and a tap with Control held, a hold, or a tap beside the label
// never edits.

constexpr UINT_PTR kTapEditTimer = 0x4C56;

// The item a tap going down at `point` may rename, or 0.
std::uint64_t TapEditCandidate(HWND hwnd, ListViewState& s, POINT point, WPARAM keys, bool hadFocus) {
  if (!hadFocus || !HasStyle(hwnd, LVS_EDITLABELS) || (keys & (MK_CONTROL | MK_SHIFT)) || Input::holding()) return 0;
  int index = HitTest(hwnd, s, point, nullptr);
  if (index < 0 || !Contains(ItemRect(hwnd, s, index, LVIR_LABEL), point)) return 0;
  const UINT both = LVIS_SELECTED | LVIS_FOCUSED;
  return (ItemAt(s, index).state & both) == both ? ItemAt(s, index).id : 0;
}

void CancelTapEdit(HWND hwnd, ListViewState& s) {
  s.tapEditItem = 0;
  if (s.tapEditPending) KillTimer(hwnd, kTapEditTimer);
  s.tapEditPending = 0;
}

// The tap comes up: when it went down and up on the candidate's label, the edit
// waits for the double-tap time.
void ArmTapEdit(HWND hwnd, ListViewState& s, POINT point, bool held) {
  std::uint64_t id = s.tapEditItem;
  s.tapEditItem = 0;
  if (!id || held) return;
  int index = HitTest(hwnd, s, point, nullptr);
  if (index < 0 || ItemAt(s, index).id != id || !Contains(ItemRect(hwnd, s, index, LVIR_LABEL), point)) return;
  s.tapEditPending = id;
  SetTimer(hwnd, kTapEditTimer, Input::kDoubleTapMs, nullptr);
}

// No second tap came: the edit starts as LVM_EDITLABELW starts one, with
// LVN_BEGINLABELEDITW, if the item is still there, focused, and the list still has
// the keyboard focus.
void StartTapEdit(HWND hwnd, ListViewState& s) {
  KillTimer(hwnd, kTapEditTimer);
  std::uint64_t id = s.tapEditPending;
  s.tapEditPending = 0;
  int index = id ? IndexOfId(s, id) : -1;
  if (index < 0 || s.edit || GetFocus() != hwnd || !(ItemAt(s, index).state & LVIS_FOCUSED)) return;
  BeginLabelEdit(hwnd, index);
}

// ---- taps --------------------------------------------------------------------------

void OnButtonDown(HWND hwnd, ListViewState& s, WPARAM keys, POINT point) {
  CancelTapEdit(hwnd, s);
  bool hadFocus = GetFocus() == hwnd;
  std::uint64_t candidate = TapEditCandidate(hwnd, s, point, keys, hadFocus);
  if (!hadFocus) SetFocus(hwnd);  // also ends a label edit in progress
  int index = HitTest(hwnd, s, point, nullptr);
  TapSelect(hwnd, s, index, keys);
  s.tapEditItem = candidate;
  s.buttonDown = true;
  s.buttonDownTime = GetMessageTime();
}

// A release after the device's hold time is the tap-and-hold gesture.
void OnButtonUp(HWND hwnd, ListViewState& s, WPARAM keys, POINT point) {
  if (!s.buttonDown) return;
  s.buttonDown = false;
  bool held = static_cast<DWORD>(GetMessageTime() - s.buttonDownTime) >= Input::kHoldMs;
  NotifyClick(hwnd, s, held ? NM_RCLICK : NM_CLICK, HitTest(hwnd, s, point, nullptr), point, keys);
  ArmTapEdit(hwnd, s, point, held);
}

void OnDoubleTap(HWND hwnd, ListViewState& s, WPARAM keys, POINT point) {
  CancelTapEdit(hwnd, s);
  s.buttonDown = false;
  int index = HitTest(hwnd, s, point, nullptr);
  NotifyClick(hwnd, s, NM_DBLCLK, index, point, keys);
  if (ValidIndex(s, index)) NotifyClick(hwnd, s, LVN_ITEMACTIVATE, index, point, keys);
}

void MoveFocus(HWND hwnd, ListViewState& s, int index, bool extend) {
  if (!ValidIndex(s, index)) return;
  if (extend)
    SetItemState(hwnd, s, index, LVIS_FOCUSED, LVIS_FOCUSED);
  else
    SelectOnly(hwnd, s, index);
  if (int at = FocusedIndex(s); at >= 0) {
    s.anchor = at;
    EnsureVisible(hwnd, s, at, false);
  }
}

void OnKeyDown(HWND hwnd, ListViewState& s, WPARAM key) {
  NMLVKEYDOWN down{};
  down.wVKey = static_cast<WORD>(key);
  SendNotify(hwnd, LVN_KEYDOWN, &down.hdr);
  int focused = FocusedIndex(s);
  bool control = GetKeyState(VK_CONTROL) < 0;
  switch (key) {
    case VK_UP:
      MoveFocus(hwnd, s, focused < 0 ? 0 : Neighbour(hwnd, s, focused, LVNI_ABOVE), control);
      break;
    case VK_DOWN:
      MoveFocus(hwnd, s, focused < 0 ? 0 : Neighbour(hwnd, s, focused, LVNI_BELOW), control);
      break;
    case VK_LEFT:
      MoveFocus(hwnd, s, focused < 0 ? 0 : Neighbour(hwnd, s, focused, LVNI_TOLEFT), control);
      break;
    case VK_RIGHT:
      MoveFocus(hwnd, s, focused < 0 ? 0 : Neighbour(hwnd, s, focused, LVNI_TORIGHT), control);
      break;
    case VK_HOME:
      MoveFocus(hwnd, s, 0, control);
      break;
    case VK_END:
      MoveFocus(hwnd, s, Count(s) - 1, control);
      break;
    case VK_SPACE:
      if (control && ValidIndex(s, focused) && !HasStyle(hwnd, LVS_SINGLESEL))
        SetItemState(hwnd, s, focused, (ItemAt(s, focused).state & LVIS_SELECTED) ^ LVIS_SELECTED, LVIS_SELECTED);
      break;
    case VK_RETURN: {
      NMHDR header{};
      SendNotify(hwnd, NM_RETURN, &header);
      break;
    }
    case VK_F2:
      if (HasStyle(hwnd, LVS_EDITLABELS) && ValidIndex(s, focused)) BeginLabelEdit(hwnd, focused);
      break;
    default:
      break;
  }
}

LRESULT Dispatch(HWND hwnd, ListViewState& s, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case LVM_GETITEMCOUNT:
      return Count(s);
    case LVM_INSERTITEMW:
      return InsertItem(hwnd, s, reinterpret_cast<const LVITEMW*>(lParam));
    case LVM_SETITEMW:
      return SetItem(hwnd, s, reinterpret_cast<const LVITEMW*>(lParam));
    case LVM_GETITEMW:
      return GetItem(hwnd, s, reinterpret_cast<LVITEMW*>(lParam));
    case LVM_GETITEMTEXTW:
      return GetItemText(hwnd, s, static_cast<int>(wParam), reinterpret_cast<LVITEMW*>(lParam));
    case LVM_SETITEMTEXTW: {
      auto* request = reinterpret_cast<const LVITEMW*>(lParam);
      return request && SetItemText(hwnd, s, static_cast<int>(wParam), request->iSubItem, request->pszText);
    }
    case LVM_DELETEITEM:
      return DeleteItem(hwnd, s, static_cast<int>(wParam));
    case LVM_DELETEALLITEMS:
      return DeleteAllItems(hwnd, s);
    case LVM_GETNEXTITEM:
      return GetNextItem(hwnd, s, static_cast<int>(wParam), LOWORD(lParam));
    case LVM_FINDITEMW:
      return FindItem(hwnd, s, static_cast<int>(wParam), reinterpret_cast<const LVFINDINFOW*>(lParam));
    case LVM_ENSUREVISIBLE:
      return EnsureVisible(hwnd, s, static_cast<int>(wParam), lParam != 0);
    case LVM_SETITEMSTATE: {
      auto* request = reinterpret_cast<const LVITEMW*>(lParam);
      if (!request) return FALSE;
      int index = static_cast<int>(wParam);
      if (index == -1) {
        SetAllItemsState(hwnd, s, request->state, request->stateMask);
        return TRUE;
      }
      if (!ValidIndex(s, index)) return FALSE;
      SetItemState(hwnd, s, index, request->state, request->stateMask);
      return TRUE;
    }
    case LVM_GETITEMSTATE: {
      int index = static_cast<int>(wParam);
      return ValidIndex(s, index) ? (ItemAt(s, index).state & static_cast<UINT>(lParam)) : 0;
    }
    case LVM_GETSELECTEDCOUNT:
      return std::count_if(s.items.begin(), s.items.end(), [](const auto& item) { return item->state & LVIS_SELECTED; });
    case LVM_EDITLABELW:
      if (static_cast<int>(wParam) == -1) {
        CancelEditOf(hwnd, s, 0);
        return 0;
      }
      return reinterpret_cast<LRESULT>(BeginLabelEdit(hwnd, static_cast<int>(wParam)));
    case LVM_GETEDITCONTROL:
      return reinterpret_cast<LRESULT>(s.edit);
    case LVM_SETIMAGELIST:
      return SetImageList(s, wParam, reinterpret_cast<HIMAGELIST>(lParam));
    case LVM_GETIMAGELIST:
      return wParam <= LVSIL_STATE ? reinterpret_cast<LRESULT>(s.imageLists[wParam]) : 0;
    case LVM_GETEXTENDEDLISTVIEWSTYLE:
      return s.extendedStyle;
    case LVM_SETEXTENDEDLISTVIEWSTYLE: {
      DWORD previous = s.extendedStyle;
      DWORD mask = wParam ? static_cast<DWORD>(wParam) : 0xFFFFFFFFu;
      s.extendedStyle = (previous & ~mask) | (static_cast<DWORD>(lParam) & mask);
      return previous;
    }
    case LVM_INSERTCOLUMNW:
      return InsertColumn(s, static_cast<int>(wParam), reinterpret_cast<const LVCOLUMNW*>(lParam));
    case LVM_GETCOLUMNW:
      return GetColumn(s, static_cast<int>(wParam), reinterpret_cast<LVCOLUMNW*>(lParam));
    case LVM_SETCOLUMNW: {
      int index = static_cast<int>(wParam);
      auto* request = reinterpret_cast<const LVCOLUMNW*>(lParam);
      if (!request || index < 0 || index >= static_cast<int>(s.columns.size())) return FALSE;
      ApplyColumn(s.columns[static_cast<std::size_t>(index)], *request);
      return TRUE;
    }
    case LVM_DELETECOLUMN: {
      int index = static_cast<int>(wParam);
      if (index < 0 || index >= static_cast<int>(s.columns.size())) return FALSE;
      s.columns.erase(s.columns.begin() + index);
      return TRUE;
    }
    case LVM_SETCOLUMNWIDTH:
      return SetColumnWidth(hwnd, s, static_cast<int>(wParam), static_cast<short>(LOWORD(lParam)));
    case LVM_GETCOLUMNWIDTH:
      return GetColumnWidth(hwnd, s, static_cast<int>(wParam));
    case LVM_GETITEMRECT: {
      auto* rect = reinterpret_cast<RECT*>(lParam);
      int index = static_cast<int>(wParam);
      if (!rect || !ValidIndex(s, index)) return FALSE;
      *rect = ItemRect(hwnd, s, index, static_cast<int>(rect->left));
      return TRUE;
    }
    case LVM_HITTEST: {
      auto* info = reinterpret_cast<LVHITTESTINFO*>(lParam);
      if (!info) return -1;
      info->iItem = HitTest(hwnd, s, info->pt, &info->flags);
      info->iSubItem = 0;
      return info->iItem;
    }
    case LVM_GETTOPINDEX: {
      Grid grid = GridOf(hwnd, s);
      if (grid.view == LVS_REPORT) return std::min<LONG>(s.origin.y / grid.cellHeight, std::max(Count(s) - 1, 0));
      if (grid.view == LVS_LIST) return std::min<LONG>(s.origin.x / grid.cellWidth * grid.perLine, std::max(Count(s) - 1, 0));
      return 0;
    }
    case LVM_GETCOUNTPERPAGE: {
      Grid grid = GridOf(hwnd, s);
      RECT client = ClientRect(hwnd);
      int rows = std::max(static_cast<int>(client.bottom - grid.top) / grid.cellHeight, 0);
      if (grid.view == LVS_REPORT) return rows;
      if (grid.view == LVS_LIST) return grid.perLine * std::max(static_cast<int>(client.right) / grid.cellWidth, 1);
      return Count(s);
    }
    case LVM_SORTITEMS:
      return SortItems(hwnd, s, static_cast<LPARAM>(wParam), reinterpret_cast<PFNLVCOMPARE>(lParam));
    case LVM_ARRANGE:
      return TRUE;
    case WM_LBUTTONDOWN:
      OnButtonDown(hwnd, s, wParam, PointOf(lParam));
      return 0;
    case WM_LBUTTONUP:
      OnButtonUp(hwnd, s, wParam, PointOf(lParam));
      return 0;
    case WM_LBUTTONDBLCLK:
      OnDoubleTap(hwnd, s, wParam, PointOf(lParam));
      return 0;
    case WM_TIMER:
      if (wParam != kTapEditTimer) return DefWindowProcW(hwnd, message, wParam, lParam);
      StartTapEdit(hwnd, s);
      return 0;
    case WM_RBUTTONDOWN: {
      CancelTapEdit(hwnd, s);
      POINT point = PointOf(lParam);
      if (GetFocus() != hwnd) SetFocus(hwnd);
      int index = HitTest(hwnd, s, point, nullptr);
      if (index >= 0 && !(ItemAt(s, index).state & LVIS_SELECTED)) TapSelect(hwnd, s, index, 0);
      NotifyClick(hwnd, s, NM_RCLICK, HitTest(hwnd, s, point, nullptr), point, wParam);
      return 0;
    }
    case WM_KEYDOWN:
      OnKeyDown(hwnd, s, wParam);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS: {
      NMHDR header{};
      SendNotify(hwnd, NM_SETFOCUS, &header);
      return 0;
    }
    case WM_KILLFOCUS: {
      CancelTapEdit(hwnd, s);
      NMHDR header{};
      SendNotify(hwnd, NM_KILLFOCUS, &header);
      return 0;
    }
    case WM_DESTROY:
      // A label editor goes down with its parent as any child window does.
      s.destroying = true;
      s.edit = nullptr;
      DestroyOwnedImageLists(hwnd, s);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

std::shared_ptr<ListViewState> FindListView(HWND hwnd) { return Table::get().find(hwnd); }

LRESULT CALLBACK ListViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return Table::get().route(hwnd, message, wParam, lParam, Dispatch);
}

// ---- label editing, shared with the edit control's hook ---------------------------

HWND BeginLabelEdit(HWND hwnd, int index) {
  auto state = FindListView(hwnd);
  if (!state || state->destroying) return nullptr;
  ListViewState& s = *state;
  if (s.edit) EndLabelEdit(hwnd, true);
  if (!ValidIndex(s, index)) return nullptr;
  if (GetFocus() != hwnd) SetFocus(hwnd);
  std::uint64_t id = ItemAt(s, index).id;
  std::u16string text = ItemText(hwnd, s, index, 0);
  index = IndexOfId(s, id);
  if (index < 0) return nullptr;
  RECT label = ItemRect(hwnd, s, index, LVIR_LABEL);
  HWND edit = CreateLabelEditor(hwnd, text, label);
  if (!edit) return nullptr;
  s.edit = edit;
  s.editItem = id;

  std::vector<WCHAR> buffer(text.begin(), text.end());
  buffer.push_back(0);
  NMLVDISPINFOW begin{};
  begin.item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_STATE;
  begin.item.iItem = index;
  begin.item.state = ItemAt(s, index).state;
  begin.item.lParam = ItemAt(s, index).param;
  begin.item.pszText = buffer.data();
  begin.item.cchTextMax = static_cast<int>(buffer.size());
  bool refused = SendNotify(hwnd, LVN_BEGINLABELEDITW, &begin.hdr) != 0;
  if (s.edit != edit) return nullptr;  // ended while the parent looked at it
  if (refused || IndexOfId(s, id) < 0) {
    s.edit = nullptr;
    s.editItem = 0;
    DestroyWindow(edit);
    return nullptr;
  }
  ShowLabelEditor(edit);
  return edit;
}

void EndLabelEdit(HWND hwnd, bool commit) {
  auto state = FindListView(hwnd);
  if (!state || !state->edit || state->editEnding) return;
  ListViewState& s = *state;
  s.editEnding = true;
  HWND edit = s.edit;
  std::uint64_t id = s.editItem;
  std::vector<WCHAR> text;
  if (commit && !s.destroying) {
    int length = GetWindowTextLengthW(edit);
    text.assign(static_cast<std::size_t>(std::max(length, 0)) + 1, 0);
    GetWindowTextW(edit, text.data(), static_cast<int>(text.size()));
  }
  // The control no longer edits while the parent hears of the end: a parent that
  // rebuilds the list from the notification finds nothing to cancel.
  s.edit = nullptr;
  s.editItem = 0;
  ShowWindow(edit, SW_HIDE);
  if (GetFocus() == edit && !s.destroying) SetFocus(hwnd);
  int index = IndexOfId(s, id);
  if (!s.destroying && index >= 0) {
    NMLVDISPINFOW end{};
    end.item.mask = LVIF_TEXT | LVIF_PARAM;
    end.item.iItem = index;
    end.item.lParam = ItemAt(s, index).param;
    end.item.pszText = commit ? text.data() : nullptr;
    end.item.cchTextMax = commit ? static_cast<int>(text.size()) : 0;
    bool accepted = SendNotify(hwnd, LVN_ENDLABELEDITW, &end.hdr) != 0;
    // The parent may have deleted or moved the item meanwhile: find it by identity.
    index = IndexOfId(s, id);
    if (accepted && commit && index >= 0) SetItemText(hwnd, s, index, 0, text.data());
  }
  s.editEnding = false;
  DestroyWindow(edit);
}

}  // namespace sim
