// The STATIC class: text, an icon (SS_ICON) or a bitmap (SS_BITMAP).
#pragma once

#include <windows.h>

namespace sim {

struct StaticState {
  HICON icon = nullptr;      // SS_ICON
  HBITMAP bitmap = nullptr;  // SS_BITMAP
};

// WM_PAINT of a static (static_paint.cpp).
void PaintStatic(HWND hwnd, const StaticState& state);
// An image static takes the size of the image it is given.
void FitStaticToImage(HWND hwnd, HANDLE image);

}  // namespace sim
