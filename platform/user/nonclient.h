// The non-client area: the frame a window's styles give it around its client area
// (caption, dialog frame, border, sunken client edge, scroll bars), how the system
// draws it, and what a point on a window hits.
//
// The device draws the frame itself, without WM_NCPAINT: whenever a part of a frame
// is uncovered, or its caption or scroll bars change, the window system draws that
// part at once. A full-screen dialog (SHInitDialog sizing it) has no frame of its
// own: the navigation bar shows its title.
#pragma once

#include <windows.h>

#include "gdi/region.h"

namespace sim {

struct Window;

// Thickness of the frame on each side, the caption included in `top`.
struct Frame {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int border = 0;   // the outer border (dialog frame or plain border) on each side
  int caption = 0;  // the caption bar's height, inside the border
  int edge = 0;     // the sunken client edge, inside the border and caption
};

Frame FrameOf(const Window& window);
// The client area in window coordinates (0, 0 is the window's top left).
RECT ClientAreaOf(const Window& window);
// The height of a window's caption bar on this screen.
int CaptionHeight();

// What a point of a window (window coordinates) is on.
enum class WindowPart { Nowhere, Client, Caption, Border, VerticalScroll, HorizontalScroll, SizeCorner };
WindowPart PartAt(const Window& window, POINT inWindow);

// A tap on a window's frame (screen point), on the window's own thread: a scroll
// bar scrolls; the caption and the border do nothing more than activate.
void TapFrame(HWND hwnd, WindowPart part, POINT screen);

// Draws the frame of `window` where it meets `damage` (screen pixels), clipped to
// the part of the window nothing covers.
void DrawFrame(Window& window, const Region& damage);

}  // namespace sim
