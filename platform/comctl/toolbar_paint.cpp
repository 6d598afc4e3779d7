// How a toolbar (and the command bar built on it) looks: a button-face bar, each
// button's image from the toolbar's image list (the program's, or the one TB_ADDBITMAP
// fills), or its label; a pressed or checked button sunk, a disabled one grayed, a
// separator a gap with an etched line.
#include "comctl/toolbar_paint.h"

#include "user/draw.h"

namespace sim {

namespace {

void DrawImage(HDC dc, const ToolbarState& s, const ToolbarButton& button, const RECT& rect, bool enabled, bool down) {
  int width = 0, height = 0;
  if (!s.imageList || button.image < 0 || !ImageList_GetIconSize(s.imageList, &width, &height)) return;
  if (button.image >= ImageList_GetImageCount(s.imageList)) return;
  const int shift = down ? Scaled(1) : 0;
  const int x = (rect.left + rect.right - width) / 2 + shift;
  const int y = (rect.top + rect.bottom - height) / 2 + shift;
  // A disabled image shows dithered with the button face: it reads as grayed.
  ImageList_DrawEx(s.imageList, button.image, dc, x, y, 0, 0, CLR_NONE,
                   enabled ? CLR_NONE : GetSysColor(COLOR_BTNFACE), ILD_TRANSPARENT | (enabled ? 0 : ILD_BLEND50));
}

void DrawLabel(HDC dc, const ToolbarButton& button, RECT rect, bool enabled, bool down) {
  if (down) OffsetRect(&rect, Scaled(1), Scaled(1));
  SetTextColor(dc, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  DrawTextW(dc, button.label.c_str(), static_cast<int>(button.label.size()), &rect,
            DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void DrawSeparator(HDC dc, const RECT& rect) {
  const LONG middle = (rect.left + rect.right) / 2;
  RECT line{middle - 1, rect.top + Scaled(2), middle + 1, rect.bottom - Scaled(2)};
  DrawEdge(dc, &line, EDGE_ETCHED, BF_LEFT);
}

void DrawButton(HDC dc, const ToolbarState& s, const ToolbarButton& button, const RECT& rect) {
  if (button.state & TBSTATE_HIDDEN) return;
  if (button.style & TBSTYLE_SEP) {
    DrawSeparator(dc, rect);
    return;
  }
  const bool enabled = (button.state & TBSTATE_ENABLED) != 0;
  const bool down = (button.state & (TBSTATE_PRESSED | TBSTATE_CHECKED)) != 0;
  RECT face = rect;
  if (button.state & TBSTATE_CHECKED && !(button.state & TBSTATE_PRESSED)) FillWithSysColor(dc, face, COLOR_3DLIGHT);
  if (down) DrawEdge(dc, &face, BDR_SUNKENOUTER, BF_RECT);
  if (!button.label.empty() && (button.image < 0 || !s.imageList))
    DrawLabel(dc, button, rect, enabled, down);
  else
    DrawImage(dc, s, button, rect, enabled, down);
}

}  // namespace

void PaintToolbar(HWND hwnd, const ToolbarState& s) {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(hwnd, &paint);
  RECT client{};
  GetClientRect(hwnd, &client);
  FillWithSysColor(dc, client, COLOR_BTNFACE);
  if (!(GetWindowLongW(hwnd, GWL_STYLE) & CCS_NODIVIDER)) {
    RECT top{client.left, client.top, client.right, client.top + 2};
    DrawEdge(dc, &top, EDGE_ETCHED, BF_TOP);
  }
  HGDIOBJ font = UseSystemFont(dc);
  SetBkMode(dc, TRANSPARENT);
  for (std::size_t i = 0; i < s.buttons.size(); ++i) DrawButton(dc, s, s.buttons[i], ToolbarButtonRect(s, static_cast<int>(i)));
  SelectObject(dc, font);
  EndPaint(hwnd, &paint);
}

}  // namespace sim
