// Window longs: the procedure, styles, id, user data and the window extra values.
#include <windows.h>

#include "user/screen_layout.h"
#include "user/window.h"

namespace {

using sim::Window;

// Extra values are kept by index: the device's 4-byte slots hold a host LONG each,
// so DWL_MSGRESULT, DWL_DLGPROC and DWL_USER never overlap.
bool validExtraIndex(const Window& window, int index) {
  return index >= 0 && index + 4 <= window.windowClass->wndExtra;
}

// The window hears of a new style after the change (WM_STYLECHANGED), so that a
// control can take up what the style asks for.
LONG changeStyle(HWND hwnd, Window& window, int index, DWORD value) {
  DWORD& field = index == GWL_STYLE ? window.style : window.exStyle;
  STYLESTRUCT styles{field, value};
  {
    // A style may show or hide the window or change its frame.
    sim::ScreenChange change;
    field = value;
  }
  SendMessageW(hwnd, WM_STYLECHANGED, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&styles));
  return static_cast<LONG>(styles.styleOld);
}

}  // namespace

LONG GetWindowLongW(HWND hwnd, int index) {
  Window* window = sim::WindowSystem::get().checked(hwnd, "GetWindowLongW");
  if (!window) return 0;
  switch (index) {
    case GWL_WNDPROC: return reinterpret_cast<LONG>(window->proc);
    case GWL_STYLE: return static_cast<LONG>(window->style);
    case GWL_EXSTYLE: return static_cast<LONG>(window->exStyle);
    case GWL_ID: return window->id;
    case GWL_HINSTANCE: return reinterpret_cast<LONG>(window->instance);
    case GWL_USERDATA: return window->userData;
    case GWL_HWNDPARENT: {
      Window* relative = window->isChild() ? window->parent : window->owner;
      return relative ? reinterpret_cast<LONG>(relative->handle) : 0;
    }
    default:
      break;
  }
  if (!validExtraIndex(*window, index)) return sim::Fail<LONG>(ERROR_INVALID_INDEX, 0);
  auto it = window->extra.find(index);
  return it == window->extra.end() ? 0 : it->second;
}

LONG SetWindowLongW(HWND hwnd, int index, LONG value) {
  Window* window = sim::WindowSystem::get().checked(hwnd, "SetWindowLongW");
  if (!window) return 0;
  auto swap = [&](auto& field, auto newValue) {
    LONG old = static_cast<LONG>(field);
    field = newValue;
    return old;
  };
  SetLastError(0);
  switch (index) {
    case GWL_WNDPROC: {
      // Any program may replace any window's procedure (one address space); the
      // replacement runs on the window's own thread, with its installer's data.
      LONG old = reinterpret_cast<LONG>(window->proc);
      window->proc = reinterpret_cast<WNDPROC>(value);
      sim::RecordProcedureOwner(*window, reinterpret_cast<const void*>(window->proc));
      return old;
    }
    case GWL_STYLE:
    case GWL_EXSTYLE: return changeStyle(hwnd, *window, index, static_cast<DWORD>(value));
    case GWL_ID: return swap(window->id, value);
    case GWL_USERDATA: return swap(window->userData, value);
    case GWL_HINSTANCE: {
      LONG old = reinterpret_cast<LONG>(window->instance);
      window->instance = reinterpret_cast<HINSTANCE>(value);
      return old;
    }
    default:
      break;
  }
  if (!validExtraIndex(*window, index)) return sim::Fail<LONG>(ERROR_INVALID_INDEX, 0);
  if (index == DWL_DLGPROC) sim::RecordProcedureOwner(*window, reinterpret_cast<const void*>(value));
  return swap(window->extra[index], value);
}
