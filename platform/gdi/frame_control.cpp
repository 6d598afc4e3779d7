// DrawFrameControl: push buttons, check boxes, radio buttons and scroll arrows,
// drawn in the platform's own design from edges and simple shapes.
#include <algorithm>
#include <vector>

#include <windows.h>

#include "gdi/canvas.h"
#include "gdi/edges.h"
#include "gdi/shapes.h"

namespace {

using sim::Canvas;
using sim::Paint;

COLORREF Sys(int index) { return GetSysColor(index); }

void PushButton(Canvas& canvas, RECT r, UINT state) {
  UINT edge = (state & (DFCS_PUSHED | DFCS_CHECKED)) ? EDGE_SUNKEN : EDGE_RAISED;
  UINT flags = BF_RECT | BF_MIDDLE | ((state & DFCS_FLAT) ? BF_FLAT : 0) | ((state & DFCS_MONO) ? BF_MONO : 0);
  sim::PaintEdge(canvas, r, edge, flags);
}

// The box part of a check box or radio button: a square at the left middle.
RECT MarkBox(const RECT& r) {
  int size = static_cast<int>(std::min(r.right - r.left, r.bottom - r.top));
  int top = r.top + (r.bottom - r.top - size) / 2;
  return RECT{r.left, top, r.left + size, top + size};
}

// A check mark of our own: a short stroke down and a long stroke up, two pixels thick.
void CheckMark(Canvas& canvas, const RECT& box, const Paint& ink) {
  int w = box.right - box.left, h = box.bottom - box.top;
  auto at = [&](int ux, int uy) { return POINT{box.left + ux * w / 12, box.top + uy * h / 12}; };
  std::vector<POINT> mark = {at(2, 6), at(5, 9), at(10, 3), at(10, 5), at(5, 11), at(2, 8)};
  sim::FillPolygon(canvas, mark, ink);
}

void CheckBox(Canvas& canvas, const RECT& r, UINT state) {
  RECT box = MarkBox(r);
  bool dim = state & (DFCS_INACTIVE | DFCS_PUSHED);
  RECT inside = sim::PaintEdge(canvas, box, EDGE_SUNKEN, BF_RECT | ((state & DFCS_FLAT) ? BF_FLAT : 0) |
                                                             ((state & DFCS_MONO) ? BF_MONO : 0));
  canvas.fillRect(inside, canvas.solid(Sys(dim ? COLOR_BTNFACE : COLOR_WINDOW)));
  if (state & DFCS_CHECKED) CheckMark(canvas, inside, canvas.solid(Sys((state & DFCS_INACTIVE) ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT)));
}

void FillEllipse(Canvas& canvas, const RECT& box, const Paint& paint) {
  for (int y = box.top; y < box.bottom; ++y) {
    auto [left, right] = sim::EllipseSpan(box, y);
    canvas.fillSpan(y, left, right, paint);
  }
}

void RadioButton(Canvas& canvas, const RECT& r, UINT state) {
  RECT box = MarkBox(r);
  bool dim = state & (DFCS_INACTIVE | DFCS_PUSHED);
  FillEllipse(canvas, box, canvas.solid(Sys(COLOR_BTNSHADOW)));
  RECT inside{box.left + 1, box.top + 1, box.right - 1, box.bottom - 1};
  FillEllipse(canvas, inside, canvas.solid(Sys(dim ? COLOR_BTNFACE : COLOR_WINDOW)));
  if (!(state & DFCS_CHECKED)) return;
  int inset = std::max<int>(2, (box.right - box.left) / 3);
  RECT dot{box.left + inset, box.top + inset, box.right - inset, box.bottom - inset};
  FillEllipse(canvas, dot, canvas.solid(Sys((state & DFCS_INACTIVE) ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT)));
}

// A raised button with a solid triangle pointing the way it scrolls.
void ScrollArrow(Canvas& canvas, const RECT& r, UINT state) {
  PushButton(canvas, r, state);
  int w = r.right - r.left, h = r.bottom - r.top;
  int size = std::max(2, std::min(w, h) / 4);
  int cx = r.left + w / 2 + ((state & DFCS_PUSHED) ? 1 : 0), cy = r.top + h / 2 + ((state & DFCS_PUSHED) ? 1 : 0);
  std::vector<POINT> arrow;
  switch (state & 0x0F) {
    case DFCS_SCROLLUP: arrow = {{cx, cy - size}, {cx + size + 1, cy + size / 2 + 1}, {cx - size, cy + size / 2 + 1}}; break;
    case DFCS_SCROLLDOWN: arrow = {{cx - size, cy - size / 2}, {cx + size + 1, cy - size / 2}, {cx, cy + size + 1}}; break;
    case DFCS_SCROLLLEFT: arrow = {{cx - size, cy}, {cx + size / 2 + 1, cy - size}, {cx + size / 2 + 1, cy + size + 1}}; break;
    default: arrow = {{cx - size / 2, cy - size}, {cx + size + 1, cy}, {cx - size / 2, cy + size + 1}}; break;
  }
  sim::FillPolygon(canvas, arrow, canvas.solid(Sys((state & DFCS_INACTIVE) ? COLOR_GRAYTEXT : COLOR_BTNTEXT)));
}

}  // namespace

BOOL DrawFrameControl(HDC dc, LPRECT rect, UINT type, UINT state) {
  sim::DeviceContext* context = sim::ContextOf(dc, "DrawFrameControl");
  if (!context) return FALSE;
  if (!rect) return sim::FailWithError(ERROR_INVALID_PARAMETER, FALSE);
  Canvas canvas(*context);
  RECT r = context->toTarget(*rect);
  if (type == DFC_SCROLL && (state & 0x0F) <= DFCS_SCROLLRIGHT) {
    ScrollArrow(canvas, r, state);
    return TRUE;
  }
  if (type != DFC_BUTTON) return sim::FailWithError(ERROR_INVALID_PARAMETER, FALSE);
  switch (state & 0x1F) {
    case DFCS_BUTTONPUSH: PushButton(canvas, r, state); return TRUE;
    case DFCS_BUTTONCHECK: CheckBox(canvas, r, state); return TRUE;
    case DFCS_BUTTONRADIO: RadioButton(canvas, r, state); return TRUE;
    default: return sim::FailWithError(ERROR_INVALID_PARAMETER, FALSE);
  }
}
