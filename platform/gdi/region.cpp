#include "gdi/region.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace sim {
namespace {

constexpr LONG kNoLine = std::numeric_limits<LONG>::max();

// Walks a region's bands downwards.
class BandCursor {
 public:
  explicit BandCursor(std::span<const RECT> rects) : rects_(rects) {}

  // Passes the bands that end at or above line y.
  void passTo(LONG y) {
    while (at_ < rects_.size() && rects_[at_].bottom <= y) at_ = bandEnd();
  }
  // The first band edge below line y, once passed to it (kNoLine after the last band).
  LONG nextEdge(LONG y) const {
    if (at_ >= rects_.size()) return kNoLine;
    return rects_[at_].top > y ? rects_[at_].top : rects_[at_].bottom;
  }
  // The band covering line y, once passed to it; empty when none does.
  std::span<const RECT> bandAt(LONG y) const {
    if (at_ >= rects_.size() || rects_[at_].top > y) return {};
    return rects_.subspan(at_, bandEnd() - at_);
  }

 private:
  std::size_t bandEnd() const {
    std::size_t end = at_;
    while (end < rects_.size() && rects_[end].top == rects_[at_].top) ++end;
    return end;
  }

  std::span<const RECT> rects_;
  std::size_t at_ = 0;
};

// Sweeps two bands' columns left to right and adds, as rectangles from top to
// bottom, the runs of columns where `keep` holds.
template <class Keep>
void CombineBands(std::span<const RECT> a, std::span<const RECT> b, Keep keep, LONG top, LONG bottom,
                  RectList& out) {
  std::size_t ia = 0, ib = 0;
  bool inA = false, inB = false, keeping = false;
  LONG start = 0;
  for (;;) {
    const LONG nextA = ia < a.size() ? (inA ? a[ia].right : a[ia].left) : kNoLine;
    const LONG nextB = ib < b.size() ? (inB ? b[ib].right : b[ib].left) : kNoLine;
    const LONG x = std::min(nextA, nextB);
    if (x == kNoLine) return;
    if (nextA == x) ia += std::exchange(inA, !inA) ? 1 : 0;
    if (nextB == x) ib += std::exchange(inB, !inB) ? 1 : 0;
    const bool keepNow = keep(inA, inB);
    if (keepNow && !keeping) start = x;
    if (!keepNow && keeping) out.push_back(RECT{start, top, x, bottom});
    keeping = keepNow;
  }
}

bool Covers(const RECT& outer, const RECT& inner) {
  return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
         outer.bottom >= inner.bottom;
}

}  // namespace

RECT RectIntersection(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  return RectEmpty(r) ? RECT{0, 0, 0, 0} : r;
}

Region::Region(const RECT& rect) {
  if (!RectEmpty(rect)) rects_.push_back(rect);
}

RECT Region::bounds() const {
  if (rects_.empty()) return RECT{0, 0, 0, 0};
  RECT box = rects_[0];
  for (const RECT& r : rects_) {
    box.left = std::min(box.left, r.left);
    box.right = std::max(box.right, r.right);
    box.bottom = std::max(box.bottom, r.bottom);
  }
  return box;
}

int Region::complexity() const {
  if (rects_.empty()) return NULLREGION;
  return rects_.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool Region::contains(int x, int y) const {
  for (const RECT& r : rects_)
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
  return false;
}

bool Region::intersects(const RECT& rect) const {
  for (const RECT& r : rects_)
    if (!RectEmpty(RectIntersection(r, rect))) return true;
  return false;
}

// The band added from rects_[first] on joins the band above when that one ends
// where it starts and covers the same columns.
void Region::joinLastBand(std::size_t first) {
  const std::size_t count = rects_.size() - first;
  if (count == 0 || first < count) return;
  const std::size_t above = first - count;
  const RECT& head = rects_[above];
  if (head.bottom != rects_[first].top) return;
  if (above > 0 && rects_[above - 1].top == head.top) return;  // that band has more rectangles
  for (std::size_t i = 0; i < count; ++i) {
    const RECT &up = rects_[above + i], &down = rects_[first + i];
    if (up.top != head.top || up.left != down.left || up.right != down.right) return;
  }
  for (std::size_t i = above; i < first; ++i) rects_[i].bottom = rects_[first].bottom;
  rects_.truncate(first);
}

// The combinations whose result is one of the two regions, nothing, or one
// rectangle, found from the bounds alone: most of what the window system asks.
// True when it put the result in `out`, which comes empty.
bool Region::combineAtOnce(const Region& other, Op op, Region& out) const {
  if (empty() || other.empty()) {
    if (op == Op::Intersect || (op == Op::Subtract && empty())) return true;
    out = empty() ? other : *this;
    return true;
  }
  const RECT mine = bounds(), theirs = other.bounds();
  const bool meet = !RectEmpty(RectIntersection(mine, theirs));
  switch (op) {
    case Op::Intersect:
      if (!meet) return true;
      if (rects_.size() == 1 && other.rects_.size() == 1) {
        out.rects_.push_back(RectIntersection(mine, theirs));
        return true;
      }
      if (other.rects_.size() == 1 && Covers(theirs, mine)) {
        out = *this;
        return true;
      }
      if (rects_.size() == 1 && Covers(mine, theirs)) {
        out = other;
        return true;
      }
      return false;
    case Op::Subtract:
      if (!meet) {
        out = *this;
        return true;
      }
      return other.rects_.size() == 1 && Covers(theirs, mine);
    case Op::Union:
    case Op::Xor:
      return false;
  }
  return false;
}

Region Region::combine(const Region& other, Op op) const {
  Region result;
  if (combineAtOnce(other, op, result)) return result;
  auto keep = [op](bool inA, bool inB) {
    switch (op) {
      case Op::Union: return inA || inB;
      case Op::Intersect: return inA && inB;
      case Op::Subtract: return inA && !inB;
      case Op::Xor: return inA != inB;
    }
    return false;
  };
  // Between two successive band edges of either region neither changes its columns.
  BandCursor mine(rects_), theirs(other.rects_);
  LONG y = std::min(rects_[0].top, other.rects_[0].top);
  for (;;) {
    mine.passTo(y);
    theirs.passTo(y);
    const LONG next = std::min(mine.nextEdge(y), theirs.nextEdge(y));
    if (next == kNoLine) break;
    const std::size_t first = result.rects_.size();
    CombineBands(mine.bandAt(y), theirs.bandAt(y), keep, y, next, result.rects_);
    result.joinLastBand(first);
    y = next;
  }
  return result;
}

Region Region::united(const Region& other) const { return combine(other, Op::Union); }
Region Region::intersected(const Region& other) const { return combine(other, Op::Intersect); }
Region Region::subtracted(const Region& other) const { return combine(other, Op::Subtract); }
Region Region::exclusiveOr(const Region& other) const { return combine(other, Op::Xor); }

void Region::offset(int dx, int dy) {
  for (RECT& r : rects_) {
    r.left += dx;
    r.right += dx;
    r.top += dy;
    r.bottom += dy;
  }
}

bool Region::operator==(const Region& other) const {
  if (rects_.size() != other.rects_.size()) return false;
  for (std::size_t i = 0; i < rects_.size(); ++i) {
    const RECT &a = rects_[i], &b = other.rects_[i];
    if (a.left != b.left || a.top != b.top || a.right != b.right || a.bottom != b.bottom) return false;
  }
  return true;
}

}  // namespace sim
