// What every drawing call works through: the target pixels of a device context,
// clipped to the context, with brushes and pens turned into the target's stored
// values and raster operations applied to stored bits.
#pragma once

#include <cstdint>
#include <vector>

#include <windows.h>

#include "gdi/dc.h"
#include "gdi/pixels.h"
#include "gdi/rect_list.h"

namespace sim {

// A brush or pen colour in the target's stored values: one value, or a pattern
// repeated from the context's origin. A null paint draws nothing.
struct Paint {
  bool none = false;
  std::uint32_t solid = 0;
  std::vector<std::uint32_t> pattern;
  int patternWidth = 0;
  int patternHeight = 0;
  POINT origin{0, 0};

  std::uint32_t at(int x, int y) const {
    if (pattern.empty()) return solid;
    int px = ((x - origin.x) % patternWidth + patternWidth) % patternWidth;
    int py = ((y - origin.y) % patternHeight + patternHeight) % patternHeight;
    return pattern[static_cast<std::size_t>(py * patternWidth + px)];
  }
};

// The raster operation's table byte (0xCC copies the source, 0xF0 the pattern).
inline std::uint8_t Rop3(DWORD rop) { return static_cast<std::uint8_t>(rop >> 16); }
// Combines pattern, source and target bits by a raster operation's table.
std::uint32_t ApplyRop3(std::uint8_t rop3, std::uint32_t pattern, std::uint32_t source, std::uint32_t target);

class Canvas {
 public:
  explicit Canvas(DeviceContext& context) : context_(context), target_(*context.target) {}

  DeviceContext& context() { return context_; }
  PixelBuffer& target() { return target_; }
  const Region& clip() const { return context_.clip; }

  Paint solid(COLORREF color) const;
  // The context's brush (or `brush` when given); a null brush gives a paint of none.
  Paint brush(HBRUSH brush = nullptr) const;
  Paint pen() const;
  int penWidth() const;
  int penStyle() const;

  // Target coordinates; everything is clipped to the context.
  void fillSpan(int y, int x0, int x1, const Paint& paint, std::uint8_t rop3 = 0xF0);
  void fillRect(const RECT& rect, const Paint& paint, std::uint8_t rop3 = 0xF0);
  void plot(int x, int y, const Paint& paint);
  bool visible(int x, int y) const { return context_.clip.contains(x, y); }
  // The clipped parts of a target rectangle, for calls that walk pixels themselves.
  RectList clipped(const RECT& rect) const;

 private:
  DeviceContext& context_;
  PixelBuffer& target_;
};

}  // namespace sim
