// Window scroll bars: SetScrollInfo and the calls built on it, their drawing (an
// arrow button at each end, a raised thumb on a light track) and their taps.
#include "user/scrollbar.h"

#include <algorithm>

#include "user/draw.h"
#include "user/message_queue.h"
#include "user/nonclient.h"
#include "user/screen_layout.h"
#include "user/window.h"

namespace sim {

namespace {

DWORD StyleBit(bool vertical) { return vertical ? WS_VSCROLL : WS_HSCROLL; }

ScrollBarState& StateOf(Window& window, bool vertical) {
  WindowScrollBars& bars = window.state<WindowScrollBars>();
  return vertical ? bars.vertical : bars.horizontal;
}

// The page fits inside the range and the position inside what the page leaves.
void Normalize(ScrollBarState& state) {
  if (state.max < state.min) state.max = state.min;
  const UINT span = static_cast<UINT>(state.max - state.min) + 1;
  state.page = std::min(state.page, span);
  const int last = state.max - std::max(static_cast<int>(state.page) - 1, 0);
  state.pos = std::clamp(state.pos, state.min, std::max(state.min, last));
}

bool Needed(const ScrollBarState& state) {
  return state.max > state.min && state.page <= static_cast<UINT>(state.max - state.min);
}

// Arrow buttons are as long as the bar is thick; the thumb is at least as long too.
struct Track {
  int start;  // where the track begins, after the first arrow
  int length;
  int thumbStart;
  int thumbLength;
};

Track TrackOf(const RECT& rect, bool vertical, const ScrollBarState& state) {
  const int thick = vertical ? rect.right - rect.left : rect.bottom - rect.top;
  const int full = vertical ? rect.bottom - rect.top : rect.right - rect.left;
  Track track{thick, std::max(full - 2 * thick, 0), 0, 0};
  const int span = state.max - state.min + 1;
  if (state.disabled || !Needed(state) || track.length < thick) return track;
  const int page = std::max(static_cast<int>(state.page), 1);
  track.thumbLength = std::clamp(track.length * page / span, thick, track.length);
  const int room = track.length - track.thumbLength;
  const int steps = std::max(span - page, 1);
  track.thumbStart = track.start + room * (state.pos - state.min) / steps;
  return track;
}

RECT Along(const RECT& rect, bool vertical, int from, int length) {
  if (vertical) return RECT{rect.left, rect.top + from, rect.right, rect.top + from + length};
  return RECT{rect.left + from, rect.top, rect.left + from + length, rect.bottom};
}

void Redraw(Window& window) { DrawFrame(window, ScreenLayout::get().visibleRegion(window)); }

// A bar shown or hidden changes the client area, which the window hears as a size.
void SetVisible(Window& window, bool vertical, bool visible) {
  const DWORD bit = StyleBit(vertical);
  if (((window.style & bit) != 0) == visible) return;
  const HWND hwnd = window.handle;
  {
    ScreenChange change;
    window.style = visible ? (window.style | bit) : (window.style & ~bit);
  }
  if (Window* still = WindowSystem::get().find(hwnd)) {
    RECT client = ClientAreaOf(*still);
    SendMessageToWindow(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right - client.left, client.bottom - client.top));
  }
}

Window* ScrollWindow(HWND hwnd, int bar, const char* operation) {
  Window* window = WindowSystem::get().checked(hwnd, operation);
  if (!window) return nullptr;
  if (bar != SB_VERT && bar != SB_HORZ) return Fail<Window*>(ERROR_INVALID_PARAMETER, nullptr);
  return window;
}

}  // namespace

RECT ScrollBarRect(const Window& window, bool vertical) {
  if (!(window.style & StyleBit(vertical))) return RECT{};
  RECT client = ClientAreaOf(window);
  if (vertical) return RECT{client.right, client.top, client.right + GetSystemMetrics(SM_CXVSCROLL), client.bottom};
  return RECT{client.left, client.bottom, client.right, client.bottom + GetSystemMetrics(SM_CYHSCROLL)};
}

void DrawScrollBar(HDC dc, const RECT& rect, bool vertical, const ScrollBarState& state) {
  Track track = TrackOf(rect, vertical, state);
  const int thick = track.start;
  const bool inactive = state.disabled || !Needed(state);
  UINT first = vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT;
  UINT second = vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT;
  RECT before = Along(rect, vertical, 0, thick);
  RECT after = Along(rect, vertical, thick + track.length, thick);
  DrawFrameControl(dc, &before, DFC_SCROLL, first | (inactive ? DFCS_INACTIVE : 0));
  DrawFrameControl(dc, &after, DFC_SCROLL, second | (inactive ? DFCS_INACTIVE : 0));
  RECT trackRect = Along(rect, vertical, thick, track.length);
  FillWithSysColor(dc, trackRect, COLOR_SCROLLBAR);
  if (track.thumbLength == 0) return;
  RECT thumb = Along(rect, vertical, track.thumbStart, track.thumbLength);
  FillWithSysColor(dc, thumb, COLOR_BTNFACE);
  DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT);
}

void DrawScrollBars(HDC dc, const Window& window) {
  const WindowScrollBars* bars = const_cast<Window&>(window).findState<WindowScrollBars>();
  WindowScrollBars defaults;
  if (!bars) bars = &defaults;
  RECT vertical = ScrollBarRect(window, true);
  RECT horizontal = ScrollBarRect(window, false);
  if (!IsRectEmpty(&vertical)) DrawScrollBar(dc, vertical, true, bars->vertical);
  if (!IsRectEmpty(&horizontal)) DrawScrollBar(dc, horizontal, false, bars->horizontal);
  if (!IsRectEmpty(&vertical) && !IsRectEmpty(&horizontal)) {
    RECT corner{vertical.left, horizontal.top, vertical.right, horizontal.bottom};
    FillWithSysColor(dc, corner, COLOR_BTNFACE);
  }
}

int ScrollBarAction(const RECT& rect, bool vertical, const ScrollBarState& state, int along) {
  if (state.disabled || !Needed(state)) return -1;
  Track track = TrackOf(rect, vertical, state);
  if (along < track.start) return SB_LINEUP;
  if (along >= track.start + track.length) return SB_LINEDOWN;
  if (along < track.thumbStart) return SB_PAGEUP;
  if (along >= track.thumbStart + track.thumbLength) return SB_PAGEDOWN;
  return -1;
}

void TapScrollBar(HWND hwnd, bool vertical, POINT inWindow) {
  Window* window = WindowSystem::get().find(hwnd);
  if (!window) return;
  RECT rect = ScrollBarRect(*window, vertical);
  int along = vertical ? inWindow.y - rect.top : inWindow.x - rect.left;
  int action = ScrollBarAction(rect, vertical, StateOf(*window, vertical), along);
  if (action < 0) return;
  UINT message = vertical ? WM_VSCROLL : WM_HSCROLL;
  SendMessageToWindow(hwnd, message, MAKEWPARAM(action, 0), 0);
  if (IsWindow(hwnd)) SendMessageToWindow(hwnd, message, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
}

}  // namespace sim

using sim::ScrollBarState;

int SetScrollInfo(HWND hwnd, int bar, LPCSCROLLINFO info, BOOL redraw) {
  sim::Window* window = sim::ScrollWindow(hwnd, bar, "SetScrollInfo");
  if (!window) return 0;
  if (!info) return sim::Fail(ERROR_INVALID_PARAMETER, 0);
  const bool vertical = bar == SB_VERT;
  ScrollBarState& state = sim::StateOf(*window, vertical);
  if (info->fMask & SIF_RANGE) {
    state.min = info->nMin;
    state.max = info->nMax;
  }
  if (info->fMask & SIF_PAGE) state.page = info->nPage;
  if (info->fMask & SIF_POS) state.pos = info->nPos;
  sim::Normalize(state);
  const int pos = state.pos;
  const bool needed = sim::Needed(state);
  state.disabled = !needed && (info->fMask & SIF_DISABLENOSCROLL);
  if (info->fMask & (SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL))
    sim::SetVisible(*window, vertical, needed || (info->fMask & SIF_DISABLENOSCROLL));
  if (redraw && (window = sim::WindowSystem::get().find(hwnd))) sim::Redraw(*window);
  return pos;
}

BOOL GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO info) {
  sim::Window* window = sim::ScrollWindow(hwnd, bar, "GetScrollInfo");
  if (!window) return FALSE;
  if (!info) return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
  const ScrollBarState& state = sim::StateOf(*window, bar == SB_VERT);
  if (info->fMask & SIF_RANGE) {
    info->nMin = state.min;
    info->nMax = state.max;
  }
  if (info->fMask & SIF_PAGE) info->nPage = state.page;
  if (info->fMask & SIF_POS) info->nPos = state.pos;
  if (info->fMask & SIF_TRACKPOS) info->nTrackPos = state.pos;
  return TRUE;
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
  sim::Window* window = sim::ScrollWindow(hwnd, bar, "SetScrollPos");
  if (!window) return 0;
  ScrollBarState& state = sim::StateOf(*window, bar == SB_VERT);
  const int previous = state.pos;
  SCROLLINFO info{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, pos, 0};
  SetScrollInfo(hwnd, bar, &info, redraw);
  return previous;
}

int GetScrollPos(HWND hwnd, int bar) {
  SCROLLINFO info{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, 0, 0};
  return GetScrollInfo(hwnd, bar, &info) ? info.nPos : 0;
}

BOOL SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw) {
  if (!sim::ScrollWindow(hwnd, bar, "SetScrollRange")) return FALSE;
  SCROLLINFO info{sizeof(SCROLLINFO), SIF_RANGE, minPos, maxPos, 0, 0, 0};
  SetScrollInfo(hwnd, bar, &info, redraw);
  return TRUE;
}

BOOL GetScrollRange(HWND hwnd, int bar, LPINT minPos, LPINT maxPos) {
  SCROLLINFO info{sizeof(SCROLLINFO), SIF_RANGE, 0, 0, 0, 0, 0};
  if (!GetScrollInfo(hwnd, bar, &info)) return FALSE;
  if (minPos) *minPos = info.nMin;
  if (maxPos) *maxPos = info.nMax;
  return TRUE;
}
