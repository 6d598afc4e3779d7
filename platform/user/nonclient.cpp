// The frame around a window's client area: its sizes, what a point hits, and how
// the system draws it (a dark outline, a dialog frame in the caption's colour, the
// caption with the window's title, a sunken client edge, scroll bars).
#include "user/nonclient.h"

#include <algorithm>

#include "gdi/dc.h"
#include "user/draw.h"
#include "user/screen_layout.h"
#include "user/scrollbar.h"
#include "user/window.h"

namespace sim {

namespace {

bool Inside(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

bool HasDialogFrame(const Window& window) {
  return (window.style & WS_DLGFRAME) != 0 || (window.exStyle & WS_EX_DLGMODALFRAME) != 0;
}

void DrawBorder(HDC dc, const Window& window, const Frame& frame) {
  if (frame.border == 0) return;
  const int s = WindowSystem::get().scale();
  RECT outer{0, 0, window.width(), window.height()};
  OutlineRect(dc, outer, GetSysColorBrush(COLOR_WINDOWFRAME), s);
  if (frame.border <= s) return;
  RECT band{outer.left + s, outer.top + s, outer.right - s, outer.bottom - s};
  OutlineRect(dc, band, GetSysColorBrush(COLOR_ACTIVECAPTION), frame.border - s);
}

void DrawCaption(HDC dc, const Window& window, const Frame& frame) {
  if (frame.caption == 0) return;
  const int s = WindowSystem::get().scale();
  RECT bar{frame.border, frame.border, window.width() - frame.border, frame.border + frame.caption};
  FillRect(dc, &bar, GetSysColorBrush(COLOR_ACTIVECAPTION));
  RECT text{bar.left + 4 * s, bar.top, bar.right - 4 * s, bar.bottom};
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
  HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FONT));
  DrawTextW(dc, window.text.c_str(), static_cast<int>(window.text.size()), &text,
            DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  SelectObject(dc, old);
}

// The sunken edge runs round the client area and its scroll bars.
void DrawClientEdge(HDC dc, const Window& window, const Frame& frame) {
  if (frame.edge == 0) return;
  RECT edge{frame.border, frame.border + frame.caption, window.width() - frame.border,
            window.height() - frame.border};
  DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
}

}  // namespace

int CaptionHeight() { return 20 * WindowSystem::get().scale(); }

Frame FrameOf(const Window& window) {
  Frame frame;
  const int s = WindowSystem::get().scale();
  if (!window.shellFrame) {
    if (HasDialogFrame(window))
      frame.border = 3 * s;
    else if (window.style & WS_BORDER)
      frame.border = s;
    if ((window.style & WS_CAPTION) == WS_CAPTION) frame.caption = CaptionHeight();
  }
  if (window.exStyle & WS_EX_CLIENTEDGE) frame.edge = 2 * s;
  frame.left = frame.right = frame.bottom = frame.border + frame.edge;
  frame.top = frame.border + frame.caption + frame.edge;
  if (window.style & WS_VSCROLL) frame.right += GetSystemMetrics(SM_CXVSCROLL);
  if (window.style & WS_HSCROLL) frame.bottom += GetSystemMetrics(SM_CYHSCROLL);
  return frame;
}

RECT ClientAreaOf(const Window& window) {
  Frame frame = FrameOf(window);
  const int width = window.width();
  const int height = window.height();
  RECT client{std::min(frame.left, width), std::min(frame.top, height), 0, 0};
  client.right = std::max(static_cast<int>(client.left), width - frame.right);
  client.bottom = std::max(static_cast<int>(client.top), height - frame.bottom);
  return client;
}

WindowPart PartAt(const Window& window, POINT at) {
  if (!Inside(RECT{0, 0, window.width(), window.height()}, at)) return WindowPart::Nowhere;
  if (Inside(ClientAreaOf(window), at)) return WindowPart::Client;
  RECT vertical = ScrollBarRect(window, true);
  RECT horizontal = ScrollBarRect(window, false);
  if (Inside(vertical, at)) return WindowPart::VerticalScroll;
  if (Inside(horizontal, at)) return WindowPart::HorizontalScroll;
  if (!IsRectEmpty(&vertical) && !IsRectEmpty(&horizontal) && at.x >= vertical.left && at.y >= horizontal.top)
    return WindowPart::SizeCorner;
  Frame frame = FrameOf(window);
  if (frame.caption > 0 && at.y >= frame.border && at.y < frame.border + frame.caption && at.x >= frame.border &&
      at.x < window.width() - frame.border)
    return WindowPart::Caption;
  return WindowPart::Border;
}

void TapFrame(HWND hwnd, WindowPart part, POINT screen) {
  auto& windows = WindowSystem::get();
  Window* window = windows.find(hwnd);
  if (!window || (part != WindowPart::VerticalScroll && part != WindowPart::HorizontalScroll)) return;
  RECT outer = windows.screenRect(*window);
  TapScrollBar(hwnd, part == WindowPart::VerticalScroll, POINT{screen.x - outer.left, screen.y - outer.top});
}

void DrawFrame(Window& window, const Region& damage) {
  auto& windows = WindowSystem::get();
  if (!windows.visible(window) || window.redrawOff) return;
  Frame frame = FrameOf(window);
  if (frame.left == 0 && frame.top == 0 && frame.right == 0 && frame.bottom == 0) return;
  Region clip = ScreenLayout::get().visibleRegion(window).intersected(damage).subtracted(windows.clientScreenRect(window));
  if (clip.empty()) return;
  RECT outer = windows.screenRect(window);
  HDC dc = OpenScreenContext(window.handle, POINT{outer.left, outer.top}, clip);
  DrawBorder(dc, window, frame);
  DrawCaption(dc, window, frame);
  DrawClientEdge(dc, window, frame);
  DrawScrollBars(dc, window);
  CloseContext(dc, "DrawFrame");
}

}  // namespace sim

BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL, DWORD exStyle) {
  if (!rect) return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
  sim::Window probe;
  probe.style = style;
  probe.exStyle = exStyle;
  sim::Frame frame = sim::FrameOf(probe);
  rect->left -= frame.left;
  rect->top -= frame.top;
  rect->right += frame.right;
  rect->bottom += frame.bottom;
  return TRUE;
}
