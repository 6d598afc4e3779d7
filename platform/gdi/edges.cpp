// DrawEdge and DrawFocusRect.
#include "gdi/edges.h"

#include <windows.h>

namespace sim {
namespace {

struct EdgeColors {
  int topLeft;
  int bottomRight;
};

// The system colours of one ring of an edge: outer (BDR_*OUTER) or inner.
EdgeColors RingColors(UINT edge, bool outer) {
  UINT raised = outer ? BDR_RAISEDOUTER : BDR_RAISEDINNER, sunken = outer ? BDR_SUNKENOUTER : BDR_SUNKENINNER;
  if (edge & raised) return outer ? EdgeColors{COLOR_3DLIGHT, COLOR_3DDKSHADOW} : EdgeColors{COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW};
  if (edge & sunken) return outer ? EdgeColors{COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT} : EdgeColors{COLOR_3DDKSHADOW, COLOR_3DLIGHT};
  return EdgeColors{-1, -1};
}

void Ring(Canvas& canvas, RECT& r, EdgeColors colors, UINT flags) {
  if (colors.topLeft < 0 || RectEmpty(r)) return;
  if (flags & BF_MONO) colors = EdgeColors{COLOR_WINDOWFRAME, COLOR_WINDOWFRAME};
  else if (flags & BF_FLAT) colors = EdgeColors{COLOR_BTNSHADOW, COLOR_BTNSHADOW};
  Paint light = canvas.solid(GetSysColor(colors.topLeft)), dark = canvas.solid(GetSysColor(colors.bottomRight));
  if (flags & BF_TOP) canvas.fillRect(RECT{r.left, r.top, r.right, r.top + 1}, light);
  if (flags & BF_LEFT) canvas.fillRect(RECT{r.left, r.top, r.left + 1, r.bottom}, light);
  if (flags & BF_BOTTOM) canvas.fillRect(RECT{r.left, r.bottom - 1, r.right, r.bottom}, dark);
  if (flags & BF_RIGHT) canvas.fillRect(RECT{r.right - 1, r.top, r.right, r.bottom}, dark);
  if (flags & BF_TOP) ++r.top;
  if (flags & BF_LEFT) ++r.left;
  if (flags & BF_BOTTOM) --r.bottom;
  if (flags & BF_RIGHT) --r.right;
}

}  // namespace

RECT PaintEdge(Canvas& canvas, RECT rect, UINT edge, UINT flags) {
  Ring(canvas, rect, RingColors(edge, true), flags);
  if (!(flags & (BF_FLAT | BF_MONO))) Ring(canvas, rect, RingColors(edge, false), flags);
  if (flags & BF_MIDDLE) canvas.fillRect(rect, canvas.solid(GetSysColor((flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE)));
  return rect;
}

}  // namespace sim

BOOL DrawEdge(HDC dc, LPRECT rect, UINT edge, UINT flags) {
  sim::DeviceContext* context = sim::ContextOf(dc, "DrawEdge");
  if (!context) return FALSE;
  if (!rect) return sim::FailWithError(ERROR_INVALID_PARAMETER, FALSE);
  sim::Canvas canvas(*context);
  RECT inside = sim::PaintEdge(canvas, context->toTarget(*rect), edge, flags);
  if (flags & BF_ADJUST) *rect = RECT{inside.left - context->origin.x, inside.top - context->origin.y,
                                      inside.right - context->origin.x, inside.bottom - context->origin.y};
  return TRUE;
}

// A dotted frame drawn by inverting every other pixel, so a second call removes it.
BOOL DrawFocusRect(HDC dc, const RECT* rect) {
  sim::DeviceContext* context = sim::ContextOf(dc, "DrawFocusRect");
  if (!context) return FALSE;
  if (!rect) return sim::FailWithError(ERROR_INVALID_PARAMETER, FALSE);
  RECT r = context->toTarget(*rect);
  if (sim::RectEmpty(r)) return TRUE;
  sim::Canvas canvas(*context);
  sim::Paint none;  // the inversion does not look at the pattern
  auto dot = [&](int x, int y) {
    if (((x + y) & 1) == 0) canvas.fillRect(RECT{x, y, x + 1, y + 1}, none, 0x55);
  };
  for (int x = r.left; x < r.right; ++x) {
    dot(x, r.top);
    if (r.bottom - 1 > r.top) dot(x, r.bottom - 1);
  }
  for (int y = r.top + 1; y < r.bottom - 1; ++y) {
    dot(r.left, y);
    if (r.right - 1 > r.left) dot(r.right - 1, y);
  }
  return TRUE;
}
