// The list view's taps and keys: selecting, activating, holding, moving the focus,
// and renaming an item by a tap on its label.
#include "comctl/label_edit.h"
#include "comctl/listview_internal.h"
#include "comctl/notify.h"
#include "user/input.h"

namespace sim::listview {

namespace {

void NotifyClick(HWND hwnd, ListViewState& s, UINT code, int index, POINT point, WPARAM keys) {
  NMITEMACTIVATE click{};
  click.iItem = index;
  click.ptAction = point;
  if (ValidIndex(s, index)) click.lParam = ItemAt(s, index).param;
  if (keys & MK_CONTROL) click.uKeyFlags |= LVKF_CONTROL;
  if (keys & MK_SHIFT) click.uKeyFlags |= LVKF_SHIFT;
  SendNotify(hwnd, code, &click.hdr);
}

void NotifySimple(HWND hwnd, UINT code) {
  NMHDR header{};
  SendNotify(hwnd, code, &header);
}

bool OnLabel(HWND hwnd, ListViewState& s, int index, POINT point) {
  RECT label = ItemRect(hwnd, s, index, LVIR_LABEL);
  return PtInRect(&label, point);
}

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
  if (index < 0 || !OnLabel(hwnd, s, index, point)) return 0;
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
  if (index < 0 || ItemAt(s, index).id != id || !OnLabel(hwnd, s, index, point)) return;
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

// ---- keys --------------------------------------------------------------------------

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

// The item an arrow key, Home or End moves the focus to; -2 for any other key.
int KeyTarget(HWND hwnd, ListViewState& s, WPARAM key, int focused) {
  auto neighbour = [&](UINT direction) { return focused < 0 ? 0 : Neighbour(hwnd, s, focused, direction); };
  switch (key) {
    case VK_UP:
      return neighbour(LVNI_ABOVE);
    case VK_DOWN:
      return neighbour(LVNI_BELOW);
    case VK_LEFT:
      return neighbour(LVNI_TOLEFT);
    case VK_RIGHT:
      return neighbour(LVNI_TORIGHT);
    case VK_HOME:
      return 0;
    case VK_END:
      return Count(s) - 1;
    default:
      return -2;
  }
}

}  // namespace

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

void OnRightButtonDown(HWND hwnd, ListViewState& s, WPARAM keys, POINT point) {
  CancelTapEdit(hwnd, s);
  if (GetFocus() != hwnd) SetFocus(hwnd);
  int index = HitTest(hwnd, s, point, nullptr);
  if (index >= 0 && !(ItemAt(s, index).state & LVIS_SELECTED)) TapSelect(hwnd, s, index, 0);
  NotifyClick(hwnd, s, NM_RCLICK, HitTest(hwnd, s, point, nullptr), point, keys);
}

bool OnTimer(HWND hwnd, ListViewState& s, UINT_PTR timer) {
  if (timer != kTapEditTimer) return false;
  StartTapEdit(hwnd, s);
  return true;
}

void OnKeyDown(HWND hwnd, ListViewState& s, WPARAM key) {
  NMLVKEYDOWN down{};
  down.wVKey = static_cast<WORD>(key);
  SendNotify(hwnd, LVN_KEYDOWN, &down.hdr);
  int focused = FocusedIndex(s);
  bool control = GetKeyState(VK_CONTROL) < 0;
  if (int target = KeyTarget(hwnd, s, key, focused); target != -2) {
    MoveFocus(hwnd, s, target, control);
    return;
  }
  switch (key) {
    case VK_SPACE:
      if (control && ValidIndex(s, focused) && !HasStyle(hwnd, LVS_SINGLESEL))
        SetItemState(hwnd, s, focused, (ItemAt(s, focused).state & LVIS_SELECTED) ^ LVIS_SELECTED, LVIS_SELECTED);
      break;
    case VK_RETURN:
      NotifySimple(hwnd, NM_RETURN);
      break;
    case VK_F2:
      if (HasStyle(hwnd, LVS_EDITLABELS) && ValidIndex(s, focused)) BeginLabelEdit(hwnd, focused);
      break;
    default:
      break;
  }
}

void OnSetFocus(HWND hwnd) { NotifySimple(hwnd, NM_SETFOCUS); }

void OnKillFocus(HWND hwnd, ListViewState& s) {
  CancelTapEdit(hwnd, s);
  NotifySimple(hwnd, NM_KILLFOCUS);
}

}  // namespace sim::listview
