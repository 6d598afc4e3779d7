// Small drawing helpers the window part's painting shares: outlines, the system
// font, sizes that double on a VGA screen.
#pragma once

#include <string_view>

#include <windows.h>

namespace sim {

// Pixels on this screen for a size designed for the 240 x 320 screen.
int Scaled(int pixels);
// An outline `thickness` pixels wide just inside `rect`.
void OutlineRect(HDC dc, const RECT& rect, HBRUSH brush, int thickness = 1);
// Fills `rect` with a system colour.
void FillWithSysColor(HDC dc, const RECT& rect, int colorIndex);
// Selects the system font, the one every control and dialog of the device draws
// its text with; gives the font it replaced.
HGDIOBJ UseSystemFont(HDC dc);
// The width of a text in the system font as DrawTextW lays it out (prefixes
// removed), and the height of one line; for layouts made without a device context.
int SystemTextWidth(std::u16string_view text, UINT format = DT_SINGLELINE);
int SystemLineHeight();

// Copies a bitmap's pixels to `at` as BitBlt with SRCCOPY would, without a memory
// context of its own (the system's drawing takes nothing a program may be denied).
void DrawBitmapAt(HDC dc, HBITMAP bitmap, POINT at);

// Marks of our own design, drawn centred in `box` in a solid colour: a tick, a
// round dot, and a small triangle pointing right (a submenu) or down (a drop-down).
void DrawTick(HDC dc, const RECT& box, COLORREF color);
void DrawDot(HDC dc, const RECT& box, COLORREF color);
void DrawArrowRight(HDC dc, const RECT& box, COLORREF color);
void DrawArrowDown(HDC dc, const RECT& box, COLORREF color);

}  // namespace sim
