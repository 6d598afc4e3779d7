// Lines: MoveToEx, LineTo and Polyline with the context's pen.
#include <cstdlib>

#include <windows.h>

#include "gdi/canvas.h"
#include "gdi/shapes.h"

namespace sim {
namespace {

constexpr int kDashOn = 6;  // a dashed pen draws 6 pixels, then leaves 2
constexpr int kDashPeriod = 8;

void Stamp(Canvas& canvas, int x, int y, int width, const Paint& paint) {
  if (width <= 1) {
    canvas.plot(x, y, paint);
    return;
  }
  int before = (width - 1) / 2;
  canvas.fillRect(RECT{x - before, y - before, x - before + width, y - before + width}, paint);
}

}  // namespace

void StrokeLine(Canvas& canvas, POINT from, POINT to, LineStroke& stroke) {
  Paint paint = canvas.pen();
  if (paint.none) return;
  int width = canvas.penWidth();
  bool dashed = canvas.penStyle() == PS_DASH;
  int dx = std::abs(to.x - from.x), dy = -std::abs(to.y - from.y);
  int sx = from.x < to.x ? 1 : -1, sy = from.y < to.y ? 1 : -1;
  int error = dx + dy;
  int x = from.x, y = from.y;
  // The end point itself is not drawn, so that joined lines meet without overlap.
  while (x != to.x || y != to.y) {
    if (!dashed || stroke.phase % kDashPeriod < kDashOn) Stamp(canvas, x, y, width, paint);
    ++stroke.phase;
    int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      x += sx;
    }
    if (twice <= dx) {
      error += dx;
      y += sy;
    }
  }
}

}  // namespace sim

BOOL MoveToEx(HDC dc, int x, int y, LPPOINT previous) {
  sim::DeviceContext* context = sim::ContextOf(dc, "MoveToEx");
  if (!context) return FALSE;
  if (previous) *previous = context->attributes.position;
  context->attributes.position = POINT{x, y};
  return TRUE;
}

BOOL LineTo(HDC dc, int x, int y) {
  sim::DeviceContext* context = sim::ContextOf(dc, "LineTo");
  if (!context) return FALSE;
  sim::Canvas canvas(*context);
  sim::LineStroke stroke;
  POINT from = context->attributes.position;
  sim::StrokeLine(canvas, context->toTarget(from.x, from.y), context->toTarget(x, y), stroke);
  context->attributes.position = POINT{x, y};
  return TRUE;
}

BOOL Polyline(HDC dc, const POINT* points, int count) {
  sim::DeviceContext* context = sim::ContextOf(dc, "Polyline");
  if (!context) return FALSE;
  if (!points || count < 2) return sim::FailWithError(ERROR_INVALID_PARAMETER, FALSE);
  sim::Canvas canvas(*context);
  sim::LineStroke stroke;
  for (int i = 0; i + 1 < count; ++i)
    sim::StrokeLine(canvas, context->toTarget(points[i].x, points[i].y),
                    context->toTarget(points[i + 1].x, points[i + 1].y), stroke);
  return TRUE;
}
