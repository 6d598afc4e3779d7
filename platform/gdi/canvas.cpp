#include "gdi/canvas.h"

#include <algorithm>

#include "gdi/gdi_objects.h"

namespace sim {
namespace {

const PenData* PenOf(const DeviceContext& context) {
  const GdiObject* object = GdiObjects::get().lookup(context.attributes.pen);
  return object ? object->as<PenData>() : nullptr;
}

// A pattern brush's pixels in the target's values; a monochrome bitmap's two
// colours become the context's text (0) and background (1) colours.
Paint PatternPaint(const DeviceContext& context, const PixelBuffer& pattern) {
  const PixelBuffer& target = *context.target;
  Paint paint;
  paint.patternWidth = std::max(pattern.width(), 1);
  paint.patternHeight = std::max(pattern.height(), 1);
  paint.origin = context.origin;
  std::uint32_t zero = target.toNative(context.attributes.textColor);
  std::uint32_t one = target.toNative(context.attributes.backgroundColor);
  for (int y = 0; y < pattern.height(); ++y)
    for (int x = 0; x < pattern.width(); ++x)
      paint.pattern.push_back(pattern.monochrome() ? (pattern.native(x, y) ? one : zero)
                                                   : target.toNative(pattern.color(x, y)));
  return paint;
}

}  // namespace

std::uint32_t ApplyRop3(std::uint8_t rop3, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
  switch (rop3) {
    case 0x00: return 0;
    case 0xFF: return ~0u;
    case 0xCC: return s;
    case 0xF0: return p;
    case 0x55: return ~d;
    case 0x5A: return p ^ d;
    case 0x66: return s ^ d;
    case 0x88: return s & d;
    case 0xEE: return s | d;
    case 0x33: return ~s;
    default: break;
  }
  std::uint32_t result = 0;
  for (int i = 0; i < 8; ++i) {
    if (!(rop3 & (1 << i))) continue;
    result |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  }
  return result;
}

Paint Canvas::solid(COLORREF color) const {
  Paint paint;
  paint.solid = target_.toNative(color);
  return paint;
}

Paint Canvas::brush(HBRUSH handle) const {
  const GdiObject* object = GdiObjects::get().lookup(handle ? handle : context_.attributes.brush);
  const BrushData* data = object ? object->as<BrushData>() : nullptr;
  if (!data || data->style == BS_NULL) return Paint{true};
  if (data->style == BS_PATTERN && data->pattern) return PatternPaint(context_, *data->pattern);
  return solid(data->color);
}

Paint Canvas::pen() const {
  const PenData* data = PenOf(context_);
  if (!data || data->style == PS_NULL) return Paint{true};
  return solid(data->color);
}

int Canvas::penWidth() const {
  const PenData* data = PenOf(context_);
  return data ? std::max(data->width, 1) : 1;
}

int Canvas::penStyle() const {
  const PenData* data = PenOf(context_);
  return data ? data->style : PS_NULL;
}

void Canvas::fillSpan(int y, int x0, int x1, const Paint& paint, std::uint8_t rop3) {
  if (paint.none || x0 >= x1) return;
  std::uint32_t mask = target_.nativeMask();
  for (const RECT& r : context_.clip.rects()) {
    if (y < r.top || y >= r.bottom) continue;
    int left = std::max<int>(x0, r.left), right = std::min<int>(x1, r.right);
    if (left >= right) continue;
    if (rop3 == 0xF0 && paint.pattern.empty()) {
      target_.fillSpan(y, left, right, paint.solid);
      continue;
    }
    for (int x = left; x < right; ++x)
      target_.setNative(x, y, ApplyRop3(rop3, paint.at(x, y), 0, target_.native(x, y)) & mask);
  }
}

void Canvas::fillRect(const RECT& rect, const Paint& paint, std::uint8_t rop3) {
  if (paint.none) return;
  for (const RECT& part : clipped(rect)) {
    if (rop3 == 0xF0 && paint.pattern.empty()) {
      target_.fillRows(part.top, part.bottom, part.left, part.right, paint.solid);
      continue;
    }
    for (int y = part.top; y < part.bottom; ++y) {
      std::uint32_t mask = target_.nativeMask();
      for (int x = part.left; x < part.right; ++x)
        target_.setNative(x, y, ApplyRop3(rop3, paint.at(x, y), 0, target_.native(x, y)) & mask);
    }
  }
}

void Canvas::plot(int x, int y, const Paint& paint) {
  if (!paint.none && visible(x, y)) target_.setNative(x, y, paint.at(x, y));
}

RectList Canvas::clipped(const RECT& rect) const {
  RectList parts;
  for (const RECT& r : context_.clip.rects()) {
    RECT part = RectIntersection(r, rect);
    if (!RectEmpty(part)) parts.push_back(part);
  }
  return parts;
}

}  // namespace sim
