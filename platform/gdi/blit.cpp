#include "gdi/blit.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "gdi/gdi_objects.h"

namespace sim {
namespace {

// Turns source values into target values, with a table for small sources.
class SourceConverter {
 public:
  SourceConverter(const BlitSource& source, const PixelBuffer& target, const DcAttributes& attributes)
      : source_(source), target_(target) {
    const PixelBuffer& pixels = *source.pixels;
    if (source.monochromeDevice && !target.monochrome()) {
      table_ = {target.toNative(attributes.textColor), target.toNative(attributes.backgroundColor)};
    } else if (!pixels.monochrome() && target.monochrome()) {
      toMonochrome_ = true;
      background_ = pixels.toNative(source.background);
    } else if (pixels.format().layout == PixelLayout::Indexed) {
      for (COLORREF color : pixels.format().palette) table_.push_back(target.toNative(color));
    }
    same_ = table_.empty() && !toMonochrome_ && pixels.format().layout == target.format().layout;
  }

  std::uint32_t operator()(std::uint32_t value) const {
    if (same_) return value;
    if (toMonochrome_) return value == background_ ? 1u : 0u;
    if (!table_.empty()) return value < table_.size() ? table_[value] : 0u;
    return target_.toNative(source_.pixels->toColor(value));
  }
  bool identity() const { return same_; }

 private:
  const BlitSource& source_;
  const PixelBuffer& target_;
  std::vector<std::uint32_t> table_;
  bool toMonochrome_ = false;
  std::uint32_t background_ = 0;
  bool same_ = false;
};

bool LeftOut(const BlitSource& source, std::uint32_t value) {
  if (!source.transparent) return false;
  const PixelBuffer& pixels = *source.pixels;
  if (pixels.format().layout == PixelLayout::Indexed) return pixels.toColor(value) == *source.transparent;
  return value == pixels.toNative(*source.transparent);
}

// Source column or row of target position `at` (0-based in the target rectangle).
int Map(int at, int targetSize, int sourceStart, int sourceSize) {
  if (targetSize == sourceSize) return sourceStart + at;
  return sourceStart + static_cast<int>(static_cast<long long>(at) * sourceSize / targetSize);
}

struct Mapping {
  RECT to;
  RECT from;
  bool mirrorX;
  bool mirrorY;
};

// A negative size runs from its start leftwards (or upwards) and includes the
// start pixel, as the device counts it: start 9 and width -10 cover 0..9.
void Normalize(LONG& start, LONG& end) {
  if (end >= start) return;
  LONG first = end + 1, last = start + 1;
  start = first;
  end = last;
}

// Normalizes negative sizes into a mirror of one axis.
Mapping MappingOf(const RECT& to, const RECT& from) {
  bool flipTo = to.right < to.left, flipFrom = from.right < from.left;
  bool flipToY = to.bottom < to.top, flipFromY = from.bottom < from.top;
  Mapping m{to, from, flipTo != flipFrom, flipToY != flipFromY};
  Normalize(m.to.left, m.to.right);
  Normalize(m.from.left, m.from.right);
  Normalize(m.to.top, m.to.bottom);
  Normalize(m.from.top, m.from.bottom);
  return m;
}

bool CopyRows(PixelBuffer& target, const RECT& part, const PixelBuffer& source, const Mapping& m) {
  int width = part.right - part.left;
  for (int y = part.top; y < part.bottom; ++y) {
    int sy = m.from.top + (y - m.to.top);
    int sx = m.from.left + (part.left - m.to.left);
    if (sy < 0 || sy >= source.height() || sx < 0 || sx + width > source.width()) return false;
    std::memmove(target.row565(y) + part.left, source.row565(sy) + sx, static_cast<std::size_t>(width) * 2);
  }
  return true;
}

}  // namespace

BlitSource SourceOf(const DeviceContext& context) {
  BlitSource source;
  source.pixels = context.target.get();
  source.background = context.attributes.backgroundColor;
  const GdiObject* bitmap = GdiObjects::get().lookup(context.attributes.bitmap);
  const BitmapData* data = bitmap ? bitmap->as<BitmapData>() : nullptr;
  source.monochromeDevice = context.target->monochrome() && (!data || !data->dibSection);
  return source;
}

void BlitPixels(Canvas& canvas, const RECT& to, const BlitSource& source, const RECT& from, std::uint8_t rop3) {
  Mapping m = MappingOf(to, from);
  int tw = m.to.right - m.to.left, th = m.to.bottom - m.to.top;
  int sw = m.from.right - m.from.left, sh = m.from.bottom - m.from.top;
  if (tw <= 0 || th <= 0 || sw <= 0 || sh <= 0) return;
  PixelBuffer& target = canvas.target();
  // Overlapping copies within one surface read from a snapshot.
  std::unique_ptr<PixelBuffer> snapshot;
  BlitSource from_ = source;
  if (source.pixels == &target) {
    snapshot = std::make_unique<PixelBuffer>(target);
    from_.pixels = snapshot.get();
  }
  const PixelBuffer& pixels = *from_.pixels;
  SourceConverter convert(from_, target, canvas.context().attributes);
  Paint pattern = canvas.brush();
  std::uint32_t mask = target.nativeMask();
  // Most raster operations (SRCCOPY, SRCAND, SRCINVERT) leave the brush out.
  const bool usesPattern = !pattern.none && (rop3 >> 4) != (rop3 & 0x0F);
  bool plainCopy = rop3 == 0xCC && convert.identity() && !from_.transparent && tw == sw && th == sh &&
                   !m.mirrorX && !m.mirrorY && target.isScreenFormat();
  for (const RECT& part : canvas.clipped(m.to)) {
    if (plainCopy && CopyRows(target, part, pixels, m)) continue;
    for (int y = part.top; y < part.bottom; ++y) {
      int row = y - m.to.top;
      int sy = Map(m.mirrorY ? th - 1 - row : row, th, m.from.top, sh);
      if (sy < 0 || sy >= pixels.height()) continue;
      for (int x = part.left; x < part.right; ++x) {
        int column = x - m.to.left;
        int sx = Map(m.mirrorX ? tw - 1 - column : column, tw, m.from.left, sw);
        if (sx < 0 || sx >= pixels.width()) continue;
        std::uint32_t value = pixels.native(sx, sy);
        if (LeftOut(from_, value)) continue;
        std::uint32_t p = usesPattern ? pattern.at(x, y) : 0;
        target.setNative(x, y, ApplyRop3(rop3, p, convert(value), target.native(x, y)) & mask);
      }
    }
  }
}

}  // namespace sim
