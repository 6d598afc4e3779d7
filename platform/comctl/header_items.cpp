// The header's items: inserting, deleting, reading and changing them, and the order
// they are shown in. The order is a permutation of the indices at all times: an
// inserted item takes its place in it (at its index, or at HDI_ORDER) and pushes the
// items after it one place right.
#include <algorithm>

#include "comctl/header_internal.h"
#include "comctl/notify.h"

namespace sim::header {

namespace {

void Redraw(HWND hwnd) { InvalidateRect(hwnd, nullptr, TRUE); }

std::u16string TextOf(const WCHAR* text) {
  if (!text || text == LPSTR_TEXTCALLBACKW) return {};
  return text;
}

// Moves an item to a place in the order; the items between shift by one.
void MoveInOrder(HeaderState& s, int index, int position) {
  auto at = std::find(s.order.begin(), s.order.end(), index);
  if (at != s.order.end()) s.order.erase(at);
  position = std::clamp(position, 0, static_cast<int>(s.order.size()));
  s.order.insert(s.order.begin() + position, index);
}

void Apply(HeaderState& s, int index, const HDITEMW& request) {
  HeaderItem& item = ItemAt(s, index);
  if (request.mask & HDI_WIDTH) item.width = std::max(request.cxy, 0);
  if (request.mask & HDI_TEXT) item.text = TextOf(request.pszText);
  if (request.mask & HDI_FORMAT) item.format = request.fmt;
  if (request.mask & HDI_LPARAM) item.param = request.lParam;
  if (request.mask & HDI_IMAGE) item.image = request.iImage;
  if (request.mask & HDI_BITMAP) item.bitmap = request.hbm;
  if (request.mask & HDI_ORDER) MoveInOrder(s, index, request.iOrder);
}

LRESULT Notify(HWND hwnd, UINT code, int index, const HDITEMW& request) {
  HDITEMW copy = request;  // what the parent may read, not the caller's record
  NMHEADERW note{};
  note.iItem = index;
  note.iButton = 0;
  note.pItem = &copy;
  return SendNotify(hwnd, code, &note.hdr);
}

bool IsPermutation(int count, const int* order) {
  std::vector<int> sorted(order, order + count);
  std::sort(sorted.begin(), sorted.end());
  for (int i = 0; i < count; ++i)
    if (sorted[static_cast<std::size_t>(i)] != i) return false;
  return true;
}

}  // namespace

int IndexOfId(const HeaderState& s, std::uint64_t id) {
  for (int i = 0; i < Count(s); ++i)
    if (s.items[static_cast<std::size_t>(i)].id == id) return i;
  return -1;
}

// An index at or past the end appends; a negative one is refused.
int InsertItem(HWND hwnd, HeaderState& s, int index, const HDITEMW* request) {
  if (!request || index < 0) return -1;
  index = std::min(index, Count(s));
  for (int& shown : s.order)
    if (shown >= index) ++shown;
  HeaderItem item;
  item.id = s.nextId++;
  s.items.insert(s.items.begin() + index, item);
  s.order.insert(s.order.begin() + index, index);
  HDITEMW fields = *request;
  if (!(fields.mask & HDI_ORDER)) fields.iOrder = index;
  fields.mask |= HDI_ORDER;
  Apply(s, index, fields);
  Redraw(hwnd);
  return index;
}

bool DeleteItem(HWND hwnd, HeaderState& s, int index) {
  if (!ValidIndex(s, index)) return false;
  s.items.erase(s.items.begin() + index);
  s.order.erase(std::find(s.order.begin(), s.order.end(), index));
  for (int& shown : s.order)
    if (shown > index) --shown;
  Redraw(hwnd);
  return true;
}

bool GetItem(const HeaderState& s, int index, HDITEMW* request) {
  if (!request || !ValidIndex(s, index)) return false;
  const HeaderItem& item = s.items[static_cast<std::size_t>(index)];
  if (request->mask & HDI_WIDTH) request->cxy = item.width;
  if (request->mask & HDI_TEXT) CopyText(item.text, request->pszText, request->cchTextMax);
  if (request->mask & HDI_FORMAT) request->fmt = item.format;
  if (request->mask & HDI_LPARAM) request->lParam = item.param;
  if (request->mask & HDI_IMAGE) request->iImage = item.image;
  if (request->mask & HDI_BITMAP) request->hbm = item.bitmap;
  if (request->mask & HDI_ORDER)
    request->iOrder = static_cast<int>(std::find(s.order.begin(), s.order.end(), index) - s.order.begin());
  return true;
}

bool SetItem(HWND hwnd, HeaderState& s, int index, const HDITEMW* request) {
  if (!request || !ValidIndex(s, index)) return false;
  const std::uint64_t id = ItemAt(s, index).id;
  if (Notify(hwnd, HDN_ITEMCHANGINGW, index, *request)) return false;
  // The parent may have inserted or deleted items meanwhile.
  index = IndexOfId(s, id);
  if (index < 0) return false;
  Apply(s, index, *request);
  Redraw(hwnd);
  Notify(hwnd, HDN_ITEMCHANGEDW, index, *request);
  return true;
}

// An order that names no item answers itself.
int OrderToIndex(const HeaderState& s, int order) {
  if (order < 0 || order >= static_cast<int>(s.order.size())) return order;
  return s.order[static_cast<std::size_t>(order)];
}

bool GetOrderArray(const HeaderState& s, int count, int* order) {
  if (!order || count != Count(s)) return false;
  std::copy(s.order.begin(), s.order.end(), order);
  return true;
}

// The array must name every item once.
bool SetOrderArray(HWND hwnd, HeaderState& s, int count, const int* order) {
  if (!order || count != Count(s) || !IsPermutation(count, order)) return false;
  s.order.assign(order, order + count);
  Redraw(hwnd);
  return true;
}

}  // namespace sim::header
