// The list view's item states: selection and focus as the control keeps them (one
// focused item; one selected item in a single-selection list), each change told to
// the parent, and the selection a tap makes.
#include <algorithm>
#include <vector>

#include "comctl/listview_internal.h"
#include "comctl/notify.h"

namespace sim::listview {

namespace {

NMLISTVIEW StateChange(int index, const ListViewItem& item, UINT before, UINT after) {
  NMLISTVIEW change{};
  change.iItem = index;
  change.uChanged = LVIF_STATE;
  change.uOldState = before;
  change.uNewState = after;
  change.lParam = item.param;
  return change;
}

std::vector<std::uint64_t> IdsWithState(const ListViewState& s, UINT bits, std::uint64_t except) {
  std::vector<std::uint64_t> ids;
  for (const auto& item : s.items)
    if ((item->state & bits) && item->id != except) ids.push_back(item->id);
  return ids;
}

void SetAllItemsState(HWND hwnd, ListViewState& s, UINT state, UINT mask) {
  std::vector<std::uint64_t> ids;
  for (const auto& item : s.items) ids.push_back(item->id);
  for (std::uint64_t id : ids) {
    int at = IndexOfId(s, id);
    if (at >= 0) ChangeItemState(hwnd, s, at, state, mask);
  }
}

// Shift-tap: the range from the anchor to the tapped item is the selection.
void SelectRange(HWND hwnd, ListViewState& s, int index) {
  std::uint64_t id = ItemAt(s, index).id;
  int low = std::min(s.anchor, index), high = std::max(s.anchor, index);
  std::vector<std::uint64_t> range, others;
  for (int i = 0; i < Count(s); ++i) (i >= low && i <= high ? range : others).push_back(ItemAt(s, i).id);
  for (std::uint64_t other : others)
    if (int at = IndexOfId(s, other); at >= 0) ChangeItemState(hwnd, s, at, 0, LVIS_SELECTED);
  for (std::uint64_t member : range)
    if (int at = IndexOfId(s, member); at >= 0) ChangeItemState(hwnd, s, at, LVIS_SELECTED, LVIS_SELECTED);
  if (int at = IndexOfId(s, id); at >= 0) SetItemState(hwnd, s, at, LVIS_FOCUSED, LVIS_FOCUSED);
}

}  // namespace

bool ChangeItemState(HWND hwnd, ListViewState& s, int index, UINT state, UINT mask, UINT exclusive) {
  ListViewItem& item = ItemAt(s, index);
  UINT before = item.state;
  UINT after = (before & ~mask) | (state & mask);
  if (before == after) return true;
  std::uint64_t id = item.id;
  NMLISTVIEW changing = StateChange(index, item, before, after);
  if (SendNotify(hwnd, LVN_ITEMCHANGING, &changing.hdr)) return false;
  for (std::uint64_t other : IdsWithState(s, exclusive, id)) {
    int at = IndexOfId(s, other);
    if (at >= 0) ChangeItemState(hwnd, s, at, 0, exclusive);
  }
  index = IndexOfId(s, id, index);
  if (index < 0) return false;
  ListViewItem& current = ItemAt(s, index);
  before = current.state;
  after = (before & ~mask) | (state & mask);
  current.state = after;
  NMLISTVIEW changed = StateChange(index, current, before, after);
  SendNotify(hwnd, LVN_ITEMCHANGED, &changed.hdr);
  return true;
}

bool SetItemState(HWND hwnd, ListViewState& s, int index, UINT state, UINT mask) {
  if (!ValidIndex(s, index)) return false;
  UINT exclusive = 0;
  if (mask & state & LVIS_FOCUSED) exclusive |= LVIS_FOCUSED;
  if ((mask & state & LVIS_SELECTED) && HasStyle(hwnd, LVS_SINGLESEL)) exclusive |= LVIS_SELECTED;
  return ChangeItemState(hwnd, s, index, state, mask, exclusive);
}

bool SetItemStates(HWND hwnd, ListViewState& s, int index, const LVITEMW* request) {
  if (!request) return false;
  if (index == -1) {
    SetAllItemsState(hwnd, s, request->state, request->stateMask);
    return true;
  }
  if (!ValidIndex(s, index)) return false;
  SetItemState(hwnd, s, index, request->state, request->stateMask);
  return true;
}

int SelectedCount(const ListViewState& s) {
  return static_cast<int>(
      std::count_if(s.items.begin(), s.items.end(), [](const auto& item) { return item->state & LVIS_SELECTED; }));
}

int FocusedIndex(const ListViewState& s) {
  for (int i = 0; i < Count(s); ++i)
    if (s.items[static_cast<std::size_t>(i)]->state & LVIS_FOCUSED) return i;
  return -1;
}

void DeselectAllBut(HWND hwnd, ListViewState& s, std::uint64_t keep) {
  for (std::uint64_t other : IdsWithState(s, LVIS_SELECTED, keep)) {
    int at = IndexOfId(s, other);
    if (at >= 0) ChangeItemState(hwnd, s, at, 0, LVIS_SELECTED);
  }
}

void SelectOnly(HWND hwnd, ListViewState& s, int index) {
  std::uint64_t id = ItemAt(s, index).id;
  DeselectAllBut(hwnd, s, id);
  index = IndexOfId(s, id);
  if (index >= 0) SetItemState(hwnd, s, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

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
    SelectRange(hwnd, s, index);
    return;
  }
  SelectOnly(hwnd, s, index);
  s.anchor = IndexOfId(s, id);
}

}  // namespace sim::listview
