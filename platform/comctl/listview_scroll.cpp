// The list view's scroll bars, scrolling by them, and painting again after a change.
#include <algorithm>

#include "comctl/listview_paint.h"

namespace sim::listview {

namespace {

struct Extent {
  bool vertical;
  int content;  // pixels the items take along the bar
  int page;     // pixels the window shows
  int position;
  int line;
};

Extent ExtentOf(HWND hwnd, ListViewState& s) {
  const Grid grid = GridOf(hwnd, s);
  RECT client{};
  GetClientRect(hwnd, &client);
  const int lines = (Count(s) + grid.perLine - 1) / grid.perLine;
  if (grid.view == LVS_LIST)
    return Extent{false, lines * grid.cellWidth, static_cast<int>(client.right), static_cast<int>(s.origin.x),
                  grid.cellWidth};
  return Extent{true, lines * grid.cellHeight, static_cast<int>(client.bottom) - grid.top,
                static_cast<int>(s.origin.y), grid.cellHeight};
}

void SetBar(HWND hwnd, int bar, int content, int page, int position) {
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = 0;
  info.nMax = std::max(content - 1, 0);
  info.nPage = static_cast<UINT>(std::max(page, 0));
  info.nPos = position;
  SetScrollInfo(hwnd, bar, &info, FALSE);
}

// Messages that only ask, and those that paint: nothing shown changes.
bool OnlyAsks(UINT message) {
  switch (message) {
    case LVM_GETITEMCOUNT: case LVM_GETITEMW: case LVM_GETITEMTEXTW: case LVM_GETNEXTITEM:
    case LVM_FINDITEMW: case LVM_GETITEMSTATE: case LVM_GETSELECTEDCOUNT: case LVM_GETEDITCONTROL:
    case LVM_GETIMAGELIST: case LVM_GETEXTENDEDLISTVIEWSTYLE: case LVM_GETCOLUMNW: case LVM_GETCOLUMNWIDTH:
    case LVM_GETITEMRECT: case LVM_HITTEST: case LVM_GETTOPINDEX: case LVM_GETCOUNTPERPAGE:
    case LVM_GETHEADER:
      return true;
    default:
      return false;
  }
}

}  // namespace

bool MayChangeLook(UINT message) {
  if (message >= LVM_FIRST && message < LVM_FIRST + 0x100) return !OnlyAsks(message);
  switch (message) {
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: case WM_RBUTTONDOWN:
    case WM_KEYDOWN: case WM_CHAR: case WM_TIMER: case WM_SETFOCUS: case WM_KILLFOCUS:
    case WM_SIZE: case WM_STYLECHANGED: case WM_VSCROLL: case WM_HSCROLL: case WM_COMMAND:
      return true;
    default:
      return false;
  }
}

void SyncScrollBars(HWND hwnd, ListViewState& s) {
  if (HasStyle(hwnd, LVS_NOSCROLL)) return;
  const Extent extent = ExtentOf(hwnd, s);
  SetBar(hwnd, extent.vertical ? SB_VERT : SB_HORZ, extent.content, extent.page, extent.position);
  // The other bar: the report view's columns may be wider than the window.
  int wide = 0;
  if (ViewOf(hwnd) == LVS_REPORT)
    for (const ListViewColumn& column : s.columns) wide += column.width;
  RECT client{};
  GetClientRect(hwnd, &client);
  SetBar(hwnd, extent.vertical ? SB_HORZ : SB_VERT, wide, static_cast<int>(client.right), static_cast<int>(s.origin.x));
}

void Scroll(HWND hwnd, ListViewState& s, bool vertical, WPARAM request) {
  const Extent extent = ExtentOf(hwnd, s);
  LONG& origin = vertical ? s.origin.y : s.origin.x;
  const int line = vertical == extent.vertical ? extent.line : 8;
  const int page = vertical == extent.vertical ? extent.page : line * 4;
  switch (LOWORD(request)) {
    case SB_LINEUP: origin -= line; break;
    case SB_LINEDOWN: origin += line; break;
    case SB_PAGEUP: origin -= std::max(page - line, line); break;
    case SB_PAGEDOWN: origin += std::max(page - line, line); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: origin = static_cast<short>(HIWORD(request)); break;
    default: return;
  }
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_RANGE | SIF_PAGE;
  GetScrollInfo(hwnd, vertical ? SB_VERT : SB_HORZ, &info);
  const LONG last = std::max<LONG>(info.nMax - static_cast<LONG>(info.nPage) + 1, 0);
  origin = std::clamp<LONG>(origin, 0, last);
  // Whole rows (columns in the list view) stay aligned with the window's edge.
  if (vertical == extent.vertical && origin != last) origin -= origin % line;
}

void RedrawAfter(HWND hwnd, const ListViewState& s, UINT message) {
  if (s.painting || s.destroying || !MayChangeLook(message) || !IsWindow(hwnd)) return;
  InvalidateRect(hwnd, nullptr, TRUE);
}

}  // namespace sim::listview
