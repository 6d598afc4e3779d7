// Shared pieces of the line and shape calls.
#pragma once

#include <functional>
#include <vector>

#include <windows.h>

#include "gdi/canvas.h"

namespace sim {

// Where a dashed pen is in its pattern, carried from one segment to the next.
struct LineStroke {
  int phase = 0;
};

// A line in target coordinates with the context's pen, leaving out the end point.
void StrokeLine(Canvas& canvas, POINT from, POINT to, LineStroke& stroke);

// The columns [left, right) a shape in `box` covers on line y, given the
// box's inset (0 for the outer edge, the pen width for the inside). Gives
// left >= right for a line the shape does not cover.
using RowSpan = std::function<std::pair<int, int>(const RECT& box, int y, int inset)>;

// Fills and outlines a convex shape given by its rows: the pen draws the rows
// of the outer shape that the inner shape (inset by the pen's width) leaves out.
void PaintShape(Canvas& canvas, const RECT& box, const RowSpan& rows, bool nullPenShrinks);

// The columns [left, right) of line y inside the ellipse that fills `box`.
std::pair<int, int> EllipseSpan(const RECT& box, int y);

// Fills the inside of a polygon (target coordinates) by the alternate rule.
void FillPolygon(Canvas& canvas, const std::vector<POINT>& points, const Paint& paint);

}  // namespace sim
