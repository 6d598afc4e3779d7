// The list view's items: inserting, deleting, reading and writing them, their texts,
// the order of a sorted list, and searching.
#include <algorithm>

#include "comctl/label_edit.h"
#include "comctl/listview_internal.h"
#include "comctl/notify.h"

namespace sim::listview {

namespace {

// A sorted list orders names as lstrcmpiW does: the device's Japanese order, ignoring case.
int CompareNames(const std::u16string& a, const std::u16string& b) { return lstrcmpiW(a.c_str(), b.c_str()); }

bool StartsWithIgnoringCase(const std::u16string& text, const WCHAR* prefix) {
  std::size_t length = wcslen(prefix);
  return length <= text.size() && _wcsnicmp(text.c_str(), prefix, length) == 0;
}

std::u16string SubItemText(const ListViewItem& item, int subItem) {
  if (subItem == 0) return item.text;
  std::size_t slot = static_cast<std::size_t>(subItem - 1);
  return slot < item.subItems.size() ? item.subItems[slot] : std::u16string();
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

// ---- sorting -----------------------------------------------------------------------

int SortDirection(HWND hwnd) {
  LONG style = StyleOf(hwnd);
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

std::unique_ptr<ListViewItem> MakeItem(ListViewState& s, const LVITEMW& request) {
  auto item = std::make_unique<ListViewItem>();
  item->id = s.nextId++;
  if (request.mask & LVIF_TEXT) {
    if (request.pszText == LPSTR_TEXTCALLBACKW)
      item->textCallback = true;
    else if (request.pszText)
      item->text = request.pszText;
  }
  if (request.mask & LVIF_IMAGE) item->image = request.iImage;
  if (request.mask & LVIF_PARAM) item->param = request.lParam;
  if (request.mask & LVIF_INDENT) item->indent = request.iIndent;
  return item;
}

void NotifyDeleted(HWND hwnd, ListViewState& s, int index) {
  NMLISTVIEW deleted{};
  deleted.iItem = index;
  deleted.lParam = ItemAt(s, index).param;
  SendNotify(hwnd, LVN_DELETEITEM, &deleted.hdr);
}

}  // namespace

int IndexOfId(const ListViewState& s, std::uint64_t id, int hint) {
  if (hint >= 0 && hint < Count(s) && s.items[static_cast<std::size_t>(hint)]->id == id) return hint;
  for (int i = 0; i < Count(s); ++i)
    if (s.items[static_cast<std::size_t>(i)]->id == id) return i;
  return -1;
}

std::u16string ItemText(HWND hwnd, ListViewState& s, int index, int subItem) {
  ListViewItem& item = ItemAt(s, index);
  if (!(subItem == 0 && item.textCallback)) return SubItemText(item, subItem);
  NMLVDISPINFOW info{};
  info.item.mask = LVIF_TEXT;
  info.item.iItem = index;
  info.item.lParam = item.param;
  return TextFromParent(hwnd, LVN_GETDISPINFOW, info);
}

// ---- inserting and deleting ----------------------------------------------------------

LRESULT InsertItem(HWND hwnd, ListViewState& s, const LVITEMW* request) {
  if (!request || request->iSubItem != 0) return -1;
  auto item = MakeItem(s, *request);
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
  NotifyDeleted(hwnd, s, index);
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
    for (int i = Count(s) - 1; i >= 0; --i)
      if (i < Count(s)) NotifyDeleted(hwnd, s, i);
  }
  s.items.clear();
  s.anchor = -1;
  s.origin = POINT{0, 0};
  return true;
}

// ---- reading and writing -------------------------------------------------------------

bool SetItemText(HWND hwnd, ListViewState& s, int index, int subItem, const WCHAR* text) {
  if (!ValidIndex(s, index) || subItem < 0) return false;
  SetSubItemText(ItemAt(s, index), subItem, text);
  if (subItem == 0) Resort(hwnd, s, index);
  return true;
}

bool SetItemText(HWND hwnd, ListViewState& s, int index, const LVITEMW* request) {
  return request && SetItemText(hwnd, s, index, request->iSubItem, request->pszText);
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

// ---- searching -----------------------------------------------------------------------

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

}  // namespace sim::listview
