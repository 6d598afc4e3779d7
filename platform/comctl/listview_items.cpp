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

void SetSubItemText(ListViewItem& item, int subItem, const WCHAR* text) {
  bool callback = text == LPSTR_TEXTCALLBACKW;
  std::u16string value = text && !callback ? std::u16string(text) : std::u16string();
  if (subItem == 0) {
    item.textCallback = callback;
    item.text = std::move(value);
    return;
  }
  std::size_t slot = static_cast<std::size_t>(subItem - 1);
  if (item.subItems.size() <= slot) item.subItems.resize(slot + 1);
  item.subItems[slot] = ListViewCell{std::move(value), callback};
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

void ForgetIndex(ListViewState& s, int index) {
  if (s.anchor == index)
    s.anchor = -1;
  else if (s.anchor > index)
    --s.anchor;
}

// An owner-data list keeps the states alone: the parent has the rest.
bool SetOwnerDataItem(HWND hwnd, ListViewState& s, const LVITEMW* request) {
  if (!request || !ValidIndex(s, request->iItem) || request->iSubItem != 0) return false;
  if (request->mask & LVIF_STATE) SetItemState(hwnd, s, request->iItem, request->state, request->stateMask);
  return true;
}

// The item is no longer focused while the parent hears of it.
void NotifyDeleted(HWND hwnd, ListViewState& s, int index) {
  ItemAt(s, index).state &= ~LVIS_FOCUSED;
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

// ---- inserting and deleting ----------------------------------------------------------

// An item inserted selected or focused changes state as any item does (the parent
// hears LVN_ITEMCHANGING, the changes to other items, LVN_ITEMCHANGED) before
// LVN_INSERTITEM. Only the state bits of `stateMask` count.
LRESULT InsertItem(HWND hwnd, ListViewState& s, const LVITEMW* request) {
  if (!request || request->iSubItem != 0) return -1;
  if (HasStyle(hwnd, LVS_OWNERDATA)) return -1;  // the parent keeps the items: LVM_SETITEMCOUNT
  auto item = MakeItem(s, *request);
  UINT mask = (request->mask & LVIF_STATE) ? request->stateMask : 0;
  int direction = SortDirection(hwnd);
  int index = direction ? SortedPosition(s, item->text, direction) : std::clamp(request->iItem, 0, Count(s));
  std::uint64_t id = item->id;
  s.items.insert(s.items.begin() + index, std::move(item));
  if (s.anchor >= index) ++s.anchor;
  if (request->state & mask) SetItemState(hwnd, s, index, request->state, mask);
  index = IndexOfId(s, id, index);
  if (index < 0) return -1;
  NMLISTVIEW inserted{};
  inserted.iItem = index;
  inserted.lParam = ItemAt(s, index).param;
  SendNotify(hwnd, LVN_INSERTITEM, &inserted.hdr);
  return IndexOfId(s, id, index);
}

// The focus of a deleted item passes to the item that takes its place (the last
// item when it was the last).
bool DeleteItem(HWND hwnd, ListViewState& s, int index) {
  if (!ValidIndex(s, index)) return false;
  std::uint64_t id = ItemAt(s, index).id;
  CancelEditOf(hwnd, s, id);
  index = IndexOfId(s, id);
  if (index < 0) return true;
  bool focused = ItemAt(s, index).state & LVIS_FOCUSED;
  NotifyDeleted(hwnd, s, index);
  index = IndexOfId(s, id);
  if (index < 0) return true;
  s.items.erase(s.items.begin() + index);
  ForgetIndex(s, index);
  if (focused && FocusedIndex(s) < 0 && !s.items.empty()) SetItemState(hwnd, s, std::min(index, Count(s) - 1), LVIS_FOCUSED, LVIS_FOCUSED);
  return true;
}

// LVN_DELETEALLITEMS comes first; unless the parent answers TRUE, LVN_DELETEITEM
// follows for each item. An owner-data list has no items of its own to announce.
bool DeleteAllItems(HWND hwnd, ListViewState& s) {
  CancelEditOf(hwnd, s, 0);
  if (s.items.empty()) return true;
  NMLISTVIEW all{};
  all.iItem = -1;
  if (!SendNotify(hwnd, LVN_DELETEALLITEMS, &all.hdr) && !HasStyle(hwnd, LVS_OWNERDATA)) {
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
  if (!ValidIndex(s, index) || subItem < 0 || HasStyle(hwnd, LVS_OWNERDATA)) return false;
  SetSubItemText(ItemAt(s, index), subItem, text);
  if (subItem == 0) Resort(hwnd, s, index);
  return true;
}

bool SetItemText(HWND hwnd, ListViewState& s, int index, const LVITEMW* request) {
  return request && SetItemText(hwnd, s, index, request->iSubItem, request->pszText);
}

bool SetItem(HWND hwnd, ListViewState& s, const LVITEMW* request) {
  if (HasStyle(hwnd, LVS_OWNERDATA)) return SetOwnerDataItem(hwnd, s, request);
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
  if (!compare || HasStyle(hwnd, LVS_OWNERDATA)) return false;
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
