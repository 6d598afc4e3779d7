// Keyboard use of dialogs: Tab and the arrow keys move between controls, Enter
// presses the default button, Escape cancels. Groups run from a control with
// WS_GROUP up to the next one. Every dialog is a control parent: the controls of a
// visible child dialog take part in its parent's navigation as if they were the
// parent's own. The desktop's WS_EX_CONTROLPARENT is not a style of this device: a
// window of another class is one control, whatever its extended style.
#include <string>
#include <vector>

#include "user/dialog.h"
#include "user/window.h"

namespace sim {

namespace {

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)); }

bool Reachable(HWND control) {
  DWORD style = StyleOf(control);
  return (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

bool TabStop(HWND control) { return Reachable(control) && (StyleOf(control) & WS_TABSTOP); }

LRESULT DialogCodeOf(HWND control) { return SendMessageW(control, WM_GETDLGCODE, 0, 0); }

bool IsPushButton(HWND control) { return (DialogCodeOf(control) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0; }

void AppendControls(HWND parent, std::vector<HWND>& out) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsDialogWindow(child)) {
      out.push_back(child);
    } else if (Reachable(child)) {
      AppendControls(child, out);
    }
  }
}

std::ptrdiff_t IndexOf(const std::vector<HWND>& controls, HWND control) {
  for (std::size_t i = 0; i < controls.size(); ++i)
    if (controls[i] == control) return static_cast<std::ptrdiff_t>(i);
  return -1;
}

// Steps cyclically from `from` (exclusive) through `count` positions starting at
// `begin`, and gives the first control accepted by `accept`.
template <class Accept>
HWND Cycle(const std::vector<HWND>& controls, std::size_t begin, std::size_t count, std::size_t from, bool previous,
           Accept accept) {
  std::size_t offset = from - begin;
  for (std::size_t step = 1; step <= count; ++step) {
    std::size_t next = previous ? (offset + count - step % count) % count : (offset + step) % count;
    HWND control = controls[begin + next];
    if (accept(control)) return control;
  }
  return nullptr;
}

// The group around position `at`: from the control with WS_GROUP at or before it up
// to the next one.
std::pair<std::size_t, std::size_t> GroupAround(const std::vector<HWND>& controls, std::size_t at) {
  std::size_t begin = at;
  while (begin > 0 && !(StyleOf(controls[begin]) & WS_GROUP)) --begin;
  std::size_t end = at + 1;
  while (end < controls.size() && !(StyleOf(controls[end]) & WS_GROUP)) ++end;
  return {begin, end};
}

int DefaultIdOf(HWND dialog) {
  LRESULT defId = SendMessageW(dialog, DM_GETDEFID, 0, 0);
  return HIWORD(defId) == DC_HASDEFID ? LOWORD(defId) : IDOK;
}

// Enter: the focused push button, else the default button, else the default id
// without a button. A disabled button makes Enter do nothing. The button's own
// parent hears of it, as when the button is tapped, also when it sits in a child
// dialog.
void PressDefault(HWND dialog, HWND focus) {
  int id = DefaultIdOf(dialog);
  HWND button = focus && IsPushButton(focus) ? focus : FindNavigableControl(dialog, id);
  if (!button) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    return;
  }
  if (!IsWindowEnabled(button)) {
    MessageBeep(0);
    return;
  }
  SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
}

void Cancel(HWND dialog) {
  HWND cancel = FindNavigableControl(dialog, IDCANCEL);
  if (cancel && !IsWindowEnabled(cancel)) return;
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
}

// An arrow key moves within the group; an automatic radio button reached gets marked.
void MoveInGroup(HWND dialog, HWND focus, bool previous) {
  HWND target = GetNextDlgGroupItem(dialog, focus, previous);
  if (!target) return;
  FocusControl(target);
  if ((DialogCodeOf(target) & DLGC_RADIOBUTTON) && (StyleOf(target) & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
    SendMessageW(target, BM_CLICK, 0, 0);
}

bool HandleKey(HWND dialog, const MSG& msg) {
  HWND focus = GetFocus();
  if (focus && !IsChild(dialog, focus)) focus = nullptr;
  LRESULT wants = focus ? SendMessageW(focus, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)) : 0;
  if (wants & (DLGC_WANTMESSAGE | DLGC_WANTALLKEYS)) return false;
  switch (msg.wParam) {
    case VK_TAB:
      if (wants & DLGC_WANTTAB) return false;
      SendMessageW(dialog, WM_NEXTDLGCTL, (GetKeyState(VK_SHIFT) & 0x8000) != 0, 0);
      return true;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
      if (wants & DLGC_WANTARROWS) return false;
      if (focus) MoveInGroup(dialog, focus, msg.wParam == VK_LEFT || msg.wParam == VK_UP);
      return true;
    case VK_RETURN:
      PressDefault(dialog, focus);
      return true;
    case VK_ESCAPE:
      Cancel(dialog);
      return true;
    default:
      return false;
  }
}

}  // namespace

std::vector<HWND> NavigationOrder(HWND dialog) {
  std::vector<HWND> controls;
  AppendControls(dialog, controls);
  return controls;
}

bool IsDialogWindow(HWND hwnd) { return FindDialogState(hwnd) != nullptr; }

HWND FindNavigableControl(HWND dialog, int id) {
  for (HWND control : NavigationOrder(dialog))
    if ((GetDlgCtrlID(control) & 0xFFFF) == (id & 0xFFFF)) return control;
  return nullptr;
}

HWND DefaultFocusControl(HWND dialog) {
  auto controls = NavigationOrder(dialog);
  for (HWND control : controls)
    if (TabStop(control)) return control;
  for (HWND control : controls)
    if (Reachable(control)) return control;
  return nullptr;
}

void FocusControl(HWND control) {
  SetFocus(control);
  if (IsWindow(control) && (DialogCodeOf(control) & DLGC_HASSETSEL)) SendMessageW(control, EM_SETSEL, 0, -1);
}

void NextDialogControl(HWND dialog, WPARAM wParam, LPARAM lParam) {
  HWND target = nullptr;
  if (LOWORD(lParam)) {
    target = reinterpret_cast<HWND>(wParam);
    if (!IsWindow(target) || !IsChild(dialog, target)) return;
  } else {
    HWND focus = GetFocus();
    if (focus && !IsChild(dialog, focus)) focus = nullptr;
    target = GetNextDlgTabItem(dialog, focus, wParam != 0);
  }
  if (!target) return;
  FocusControl(target);
  if (IsWindow(dialog)) ShowDefaultButton(dialog, GetFocus());
}

void PressDefaultButton(HWND dialog) {
  HWND focus = GetFocus();
  PressDefault(dialog, focus && IsChild(dialog, focus) ? focus : nullptr);
}

void ShowDefaultButton(HWND dialog, HWND focus) {
  HWND chosen = focus && IsChild(dialog, focus) && IsPushButton(focus)
                    ? focus
                    : FindNavigableControl(dialog, DefaultIdOf(dialog));
  for (HWND control : NavigationOrder(dialog)) {
    if (!IsWindow(control)) continue;
    LRESULT code = DialogCodeOf(control);
    if (control == chosen && (code & DLGC_UNDEFPUSHBUTTON))
      SendMessageW(control, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    else if (control != chosen && (code & DLGC_DEFPUSHBUTTON))
      SendMessageW(control, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  }
}

}  // namespace sim

BOOL IsDialogMessageW(HWND dialog, LPMSG msg) {
  if (!msg || !dialog) return FALSE;
  if (!sim::WindowSystem::get().checked(dialog, "IsDialogMessageW")) return FALSE;
  if (!msg->hwnd || (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd))) return FALSE;
  if (msg->message == WM_KEYDOWN && sim::HandleKey(dialog, *msg)) return TRUE;
  TranslateMessage(msg);
  DispatchMessageW(msg);
  return TRUE;
}

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
  if (!sim::WindowSystem::get().checked(dialog, "GetNextDlgTabItem")) return nullptr;
  auto controls = sim::NavigationOrder(dialog);
  if (controls.empty()) return control;
  std::ptrdiff_t index = control ? sim::IndexOf(controls, control) : -1;
  std::size_t count = controls.size();
  // Without a control, forward starts after the last and backward before the first.
  std::size_t from = index >= 0 ? static_cast<std::size_t>(index) : (previous ? 0 : count - 1);
  HWND found = sim::Cycle(controls, 0, count, from, previous != FALSE, sim::TabStop);
  return found ? found : control;
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
  if (!sim::WindowSystem::get().checked(dialog, "GetNextDlgGroupItem")) return nullptr;
  auto controls = sim::NavigationOrder(dialog);
  if (controls.empty()) return control;
  std::ptrdiff_t index = control ? sim::IndexOf(controls, control) : -1;
  // Without a control the search starts at the end of the first group going forward
  // (finding its first control) or at the start of the last one going backward.
  std::size_t at = index >= 0 ? static_cast<std::size_t>(index) : (previous ? controls.size() - 1 : 0);
  auto [begin, end] = sim::GroupAround(controls, at);
  if (index < 0) at = previous ? begin : end - 1;
  HWND found = sim::Cycle(controls, begin, end - begin, at, previous != FALSE, sim::Reachable);
  return found ? found : control;
}
