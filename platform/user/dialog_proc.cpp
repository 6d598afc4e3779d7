// The default dialog procedure: calls the program's DLGPROC, hands back its answer
// (directly, or through DWL_MSGRESULT), and does the dialog's own work for what the
// program leaves alone: the default button, Close as Cancel, focus kept across
// activation.
#include <string>

#include "kernel/process_data.h"
#include "user/dialog.h"
#include "user/system_classes.h"
#include "user/window.h"

namespace sim {

namespace {

// Messages whose DLGPROC result is the answer itself rather than DWL_MSGRESULT.
bool AnswersDirectly(UINT msg) {
  switch (msg) {
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return true;
    default:
      return false;
  }
}

HWND FindDefaultPushButton(HWND dialog) {
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (SendMessageW(child, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) return child;
  return nullptr;
}

LRESULT GetDefaultId(HWND dialog, const DialogState& state) {
  if (state.defaultId) return MAKELRESULT(state.defaultId, DC_HASDEFID);
  if (HWND button = FindDefaultPushButton(dialog)) return MAKELRESULT(GetDlgCtrlID(button), DC_HASDEFID);
  return 0;
}

// The old default push button becomes a plain one, the new one the default.
void SetDefaultId(HWND dialog, DialogState& state, int id) {
  HWND old = state.defaultId ? GetDlgItem(dialog, state.defaultId) : FindDefaultPushButton(dialog);
  state.defaultId = id;
  if (old && (SendMessageW(old, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON))
    SendMessageW(old, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  HWND button = GetDlgItem(dialog, id);
  if (button && (SendMessageW(button, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON))
    SendMessageW(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

void RestoreFocus(HWND dialog, DialogState& state) {
  HWND focus = GetFocus();
  if (focus && IsChild(dialog, focus)) return;
  HWND target = state.savedFocus && IsWindow(state.savedFocus) && IsChild(dialog, state.savedFocus)
                    ? state.savedFocus
                    : GetNextDlgTabItem(dialog, nullptr, FALSE);
  if (target) SetFocus(target);
}

LRESULT DefaultAction(HWND dialog, DialogState* state, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CLOSE: {
      // Closing a dialog is its Cancel: unless a disabled Cancel button forbids it.
      HWND cancel = GetDlgItem(dialog, IDCANCEL);
      SetLastError(0);
      if (!cancel || IsWindowEnabled(cancel))
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
      return 0;
    }
    case DM_GETDEFID:
      return state ? GetDefaultId(dialog, *state) : 0;
    case DM_SETDEFID:
      if (state) SetDefaultId(dialog, *state, static_cast<int>(wParam));
      return TRUE;
    case WM_ACTIVATE:
      if (!state) break;
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(dialog, focus)) state->savedFocus = focus;
      } else {
        RestoreFocus(dialog, *state);
      }
      return 0;
    case WM_SETFOCUS:
      if (state) RestoreFocus(dialog, *state);
      return 0;
    case WM_GETDLGCODE:
      return 0;
    default:
      break;
  }
  return DefWindowProcW(dialog, msg, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK DialogWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefDlgProcW(hwnd, msg, wParam, lParam);
}

}  // namespace sim

LRESULT DefDlgProcW(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto& windows = sim::WindowSystem::get();
  sim::Window* window = windows.checked(dialog, "DefDlgProcW");
  if (!window) return 0;
  auto proc = reinterpret_cast<DLGPROC>(window->extra[DWL_DLGPROC]);
  window->extra[DWL_MSGRESULT] = 0;
  INT_PTR handled = FALSE;
  if (proc) {
    sim::DataContext context(sim::ProcedureOwner(*window, reinterpret_cast<const void*>(proc)));
    handled = proc(dialog, msg, wParam, lParam);
  }
  // The procedure may have destroyed its dialog.
  window = windows.find(dialog);
  if (!window) return sim::AnswersDirectly(msg) ? handled : 0;
  if (handled) return sim::AnswersDirectly(msg) ? handled : window->extra[DWL_MSGRESULT];
  if (msg == WM_INITDIALOG) return FALSE;
  return sim::DefaultAction(dialog, window->findState<sim::DialogState>(), msg, wParam, lParam);
}
