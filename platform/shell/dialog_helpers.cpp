// The pocket shell's dialog helpers: the title-bar OK button, sizing a dialog to the
// work area, and following the input panel.
#include <aygshell.h>

#include "kernel/faults.h"
#include "user/screen_layout.h"
#include "user/window.h"

namespace sim {
namespace {

void Place(HWND window, const RECT& place) {
  SetWindowPos(window, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

// Where SHInitDialog puts a dialog: below the navigation bar, down to the menu bar,
// or to the bottom of the screen with SHIDIF_FULLSCREENNOMENUBAR. Full-screen
// sizing ignores the input panel; SHIDIF_SIZEDLG alone stops above a raised one.
RECT InitialPlace(DWORD flags) {
  const WindowSystem& windows = WindowSystem::get();
  RECT place = windows.workArea();
  const bool fullScreen = (flags & (SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_FULLSCREENNOMENUBAR)) != 0;
  if (fullScreen && windows.inputPanel().raised) place.bottom += windows.inputPanel().height;
  if (flags & SHIDIF_FULLSCREENNOMENUBAR) place.bottom = windows.screenHeight();
  return place;
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
  if (!windows.checked(info->hDlg, "SHInitDialog")) return FALSE;
  if (info->dwFlags & SHIDIF_DONEBUTTON)
    SetWindowLongW(info->hDlg, GWL_EXSTYLE, GetWindowLongW(info->hDlg, GWL_EXSTYLE) | WS_EX_CAPTIONOKBTN);
  if (info->dwFlags & SHIDIF_SIPDOWN) windows.setInputPanel(false);
  if (info->dwFlags & (SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_FULLSCREENNOMENUBAR)) {
    // A dialog over the work area has no frame or caption of its own: the
    // navigation bar shows its title (and its OK button).
    if (Window* dialog = windows.find(info->hDlg)) {
      ScreenChange change;
      dialog->shellFrame = true;
    }
    Place(info->hDlg, InitialPlace(info->dwFlags));
  }
  return TRUE;
}

// With SPI_SETSIPINFO, or -1 to ask for it whatever changed, the window is sized
// from below the navigation bar to above the input panel when it is raised, or to
// the menu bar when it is lowered; any other setting leaves the window alone.
BOOL SHHandleWMSettingChange(HWND hwnd, WPARAM wParam, LPARAM lParam, PSHACTIVATEINFO info) {
  using namespace sim;
  WindowSystem& windows = WindowSystem::get();
  if (!windows.checked(hwnd, "SHHandleWMSettingChange")) return FALSE;
  if (wParam != SPI_SETSIPINFO && wParam != static_cast<WPARAM>(-1)) return TRUE;
  if (info) info->fSipUp = windows.inputPanel().raised ? 1 : 0;
  Place(hwnd, windows.workArea());
  return TRUE;
}

BOOL SipShowIM(DWORD flags) {
  sim::WindowSystem::get().setInputPanel((flags & SIPF_ON) != 0);
  return TRUE;
}
