// The default dialog procedure: calls the program's DLGPROC, hands back its answer
// (directly, or through DWL_MSGRESULT), and does the dialog's own work for what the
// program leaves alone: the default button, Close as Cancel, focus kept across
// activation and moved by WM_NEXTDLGCTL.
#include <string>

#include "kernel/process_data.h"
#include "user/dialog.h"
#include "user/message_queue.h"
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

// The old default button becomes a plain push button and the new one the default.
void SetDefaultId(HWND dialog, DialogState& state, int id) {
  state.defaultId = id;
  HWND focus = GetFocus();
  ShowDefaultButton(dialog, focus && IsChild(dialog, focus) ? focus : nullptr);
}

// The control that had the focus comes back: the one losing the focus to the
// dialog itself, else the one remembered when the dialog was deactivated. Only
// WM_SETFOCUS falls back to the default control, selecting an edit box's text as
// the dialog's start does; mere activation sets no focus the dialog never had.
void RestoreFocus(HWND dialog, DialogState& state, HWND losing, bool fallBack) {
  if (state.ended) return;
  HWND focus = GetFocus();
  if (focus && IsChild(dialog, focus)) return;
  HWND target = nullptr;
  if (IsWindow(losing) && IsChild(dialog, losing))
    target = losing;
  else if (IsWindow(state.savedFocus) && IsChild(dialog, state.savedFocus))
    target = state.savedFocus;
  if (target) {
    if (fallBack)
      FocusControl(target);
    else
      SetFocus(target);
  } else if (fallBack) {
    if (HWND first = DefaultFocusControl(dialog)) FocusControl(first);
  }
}

// A dialog's background is the brush its procedure gives for WM_CTLCOLORDLG, else
// the system's dialog colour.
LRESULT EraseDialog(HWND dialog, HDC dc) {
  auto brush = reinterpret_cast<HBRUSH>(
      SendMessageW(dialog, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(dialog)));
  if (!brush) brush = GetSysColorBrush(COLOR_STATIC);
  RECT client{};
  GetClientRect(dialog, &client);
  FillRect(dc, &client, brush);
  return 1;
}

LRESULT DefaultAction(HWND dialog, DialogState& state, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CLOSE: {
      // Closing a dialog is its Cancel: unless a disabled Cancel button forbids it.
      HWND cancel = FindNavigableControl(dialog, IDCANCEL);
      if (!cancel || IsWindowEnabled(cancel))
        sim::PostFromSystem(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
      return 0;
    }
    case DM_GETDEFID:
      return MAKELRESULT(state.defaultOrOk(), DC_HASDEFID);
    case DM_SETDEFID:
      SetDefaultId(dialog, state, static_cast<int>(wParam));
      return TRUE;
    case WM_NEXTDLGCTL:
      NextDialogControl(dialog, wParam, lParam);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(dialog, focus)) state.savedFocus = focus;
      } else {
        RestoreFocus(dialog, state, nullptr, false);
      }
      return 0;
    case WM_SETFOCUS:
      RestoreFocus(dialog, state, reinterpret_cast<HWND>(wParam), true);
      return 0;
    case WM_GETDLGCODE:
      return 0;
    case WM_ERASEBKGND:
      return EraseDialog(dialog, reinterpret_cast<HDC>(wParam));
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
  // Any window of the dialog class keeps the dialog manager's record, whether a
  // template made it or the program created it by class name.
  window->state<sim::DialogState>();
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
  return sim::DefaultAction(dialog, window->state<sim::DialogState>(), msg, wParam, lParam);
}
