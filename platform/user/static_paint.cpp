// How a STATIC looks: its text (left, centred or right, wrapped at words, or on one
// line with SS_LEFTNOWORDWRAP), its icon or its bitmap, on the brush its parent
// gives for WM_CTLCOLORSTATIC. An image static takes the size of its image, as on
// the device; with SS_CENTERIMAGE it keeps its size and centres the image.
#include <windows.h>

#include "gdi/gdi_objects.h"
#include "user/draw.h"
#include "user/paint_messages.h"
#include "user/static.h"
#include "user/window.h"

namespace sim {

namespace {

DWORD TypeOf(DWORD style) { return style & SS_TYPEMASK; }

// The image's size, or nothing when the handle is no longer a live image (a program
// destroyed it while the static still shows it: nothing is drawn then).
std::optional<SIZE> ImageSize(HANDLE image) {
  const GdiObject* object = GdiObjects::get().lookup(image);
  if (!object) return std::nullopt;
  if (const IconData* icon = object->as<IconData>(); icon && icon->color)
    return SIZE{icon->color->width(), icon->color->height()};
  if (const BitmapData* bitmap = object->as<BitmapData>(); bitmap && bitmap->pixels)
    return SIZE{bitmap->pixels->width(), bitmap->pixels->height()};
  return std::nullopt;
}

POINT ImageCorner(DWORD style, const RECT& client, SIZE size) {
  if (!(style & SS_CENTERIMAGE)) return POINT{0, 0};
  return POINT{(client.right - size.cx) / 2, (client.bottom - size.cy) / 2};
}

UINT TextFormat(DWORD style) {
  UINT format = (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
  switch (TypeOf(style)) {
    case SS_CENTER: return format | DT_CENTER | DT_WORDBREAK;
    case SS_RIGHT: return format | DT_RIGHT | DT_WORDBREAK;
    case SS_LEFTNOWORDWRAP: return format | DT_LEFT | DT_EXPANDTABS;
    default: return format | DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS;
  }
}

}  // namespace

void PaintStatic(HWND hwnd, const StaticState& state) {
  Window* window = WindowSystem::get().find(hwnd);
  if (!window) return;
  const DWORD style = window->style;
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(hwnd, &paint);
  RECT client{};
  GetClientRect(hwnd, &client);
  FillRect(dc, &client, ControlBrush(hwnd, dc, WM_CTLCOLORSTATIC));
  if (TypeOf(style) == SS_ICON && state.icon) {
    if (auto size = ImageSize(state.icon)) {
      POINT at = ImageCorner(style, client, *size);
      DrawIconEx(dc, at.x, at.y, state.icon, size->cx, size->cy, 0, nullptr, DI_NORMAL);
    }
  } else if (TypeOf(style) == SS_BITMAP && state.bitmap) {
    if (auto size = ImageSize(state.bitmap)) DrawBitmapAt(dc, state.bitmap, ImageCorner(style, client, *size));
  } else if (TypeOf(style) != SS_ICON && TypeOf(style) != SS_BITMAP) {
    SetBkMode(dc, TRANSPARENT);
    if (!WindowSystem::get().enabled(*window)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    HGDIOBJ font = UseSystemFont(dc);
    DrawTextW(dc, window->text.c_str(), static_cast<int>(window->text.size()), &client, TextFormat(style));
    SelectObject(dc, font);
  }
  EndPaint(hwnd, &paint);
}

void FitStaticToImage(HWND hwnd, HANDLE image) {
  Window* window = WindowSystem::get().find(hwnd);
  if (!window || !image || (window->style & SS_CENTERIMAGE)) return;
  auto size = ImageSize(image);
  if (!size || (window->width() == size->cx && window->height() == size->cy)) return;
  SetWindowPos(hwnd, nullptr, 0, 0, size->cx, size->cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace sim
