// Filled shapes: Rectangle, RoundRect, Ellipse and Polygon.
#include <algorithm>
#include <cmath>
#include <vector>

#include <windows.h>

#include "gdi/canvas.h"
#include "gdi/shapes.h"

namespace sim {
namespace {

using Span = std::pair<int, int>;

RECT Inset(const RECT& box, int inset) {
  return RECT{box.left + inset, box.top + inset, box.right - inset, box.bottom - inset};
}

Span RectangleRow(const RECT& box, int y, int inset) {
  RECT r = Inset(box, inset);
  if (y < r.top || y >= r.bottom) return {0, 0};
  return {r.left, r.right};
}

// How far a corner ellipse with radii (rx, ry) pulls line y in from the box's side;
// `fromEdge` is the distance of the line's middle from the box's top or bottom.
double CornerInset(double rx, double ry, double fromEdge) {
  if (ry <= 0 || fromEdge >= ry) return 0;
  double dy = (ry - fromEdge) / ry;
  return rx * (1 - std::sqrt(std::max(0.0, 1 - dy * dy)));
}

Span RoundedRow(const RECT& box, int y, int inset, int cornerWidth, int cornerHeight) {
  RECT r = Inset(box, inset);
  if (y < r.top || y >= r.bottom || r.left >= r.right) return {0, 0};
  double rx = std::min<double>(std::max(cornerWidth - 2 * inset, 0), r.right - r.left) / 2;
  double ry = std::min<double>(std::max(cornerHeight - 2 * inset, 0), r.bottom - r.top) / 2;
  double middle = y + 0.5;
  double fromEdge = std::min(middle - r.top, r.bottom - middle);
  double pull = CornerInset(rx, ry, fromEdge);
  int left = static_cast<int>(std::lround(r.left + pull)), right = static_cast<int>(std::lround(r.right - pull));
  return {left, right};
}

Span EllipseRow(const RECT& box, int y, int inset) {
  return RoundedRow(box, y, inset, box.right - box.left, box.bottom - box.top);
}

// Where the polygon's edges cross the middle of line y, left to right.
std::vector<double> Crossings(const std::vector<POINT>& points, int y) {
  std::vector<double> xs;
  double middle = y + 0.5;
  for (std::size_t i = 0; i < points.size(); ++i) {
    POINT a = points[i], b = points[(i + 1) % points.size()];
    if ((a.y <= middle) == (b.y <= middle)) continue;
    xs.push_back(a.x + (middle - a.y) * (b.x - a.x) / static_cast<double>(b.y - a.y));
  }
  std::sort(xs.begin(), xs.end());
  return xs;
}

RECT Normalized(int left, int top, int right, int bottom) {
  return RECT{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}

BOOL DrawShape(HDC dc, const char* operation, RECT box, const RowSpan& rows) {
  DeviceContext* context = ContextOf(dc, operation);
  if (!context) return FALSE;
  Canvas canvas(*context);
  PaintShape(canvas, context->toTarget(box), rows, true);
  return TRUE;
}

}  // namespace

// Fills inside the polygon by the alternate rule: a pixel is inside when its middle
// has an odd number of edges to its left.
void FillPolygon(Canvas& canvas, const std::vector<POINT>& points, const Paint& paint) {
  if (paint.none || points.size() < 3) return;
  auto [low, high] = std::minmax_element(points.begin(), points.end(),
                                         [](const POINT& a, const POINT& b) { return a.y < b.y; });
  for (int y = low->y; y < high->y; ++y) {
    std::vector<double> xs = Crossings(points, y);
    for (std::size_t i = 0; i + 1 < xs.size(); i += 2)
      canvas.fillSpan(y, static_cast<int>(std::ceil(xs[i] - 0.5)), static_cast<int>(std::ceil(xs[i + 1] - 0.5)), paint);
  }
}

std::pair<int, int> EllipseSpan(const RECT& box, int y) { return EllipseRow(box, y, 0); }

void PaintShape(Canvas& canvas, const RECT& outerBox, const RowSpan& rows, bool nullPenShrinks) {
  Paint pen = canvas.pen(), brush = canvas.brush();
  int width = pen.none ? 0 : canvas.penWidth();
  RECT box = outerBox;
  if (pen.none && nullPenShrinks) {
    --box.right;
    --box.bottom;
  }
  for (int y = box.top; y < box.bottom; ++y) {
    Span outer = rows(box, y, 0);
    if (outer.first >= outer.second) continue;
    Span inner = width ? rows(box, y, width) : outer;
    if (inner.first >= inner.second) {
      canvas.fillSpan(y, outer.first, outer.second, pen);
      continue;
    }
    canvas.fillSpan(y, outer.first, inner.first, pen);
    canvas.fillSpan(y, inner.first, inner.second, brush);
    canvas.fillSpan(y, inner.second, outer.second, pen);
  }
}

}  // namespace sim

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
  sim::DeviceContext* context = sim::ContextOf(dc, "Rectangle");
  if (!context) return FALSE;
  sim::Canvas canvas(*context);
  RECT box = context->toTarget(sim::Normalized(left, top, right, bottom));
  if (canvas.penStyle() != PS_DASH) {
    sim::PaintShape(canvas, box, sim::RectangleRow, true);
    return TRUE;
  }
  // A dashed outline runs round the rectangle as one line.
  canvas.fillRect(RECT{box.left + 1, box.top + 1, box.right - 1, box.bottom - 1}, canvas.brush());
  const POINT corners[] = {{box.left, box.top}, {box.right - 1, box.top}, {box.right - 1, box.bottom - 1},
                           {box.left, box.bottom - 1}, {box.left, box.top}};
  sim::LineStroke stroke;
  for (int i = 0; i < 4; ++i) sim::StrokeLine(canvas, corners[i], corners[i + 1], stroke);
  return TRUE;
}

BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height) {
  auto rows = [width, height](const RECT& box, int y, int inset) {
    return sim::RoundedRow(box, y, inset, std::abs(width), std::abs(height));
  };
  return sim::DrawShape(dc, "RoundRect", sim::Normalized(left, top, right, bottom), rows);
}

BOOL Ellipse(HDC dc, int left, int top, int right, int bottom) {
  return sim::DrawShape(dc, "Ellipse", sim::Normalized(left, top, right, bottom), sim::EllipseRow);
}

BOOL Polygon(HDC dc, const POINT* points, int count) {
  sim::DeviceContext* context = sim::ContextOf(dc, "Polygon");
  if (!context) return FALSE;
  if (!points || count < 2) return sim::FailWithError(ERROR_INVALID_PARAMETER, FALSE);
  std::vector<POINT> at;
  for (int i = 0; i < count; ++i) at.push_back(context->toTarget(points[i].x, points[i].y));
  sim::Canvas canvas(*context);
  sim::FillPolygon(canvas, at, canvas.brush());
  sim::LineStroke stroke;
  for (std::size_t i = 0; i < at.size(); ++i) sim::StrokeLine(canvas, at[i], at[(i + 1) % at.size()], stroke);
  return TRUE;
}
