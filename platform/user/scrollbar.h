// The scroll bars of a window with WS_VSCROLL or WS_HSCROLL: part of its frame,
// drawn by the system from what SetScrollInfo gave, and tapped through the system
// (a tap on an arrow scrolls a line, on the track a page: WM_VSCROLL or WM_HSCROLL,
// then SB_ENDSCROLL).
//
// As on the device, a scroll bar whose range no longer needs scrolling goes away
// (its style bit is cleared and the client area grows), unless SIF_DISABLENOSCROLL
// asks to keep it, disabled.
#pragma once

#include <windows.h>

namespace sim {

struct Window;

struct ScrollBarState {
  int min = 0;
  int max = 100;
  UINT page = 0;
  int pos = 0;
  bool disabled = false;
};

struct WindowScrollBars {
  ScrollBarState vertical;
  ScrollBarState horizontal;
};

// Where a window's scroll bar lies, in window coordinates; empty when it has none.
RECT ScrollBarRect(const Window& window, bool vertical);
// Draws both scroll bars of a window on a context whose origin is the window's
// corner.
void DrawScrollBars(HDC dc, const Window& window);
// Draws a scroll bar in `rect`: the arrows at its ends and the thumb on its track.
void DrawScrollBar(HDC dc, const RECT& rect, bool vertical, const ScrollBarState& state);
// What a tap at `along` (pixels from the bar's start) asks: SB_LINEUP, SB_LINEDOWN,
// SB_PAGEUP, SB_PAGEDOWN; -1 on the thumb or a disabled bar.
int ScrollBarAction(const RECT& rect, bool vertical, const ScrollBarState& state, int along);
// A tap on a window's scroll bar (window coordinates), on the window's thread.
void TapScrollBar(HWND hwnd, bool vertical, POINT inWindow);

}  // namespace sim
