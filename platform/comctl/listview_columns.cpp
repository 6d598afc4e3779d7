// The list view's columns (report view; the list view's one column width), its image
// lists and its extended styles.
#include <algorithm>
#include <set>

#include "comctl/imagelist.h"
#include "comctl/listview_internal.h"
#include "comctl/notify.h"
#include "user/draw.h"

namespace sim::listview {

namespace {

// As wide as the text is drawn, with a margin each side.
int TextWidth(const std::u16string& text) { return SystemTextWidth(text, DT_SINGLELINE | DT_NOPREFIX) + Scaled(12); }

bool ValidColumn(const ListViewState& s, int index) { return index >= 0 && index < static_cast<int>(s.columns.size()); }

void ApplyColumn(ListViewColumn& column, const LVCOLUMNW& request) {
  if (request.mask & LVCF_FMT) column.format = request.fmt;
  if (request.mask & LVCF_WIDTH) column.width = std::max(request.cx, 0);
  if ((request.mask & LVCF_TEXT) && request.pszText) column.text = request.pszText;
  if (request.mask & LVCF_SUBITEM) column.subItem = request.iSubItem;
  if (request.mask & LVCF_IMAGE) column.image = request.iImage;
  if (request.mask & LVCF_ORDER) column.order = request.iOrder;
}

// The parts of the header's item that a column change touches.
UINT HeaderParts(UINT columnMask) {
  UINT parts = 0;
  if (columnMask & LVCF_FMT) parts |= HDI_FORMAT;
  if (columnMask & LVCF_WIDTH) parts |= HDI_WIDTH;
  if (columnMask & LVCF_TEXT) parts |= HDI_TEXT;
  if (columnMask & LVCF_ORDER) parts |= HDI_ORDER;
  return parts;
}

// LVSCW_AUTOSIZE fits the widest text of the column; LVSCW_AUTOSIZE_USEHEADER also
// its header's in the report view.
int AutoWidth(HWND hwnd, ListViewState& s, int column, bool list, bool useHeader) {
  int subItem = list ? 0 : s.columns[static_cast<std::size_t>(column)].subItem;
  int widest = (useHeader && !list) ? TextWidth(s.columns[static_cast<std::size_t>(column)].text) : 0;
  for (int i = 0; i < Count(s); ++i) widest = std::max(widest, TextWidth(ItemText(hwnd, s, i, subItem)));
  return widest + (subItem == 0 ? IconWidth(s, ViewOf(hwnd)) : 0);
}

}  // namespace

LRESULT InsertColumn(ListViewState& s, int index, const LVCOLUMNW* request) {
  if (!request || index < 0) return -1;
  index = std::min(index, static_cast<int>(s.columns.size()));
  ListViewColumn column;
  column.subItem = index;
  column.order = index;
  ApplyColumn(column, *request);
  if (index == 0) column.format &= ~LVCFMT_JUSTIFYMASK;  // the first column is always left-aligned
  s.columns.insert(s.columns.begin() + index, std::move(column));
  HeaderInsertColumn(s, index, (request->mask & LVCF_ORDER) != 0);
  return index;
}

bool SetColumn(ListViewState& s, int index, const LVCOLUMNW* request) {
  if (!request || !ValidColumn(s, index)) return false;
  ApplyColumn(s.columns[static_cast<std::size_t>(index)], *request);
  HeaderSetColumn(s, index, HeaderParts(request->mask));
  return true;
}

bool GetColumn(const ListViewState& s, int index, LVCOLUMNW* request) {
  if (!request || !ValidColumn(s, index)) return false;
  const ListViewColumn& column = s.columns[static_cast<std::size_t>(index)];
  if (request->mask & LVCF_FMT) request->fmt = column.format;
  if (request->mask & LVCF_WIDTH) request->cx = column.width;
  if (request->mask & LVCF_TEXT) CopyText(column.text, request->pszText, request->cchTextMax);
  if (request->mask & LVCF_SUBITEM) request->iSubItem = column.subItem;
  if (request->mask & LVCF_IMAGE) request->iImage = column.image;
  if (request->mask & LVCF_ORDER) request->iOrder = column.order;
  return true;
}

bool DeleteColumn(ListViewState& s, int index) {
  if (!ValidColumn(s, index)) return false;
  s.columns.erase(s.columns.begin() + index);
  HeaderDeleteColumn(s, index);
  return true;
}

bool SetColumnWidth(HWND hwnd, ListViewState& s, int column, int width) {
  int view = ViewOf(hwnd);
  if (view != LVS_LIST && view != LVS_REPORT) return false;
  bool list = view == LVS_LIST;
  if (list ? column != 0 : !ValidColumn(s, column)) return false;
  if (width == LVSCW_AUTOSIZE || width == LVSCW_AUTOSIZE_USEHEADER)
    width = AutoWidth(hwnd, s, column, list, width == LVSCW_AUTOSIZE_USEHEADER);
  if (list) {
    s.listColumnWidth = std::max(width, 1);
  } else {
    s.columns[static_cast<std::size_t>(column)].width = std::max(width, 0);
    HeaderSetColumn(s, column, HDI_WIDTH);
  }
  return true;
}

int GetColumnWidth(HWND hwnd, const ListViewState& s, int column) {
  if (ViewOf(hwnd) == LVS_LIST) return column == 0 ? s.listColumnWidth : 0;
  if (!ValidColumn(s, column)) return 0;
  return s.columns[static_cast<std::size_t>(column)].width;
}

HIMAGELIST SetImageList(ListViewState& s, WPARAM which, HIMAGELIST list) {
  if (which > LVSIL_STATE) return nullptr;
  HIMAGELIST previous = s.imageLists[which];
  s.imageLists[which] = list;
  return previous;
}

HIMAGELIST GetImageList(const ListViewState& s, WPARAM which) {
  return which <= LVSIL_STATE ? s.imageLists[which] : nullptr;
}

// An image list already destroyed by the program is the program's fault.
void DestroyOwnedImageLists(HWND hwnd, ListViewState& s) {
  if (HasStyle(hwnd, LVS_SHAREIMAGELISTS)) return;
  std::set<HIMAGELIST> done;
  for (HIMAGELIST list : s.imageLists)
    if (list && done.insert(list).second)
      ImageLists::get().destroy(list, "ImageList_Destroy by a list view without LVS_SHAREIMAGELISTS");
  std::fill(std::begin(s.imageLists), std::end(s.imageLists), nullptr);
}

// A zero mask changes every style bit. Gives the styles before.
DWORD SetExtendedStyle(ListViewState& s, DWORD mask, DWORD style) {
  DWORD previous = s.extendedStyle;
  if (mask == 0) mask = 0xFFFFFFFFu;
  s.extendedStyle = (previous & ~mask) | (style & mask);
  return previous;
}

}  // namespace sim::listview
