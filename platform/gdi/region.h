// Regions: sets of pixels kept as a list of rectangles, for clipping and for the
// window system's update and visible regions.
//
// The rectangles are disjoint and sorted into bands: every rectangle of a band has
// the same top and bottom, bands go downwards, rectangles in a band go rightwards
// and never touch, and a band is merged with the band above when both cover the
// same columns. So two regions with the same pixels have the same rectangles.
#pragma once

#include <optional>
#include <span>

#include <windows.h>

#include "gdi/rect_list.h"

namespace sim {

class Region {
 public:
  Region() = default;
  explicit Region(const RECT& rect);

  bool empty() const { return rects_.empty(); }
  std::span<const RECT> rects() const { return rects_; }
  // The smallest rectangle holding every pixel (all zero when empty).
  RECT bounds() const;
  // NULLREGION, SIMPLEREGION or COMPLEXREGION, as the device's calls answer.
  int complexity() const;
  bool contains(int x, int y) const;
  bool intersects(const RECT& rect) const;

  Region united(const Region& other) const;
  Region intersected(const Region& other) const;
  Region subtracted(const Region& other) const;
  Region exclusiveOr(const Region& other) const;
  Region intersected(const RECT& rect) const { return intersected(Region(rect)); }
  Region subtracted(const RECT& rect) const { return subtracted(Region(rect)); }
  void offset(int dx, int dy);

  bool operator==(const Region& other) const;

 private:
  enum class Op { Union, Intersect, Subtract, Xor };
  Region combine(const Region& other, Op op) const;
  bool combineAtOnce(const Region& other, Op op, Region& out) const;
  void joinLastBand(std::size_t first);

  RectList rects_;
};

// True when the rectangle holds no pixel.
inline bool RectEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
// The common part of two rectangles; empty (all zero) when they do not meet.
RECT RectIntersection(const RECT& a, const RECT& b);

}  // namespace sim
