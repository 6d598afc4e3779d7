#include "gdi/region.h"

#include <algorithm>

namespace sim {
namespace {

using Spans = std::vector<std::pair<int, int>>;

// The columns a region covers between two lines that cross no band edge.
Spans SpansAt(const std::vector<RECT>& rects, int top, int bottom) {
  Spans spans;
  for (const RECT& r : rects)
    if (r.top <= top && r.bottom >= bottom) spans.emplace_back(r.left, r.right);
  return spans;
}

bool Inside(const Spans& spans, int x) {
  for (const auto& [left, right] : spans)
    if (x >= left && x < right) return true;
  return false;
}

// Combines two span lists column by column at their edges.
template <class Keep>
Spans CombineSpans(const Spans& a, const Spans& b, Keep keep) {
  std::vector<int> edges;
  for (const auto& [l, r] : a) edges.insert(edges.end(), {l, r});
  for (const auto& [l, r] : b) edges.insert(edges.end(), {l, r});
  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
  Spans result;
  for (std::size_t i = 0; i + 1 < edges.size(); ++i) {
    int x = edges[i];
    if (!keep(Inside(a, x), Inside(b, x))) continue;
    if (!result.empty() && result.back().second == x)
      result.back().second = edges[i + 1];
    else
      result.emplace_back(x, edges[i + 1]);
  }
  return result;
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
  RECT box = rects_.front();
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

void Region::appendBand(int top, int bottom, const Spans& spans) {
  if (spans.empty()) return;
  // Merge with the band above when it ends here and covers the same columns.
  std::size_t count = spans.size();
  if (rects_.size() >= count) {
    std::size_t first = rects_.size() - count;
    bool same = rects_[first].bottom == top && (first == 0 || rects_[first - 1].top != rects_[first].top);
    for (std::size_t i = 0; same && i < count; ++i) {
      const RECT& r = rects_[first + i];
      same = r.top == rects_[first].top && r.bottom == top && r.left == spans[i].first && r.right == spans[i].second;
    }
    if (same) {
      for (std::size_t i = first; i < rects_.size(); ++i) rects_[i].bottom = bottom;
      return;
    }
  }
  for (const auto& [left, right] : spans) rects_.push_back(RECT{left, top, right, bottom});
}

Region Region::combine(const Region& other, Op op) const {
  std::vector<LONG> lines;
  for (const RECT& r : rects_) lines.insert(lines.end(), {r.top, r.bottom});
  for (const RECT& r : other.rects_) lines.insert(lines.end(), {r.top, r.bottom});
  std::sort(lines.begin(), lines.end());
  lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
  auto keep = [op](bool inA, bool inB) {
    switch (op) {
      case Op::Union: return inA || inB;
      case Op::Intersect: return inA && inB;
      case Op::Subtract: return inA && !inB;
      case Op::Xor: return inA != inB;
    }
    return false;
  };
  Region result;
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    int top = lines[i], bottom = lines[i + 1];
    Spans spans = CombineSpans(SpansAt(rects_, top, bottom), SpansAt(other.rects_, top, bottom), keep);
    result.appendBand(top, bottom, spans);
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
