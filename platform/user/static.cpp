// The STATIC window procedure. An image static keeps the handle it was given (it does
// not own it); a handle that is no longer a live object is refused and reported.
#include "user/static.h"

#include <string>

#include "gdi/gdi_objects.h"
#include "user/system_classes.h"
#include "user/window.h"

namespace sim {

namespace {

StaticState* StateOf(HWND hwnd) {
  Window* window = WindowSystem::get().find(hwnd);
  return window ? &window->state<StaticState>() : nullptr;
}

DWORD TypeOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)) & SS_TYPEMASK; }

bool Usable(HANDLE image, std::initializer_list<GdiKind> kinds, const char* operation) {
  return image == nullptr || GdiObjects::get().checked(image, kinds, operation) != nullptr;
}

LRESULT SetIcon(HWND hwnd, StaticState& state, HICON icon, const char* operation) {
  if (TypeOf(hwnd) != SS_ICON) return 0;
  if (!Usable(icon, {GdiKind::Icon, GdiKind::Cursor}, operation)) return 0;
  HICON previous = state.icon;
  state.icon = icon;
  FitStaticToImage(hwnd, icon);
  InvalidateRect(hwnd, nullptr, TRUE);
  return reinterpret_cast<LRESULT>(previous);
}

LRESULT SetBitmap(HWND hwnd, StaticState& state, HBITMAP bitmap) {
  if (TypeOf(hwnd) != SS_BITMAP) return 0;
  if (!Usable(bitmap, {GdiKind::Bitmap}, "STM_SETIMAGE")) return 0;
  HBITMAP previous = state.bitmap;
  state.bitmap = bitmap;
  FitStaticToImage(hwnd, bitmap);
  InvalidateRect(hwnd, nullptr, TRUE);
  return reinterpret_cast<LRESULT>(previous);
}

}  // namespace

LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  StaticState* state = StateOf(hwnd);
  if (!state) return DefWindowProcW(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_GETDLGCODE:
      return DLGC_STATIC;
    case STM_SETICON:
      return SetIcon(hwnd, *state, reinterpret_cast<HICON>(wParam), "STM_SETICON");
    case STM_GETICON:
      return reinterpret_cast<LRESULT>(state->icon);
    case STM_SETIMAGE:
      if (wParam == IMAGE_ICON || wParam == IMAGE_CURSOR)
        return SetIcon(hwnd, *state, reinterpret_cast<HICON>(lParam), "STM_SETIMAGE");
      if (wParam == IMAGE_BITMAP) return SetBitmap(hwnd, *state, reinterpret_cast<HBITMAP>(lParam));
      return 0;
    case STM_GETIMAGE:
      if (wParam == IMAGE_ICON || wParam == IMAGE_CURSOR) return reinterpret_cast<LRESULT>(state->icon);
      if (wParam == IMAGE_BITMAP) return reinterpret_cast<LRESULT>(state->bitmap);
      return 0;
    case WM_LBUTTONUP:
      if (GetWindowLongW(hwnd, GWL_STYLE) & SS_NOTIFY) NotifyParent(hwnd, STN_CLICKED);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      return 0;
    case WM_PAINT:
      PaintStatic(hwnd, *state);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_ENABLE:
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_SETTEXT: {
      LRESULT result = DefWindowProcW(hwnd, msg, wParam, lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return result;
    }
    default:
      return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

}  // namespace sim
