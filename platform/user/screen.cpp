// Screen metrics and the work area (system colours are the drawing part's).
#include <windows.h>

#include "user/window.h"

int GetSystemMetrics(int index) {
  auto& windows = sim::WindowSystem::get();
  const int s = windows.scale();
  switch (index) {
    case SM_CXSCREEN: return windows.screenWidth();
    case SM_CYSCREEN: return windows.screenHeight();
    case SM_CXVSCROLL:
    case SM_CYHSCROLL: return 13 * s;
    case SM_CYCAPTION: return sim::WindowSystem::kTitleBarHeight * s;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3 * s;
    case SM_CXICON:
    case SM_CYICON: return 32 * s;
    case SM_CYMENU: return sim::WindowSystem::kMenuBarHeight * s;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16 * s;
    default: return 0;
  }
}

BOOL SystemParametersInfoW(UINT action, UINT, PVOID value, UINT) {
  switch (action) {
    case SPI_GETWORKAREA:
      if (!value) return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
      *static_cast<RECT*>(value) = sim::WindowSystem::get().workArea();
      return TRUE;
    default:
      return sim::Fail(ERROR_NOT_SUPPORTED, FALSE);
  }
}
