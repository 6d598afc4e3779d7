// The pocket shell's dialog helpers: the title-bar OK button, sizing a dialog to the
// work area, and following the input panel.
#include <aygshell.h>

#include "kernel/faults.h"
#include "user/window.h"

namespace sim {
namespace {

// Remembered for a window SHInitDialog sized, so that it follows the work area when
// the input panel goes up or down.
struct ShellSizedDialog {
  bool fullScreen = false;
};

void SizeToWorkArea(HWND dialog) {
  RECT work = WindowSystem::get().workArea();
  SetWindowPos(dialog, nullptr, work.left, work.top, work.right - work.left, work.bottom - work.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace
}  // namespace sim

BOOL SHInitDialog(PSHINITDLGINFO info) {
  using namespace sim;
  if (FailsByInjection("SHInitDialog")) return FALSE;
  if (!info || !(info->dwMask & SHIDIM_FLAGS)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  WindowSystem& windows = WindowSystem::get();
  Window* dialog = windows.checked(info->hDlg, "SHInitDialog");
  if (!dialog) return FALSE;
  if (info->dwFlags & SHIDIF_DONEBUTTON)
    SetWindowLongW(info->hDlg, GWL_EXSTYLE, GetWindowLongW(info->hDlg, GWL_EXSTYLE) | WS_EX_CAPTIONOKBTN);
  if (info->dwFlags & SHIDIF_SIPDOWN) windows.setInputPanel(false);
  if (info->dwFlags & (SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN)) {
    dialog->state<ShellSizedDialog>().fullScreen = (info->dwFlags & SHIDIF_SIZEDLGFULLSCREEN) != 0;
    SizeToWorkArea(info->hDlg);
  }
  return TRUE;
}

BOOL SHHandleWMSettingChange(HWND hwnd, WPARAM wParam, LPARAM lParam, PSHACTIVATEINFO info) {
  using namespace sim;
  Window* window = WindowSystem::get().checked(hwnd, "SHHandleWMSettingChange");
  if (!window) return FALSE;
  if (wParam == SPI_SETSIPINFO && window->findState<ShellSizedDialog>()) SizeToWorkArea(hwnd);
  return TRUE;
}

BOOL SHHandleWMActivate(HWND hwnd, WPARAM wParam, LPARAM lParam, PSHACTIVATEINFO info, DWORD flags) {
  return sim::WindowSystem::get().checked(hwnd, "SHHandleWMActivate") != nullptr;
}

BOOL SHSipPreference(HWND hwnd, SIPSTATE state) {
  if (state == SIP_UP) sim::WindowSystem::get().setInputPanel(true);
  if (state == SIP_DOWN || state == SIP_FORCEDOWN) sim::WindowSystem::get().setInputPanel(false);
  return TRUE;
}

BOOL SipShowIM(DWORD flags) {
  sim::WindowSystem::get().setInputPanel((flags & SIPF_ON) != 0);
  return TRUE;
}
