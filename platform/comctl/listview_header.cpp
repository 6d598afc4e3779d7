// The list view's column header: a header control of its own, made with the list
// view as its child, shown along the top of the report view (not with
// LVS_NOCOLUMNHEADER) and hidden in the other views. Its items mirror the columns:
// every change the program makes to a column goes to the header too, and the order
// the header shows them in is the columns' order. A tap on one of its items (it
// behaves as buttons unless LVS_NOSORTHEADER) reaches the list view's parent as
// LVN_COLUMNCLICK.
#include <vector>

#include "comctl/header.h"
#include "comctl/listview_internal.h"
#include "comctl/notify.h"

namespace sim::listview {

namespace {

constexpr UINT kHeaderParts = HDI_WIDTH | HDI_TEXT | HDI_FORMAT | HDI_ORDER;

LONG HeaderStyle(HWND hwnd) { return WS_CHILD | HDS_HORZ | (HasStyle(hwnd, LVS_NOSORTHEADER) ? 0 : HDS_BUTTONS); }

bool HeaderShown(HWND hwnd) { return ViewOf(hwnd) == LVS_REPORT && !HasStyle(hwnd, LVS_NOCOLUMNHEADER); }

// A column as a header item: its title, width and alignment. The title always
// shows, whatever else the column's format asks for.
HDITEMW HeaderItemOf(ListViewColumn& column, UINT mask) {
  HDITEMW item{};
  item.mask = mask;
  item.cxy = column.width;
  item.pszText = column.text.data();
  item.fmt = (column.format & HDF_JUSTIFYMASK) | HDF_STRING;
  item.iOrder = column.order;
  return item;
}

// What the header shows changed under the program's hand (HDM_SETITEMW sent to the
// header itself): the column follows.
void TakeFromHeader(HWND hwnd, ListViewState& s, int index, UINT mask) {
  if (index < 0 || index >= static_cast<int>(s.columns.size())) return;
  WCHAR text[MAX_PATH] = {};
  HDITEMW item{};
  item.mask = mask & kHeaderParts;
  item.pszText = text;
  item.cchTextMax = MAX_PATH;
  if (!Header_GetItem(s.header, index, &item)) return;
  ListViewColumn& column = s.columns[static_cast<std::size_t>(index)];
  if (item.mask & HDI_WIDTH) column.width = item.cxy;
  if (item.mask & HDI_TEXT) column.text = text;
  if (item.mask & HDI_FORMAT) column.format = (column.format & ~LVCFMT_JUSTIFYMASK) | (item.fmt & HDF_JUSTIFYMASK);
  if (item.mask & HDI_ORDER) ReadHeaderOrder(s);
  InvalidateRect(hwnd, nullptr, TRUE);
}

void NotifyColumnClick(HWND hwnd, int column) {
  NMLISTVIEW click{};
  click.iItem = -1;
  click.iSubItem = column;
  SendNotify(hwnd, LVN_COLUMNCLICK, &click.hdr);
}

// The header's own window position in the list view's client area.
RECT PlacedRect(HWND header, HWND hwnd) {
  RECT rect{};
  GetWindowRect(header, &rect);
  MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

}  // namespace

bool CreateHeader(HWND hwnd, ListViewState& s) {
  auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongW(hwnd, GWL_HINSTANCE));
  s.header = CreateWindowExW(0, WC_HEADERW, u"", HeaderStyle(hwnd), 0, 0, 0, 0, hwnd, nullptr, instance, nullptr);
  if (!s.header) return false;
  PlaceHeader(hwnd, s);
  return true;
}

// Along the top of the client area, moved left as far as the view is scrolled
// sideways, where HDM_LAYOUT puts it; the style follows LVS_NOSORTHEADER.
void PlaceHeader(HWND hwnd, ListViewState& s) {
  if (!s.header || !IsWindow(s.header)) return;
  const LONG style = GetWindowLongW(s.header, GWL_STYLE);
  const LONG wanted = (style & ~HDS_BUTTONS) | (HeaderStyle(hwnd) & HDS_BUTTONS);
  if (wanted != style) SetWindowLongW(s.header, GWL_STYLE, wanted);
  const bool visible = IsWindowVisible(s.header) != FALSE;
  if (!HeaderShown(hwnd)) {
    if (visible) ShowWindow(s.header, SW_HIDE);
    return;
  }
  RECT client{};
  GetClientRect(hwnd, &client);
  RECT area{-s.origin.x, 0, client.right, client.bottom};
  WINDOWPOS place{};
  HDLAYOUT layout{&area, &place};
  if (!Header_Layout(s.header, &layout)) return;
  const RECT now = PlacedRect(s.header, hwnd);
  if (visible && now.left == place.x && now.top == place.y && now.right - now.left == place.cx &&
      now.bottom - now.top == place.cy)
    return;
  SetWindowPos(s.header, place.hwndInsertAfter, place.x, place.y, place.cx, place.cy, place.flags | SWP_SHOWWINDOW);
}

void ReadHeaderOrder(ListViewState& s) {
  const int count = static_cast<int>(s.columns.size());
  std::vector<int> order(static_cast<std::size_t>(count));
  if (!s.header || !Header_GetOrderArray(s.header, count, order.data())) return;
  for (int position = 0; position < count; ++position)
    s.columns[static_cast<std::size_t>(order[static_cast<std::size_t>(position)])].order = position;
}

void HeaderInsertColumn(ListViewState& s, int index, bool ordered) {
  if (!s.header) return;
  s.syncingHeader = true;
  HDITEMW item = HeaderItemOf(s.columns[static_cast<std::size_t>(index)], kHeaderParts & ~(ordered ? 0 : HDI_ORDER));
  Header_InsertItem(s.header, index, &item);
  s.syncingHeader = false;
  ReadHeaderOrder(s);
}

void HeaderDeleteColumn(ListViewState& s, int index) {
  if (!s.header) return;
  Header_DeleteItem(s.header, index);
  ReadHeaderOrder(s);
}

void HeaderSetColumn(ListViewState& s, int index, UINT parts) {
  if (!s.header) return;
  s.syncingHeader = true;
  HDITEMW item = HeaderItemOf(s.columns[static_cast<std::size_t>(index)], parts & kHeaderParts);
  Header_SetItem(s.header, index, &item);
  s.syncingHeader = false;
  if (parts & HDI_ORDER) ReadHeaderOrder(s);
}

void HeaderSetOrder(ListViewState& s) {
  if (!s.header) return;
  std::vector<int> order = ColumnsInDisplayOrder(s);
  Header_SetOrderArray(s.header, static_cast<int>(order.size()), order.data());
}

void OnChildGone(ListViewState& s, WPARAM event, HWND child) {
  if (LOWORD(event) == WM_DESTROY && child && child == s.header) s.header = nullptr;
}

LRESULT OnNotify(HWND hwnd, ListViewState& s, const NMHDR* note) {
  if (!note || !s.header || note->hwndFrom != s.header) return 0;
  const auto* header = reinterpret_cast<const NMHEADERW*>(note);
  switch (note->code) {
    case HDN_ITEMCLICKW:
      NotifyColumnClick(hwnd, header->iItem);
      return 0;
    case HDN_ITEMCHANGEDW:
      if (!s.syncingHeader && header->pItem) TakeFromHeader(hwnd, s, header->iItem, header->pItem->mask);
      return 0;
    default:
      return 0;
  }
}

}  // namespace sim::listview
