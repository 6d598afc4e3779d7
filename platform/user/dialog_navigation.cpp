// Keyboard use of dialogs: Tab and the arrow keys move between controls, Enter
// presses the default button, Escape cancels. Groups run from a control with
// WS_GROUP up to the next one.
#include <string>
#include <vector>

#include "user/dialog.h"
#include "user/window.h"

namespace sim {

namespace {

std::vector<HWND> Controls(HWND dialog) {
  std::vector<HWND> controls;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    controls.push_back(child);
  return controls;
}

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)); }

bool Reachable(HWND control) {
  DWORD style = StyleOf(control);
  return (style & WS_VISIBLE) && !(style & WS_DISABLED);
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

HWND DefaultButtonOf(HWND dialog, HWND focus) {
  if (focus && IsChild(dialog, focus) &&
      (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)))
    return focus;
  LRESULT defId = SendMessageW(dialog, DM_GETDEFID, 0, 0);
  int id = HIWORD(defId) == DC_HASDEFID ? LOWORD(defId) : IDOK;
  return GetDlgItem(dialog, id);
}

// Enter: the focused push button, else the default button, else IDOK. A disabled
// default button makes Enter do nothing.
void PressDefault(HWND dialog, HWND focus) {
  HWND button = DefaultButtonOf(dialog, focus);
  int id = IDOK;
  if (button) {
    if (!IsWindowEnabled(button)) {
      MessageBeep(0);
      return;
    }
    id = GetDlgCtrlID(button);
  } else if (LRESULT defId = SendMessageW(dialog, DM_GETDEFID, 0, 0); HIWORD(defId) == DC_HASDEFID) {
    id = LOWORD(defId);
  }
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void Cancel(HWND dialog) {
  HWND cancel = GetDlgItem(dialog, IDCANCEL);
  SetLastError(0);
  if (cancel && !IsWindowEnabled(cancel)) return;
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
}

// Moves the focus as the keyboard does: an edit box gets its text selected, an
// automatic radio button reached by an arrow key gets marked.
void MoveFocus(HWND target, bool byArrow) {
  if (!target) return;
  SetFocus(target);
  LRESULT code = SendMessageW(target, WM_GETDLGCODE, 0, 0);
  if (code & DLGC_HASSETSEL) SendMessageW(target, EM_SETSEL, 0, -1);
  if (byArrow && (code & DLGC_RADIOBUTTON) && (StyleOf(target) & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
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
      MoveFocus(GetNextDlgTabItem(dialog, focus, (GetKeyState(VK_SHIFT) & 0x8000) != 0), false);
      return true;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
      if (wants & DLGC_WANTARROWS) return false;
      if (focus) MoveFocus(GetNextDlgGroupItem(dialog, focus, msg.wParam == VK_LEFT || msg.wParam == VK_UP), true);
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

}  // namespace sim

BOOL IsDialogMessageW(HWND dialog, LPMSG msg) {
  if (!msg || !dialog || !IsWindow(dialog)) return FALSE;
  if (!msg->hwnd || (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd))) return FALSE;
  if (msg->message == WM_KEYDOWN && sim::HandleKey(dialog, *msg)) return TRUE;
  TranslateMessage(msg);
  DispatchMessageW(msg);
  return TRUE;
}

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
  if (!sim::WindowSystem::get().checked(dialog, "GetNextDlgTabItem")) return nullptr;
  auto controls = sim::Controls(dialog);
  if (controls.empty()) return nullptr;
  auto tabStop = [](HWND c) { return sim::Reachable(c) && (sim::StyleOf(c) & WS_TABSTOP); };
  std::ptrdiff_t index = control ? sim::IndexOf(controls, control) : -1;
  std::size_t count = controls.size();
  // Without a control, forward starts before the first and backward after the last.
  std::size_t from = index >= 0 ? static_cast<std::size_t>(index) : (previous ? 0 : count - 1);
  HWND found = sim::Cycle(controls, 0, count, from, previous != FALSE, tabStop);
  return found ? found : control;
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
  if (!sim::WindowSystem::get().checked(dialog, "GetNextDlgGroupItem")) return nullptr;
  auto controls = sim::Controls(dialog);
  if (controls.empty()) return nullptr;
  std::ptrdiff_t index = control ? sim::IndexOf(controls, control) : -1;
  if (index < 0) return controls.front();
  auto at = static_cast<std::size_t>(index);
  std::size_t begin = at;
  while (begin > 0 && !(sim::StyleOf(controls[begin]) & WS_GROUP)) --begin;
  std::size_t end = at + 1;
  while (end < controls.size() && !(sim::StyleOf(controls[end]) & WS_GROUP)) ++end;
  HWND found = sim::Cycle(controls, begin, end - begin, at, previous != FALSE, sim::Reachable);
  return found ? found : control;
}
