// What the list view asks its parent about items (LVN_GETDISPINFOW): texts given as
// LPSTR_TEXTCALLBACKW, images given as I_IMAGECALLBACK, the state bits of the
// callback mask, and everything of an owner-data list (LVS_OWNERDATA), whose parent
// keeps the items and tells the control only how many there are.
#include <algorithm>

#include "comctl/listview_internal.h"
#include "comctl/notify.h"

namespace sim::listview {

namespace {

bool OwnerData(HWND hwnd) { return HasStyle(hwnd, LVS_OWNERDATA); }

bool TextIsCallback(HWND hwnd, const ListViewItem& item, int subItem) {
  if (OwnerData(hwnd)) return true;
  if (subItem == 0) return item.textCallback;
  std::size_t slot = static_cast<std::size_t>(subItem - 1);
  return slot < item.subItems.size() && item.subItems[slot].callback;
}

std::u16string StoredText(const ListViewItem& item, int subItem) {
  if (subItem == 0) return item.text;
  std::size_t slot = static_cast<std::size_t>(subItem - 1);
  return slot < item.subItems.size() ? item.subItems[slot].text : std::u16string();
}

// The parts of `mask` (LVIF_TEXT, LVIF_IMAGE, LVIF_STATE) the parent keeps.
UINT CallbackParts(HWND hwnd, const ListViewState& s, const ListViewItem& item, int subItem, UINT mask) {
  UINT parts = 0;
  if (TextIsCallback(hwnd, item, subItem)) parts |= LVIF_TEXT;
  if (subItem == 0 && (OwnerData(hwnd) || item.image == I_IMAGECALLBACK)) parts |= LVIF_IMAGE;
  if (subItem == 0 && s.callbackMask) parts |= LVIF_STATE;
  return parts & mask;
}

// LVIF_DI_SETITEM: the item keeps what the parent answered and stops asking.
void Keep(ListViewItem& item, const LVITEMW& answer, UINT parts, const std::u16string& text) {
  if (parts & LVIF_TEXT) {
    item.text = text;
    item.textCallback = false;
  }
  if (parts & LVIF_IMAGE) item.image = answer.iImage;
}

// Asks the parent for `parts` of an item in one LVN_GETDISPINFOW.
LVITEMW AskParent(HWND hwnd, ListViewState& s, int index, int subItem, UINT parts, std::u16string* text) {
  ListViewItem& item = ItemAt(s, index);
  NMLVDISPINFOW info{};
  info.item.mask = parts;
  info.item.iItem = index;
  info.item.iSubItem = subItem;
  info.item.stateMask = s.callbackMask;
  info.item.lParam = item.param;
  std::uint64_t id = item.id;
  std::u16string answered;
  if (parts & LVIF_TEXT)
    answered = TextFromParent(hwnd, LVN_GETDISPINFOW, info);
  else
    SendNotify(hwnd, LVN_GETDISPINFOW, &info.hdr);
  int at = IndexOfId(s, id, index);
  if ((info.item.mask & LVIF_DI_SETITEM) && at >= 0 && subItem == 0 && !OwnerData(hwnd))
    Keep(ItemAt(s, at), info.item, parts, answered);
  if (text) *text = std::move(answered);
  return info.item;
}

}  // namespace

std::u16string ItemText(HWND hwnd, ListViewState& s, int index, int subItem) {
  ListViewItem& item = ItemAt(s, index);
  if (!TextIsCallback(hwnd, item, subItem)) return StoredText(item, subItem);
  std::u16string text;
  AskParent(hwnd, s, index, subItem, LVIF_TEXT, &text);
  return text;
}

// LVIF_NORECOMPUTE reads a text the parent keeps as LPSTR_TEXTCALLBACKW, unasked.
bool GetItem(HWND hwnd, ListViewState& s, LVITEMW* request) {
  if (!request || !ValidIndex(s, request->iItem) || request->iSubItem < 0) return false;
  int index = request->iItem, subItem = request->iSubItem;
  const ListViewItem& item = ItemAt(s, index);
  UINT mask = request->mask;
  LVITEMW answer{};
  answer.iImage = item.image;
  answer.state = item.state;
  std::u16string text = StoredText(item, subItem);
  UINT parts = CallbackParts(hwnd, s, item, subItem, mask);
  bool unasked = (parts & LVIF_TEXT) && (mask & LVIF_NORECOMPUTE);
  if (unasked) parts &= ~LVIF_TEXT;
  if (parts) {
    UINT kept = answer.state & ~s.callbackMask;
    answer = AskParent(hwnd, s, index, subItem, parts, &text);
    answer.state = kept | (answer.state & s.callbackMask);
    if (!(parts & LVIF_IMAGE)) answer.iImage = ItemAt(s, index).image;
  }
  if ((mask & LVIF_TEXT) && unasked)
    request->pszText = LPSTR_TEXTCALLBACKW;
  else if (mask & LVIF_TEXT)
    CopyText(text, request->pszText, request->cchTextMax);
  if (mask & LVIF_IMAGE) request->iImage = answer.iImage;
  if (mask & LVIF_PARAM) request->lParam = ItemAt(s, index).param;
  if (mask & LVIF_STATE) request->state = answer.state & request->stateMask;
  if (mask & LVIF_INDENT) request->iIndent = ItemAt(s, index).indent;
  return true;
}

UINT GetItemState(HWND hwnd, ListViewState& s, int index, UINT mask) {
  if (!ValidIndex(s, index)) return 0;
  UINT state = ItemAt(s, index).state;
  if (mask & s.callbackMask) {
    UINT asked = AskParent(hwnd, s, index, 0, LVIF_STATE, nullptr).state;
    state = (state & ~s.callbackMask) | (asked & s.callbackMask);
  }
  return state & mask;
}

// LVM_SETITEMCOUNT: an owner-data list has that many items from now on, those that
// stay keeping their states; any other list takes it as a hint and does nothing.
bool SetItemCount(HWND hwnd, ListViewState& s, int count) {
  if (!OwnerData(hwnd)) return true;
  if (count < 0) return false;
  CancelEditOf(hwnd, s, 0);
  std::size_t wanted = static_cast<std::size_t>(count);
  if (wanted < s.items.size()) s.items.resize(wanted);
  while (s.items.size() < wanted) {
    auto item = std::make_unique<ListViewItem>();
    item->id = s.nextId++;
    s.items.push_back(std::move(item));
  }
  if (s.anchor >= count) s.anchor = -1;
  return true;
}

// An owner-data list asks its parent to search (LVN_ODFINDITEMW).
int FindOwnerDataItem(HWND hwnd, int start, const LVFINDINFOW* find) {
  NMLVFINDITEMW request{};
  request.iStart = start;
  request.lvfi = *find;
  return static_cast<int>(SendNotify(hwnd, LVN_ODFINDITEMW, &request.hdr));
}

}  // namespace sim::listview
