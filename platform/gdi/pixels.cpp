#include "gdi/pixels.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace sim {
namespace {

int StrideOf(int width, int bitsPerPixel, int alignment) {
  int bytes = (width * bitsPerPixel + 7) / 8;
  return (bytes + alignment - 1) / alignment * alignment;
}

int ColorDistance(COLORREF a, COLORREF b) {
  int dr = GetRValue(a) - GetRValue(b), dg = GetGValue(a) - GetGValue(b), db = GetBValue(a) - GetBValue(b);
  return dr * dr + dg * dg + db * db;
}

}  // namespace

PixelFormat PixelFormat::Monochrome() {
  PixelFormat format;
  format.bitsPerPixel = 1;
  format.layout = PixelLayout::Indexed;
  format.palette = {RGB(0, 0, 0), RGB(255, 255, 255)};
  format.rowAlignment = 2;
  return format;
}

PixelBuffer::PixelBuffer(int width, int height, PixelFormat format)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), format_(std::move(format)) {
  stride_ = StrideOf(width_, format_.bitsPerPixel, std::max(format_.rowAlignment, 1));
  storage_.assign(static_cast<std::size_t>(stride_) * static_cast<std::size_t>(height_), 0);
}

void PixelBuffer::fillSpan(int y, int x0, int x1, std::uint32_t value) {
  if (x0 >= x1) return;
  if (format_.bitsPerPixel == 16) {
    std::uint16_t* line = reinterpret_cast<std::uint16_t*>(row(y));
    std::fill(line + x0, line + x1, static_cast<std::uint16_t>(value));
    return;
  }
  for (int x = x0; x < x1; ++x) setNative(x, y, value);
}

// The first line is filled pixel by pixel and copied to the others: a copy of a
// line costs one bounds check under the sanitizers, a filled pixel one each.
void PixelBuffer::fillRows(int y0, int y1, int x0, int x1, std::uint32_t value) {
  if (y0 >= y1 || x0 >= x1) return;
  fillSpan(y0, x0, x1, value);
  if (format_.bitsPerPixel % 8 != 0) {
    for (int y = y0 + 1; y < y1; ++y) fillSpan(y, x0, x1, value);
    return;
  }
  const std::size_t bytesPerPixel = static_cast<std::size_t>(format_.bitsPerPixel / 8);
  const std::size_t offset = static_cast<std::size_t>(x0) * bytesPerPixel;
  const std::size_t length = static_cast<std::size_t>(x1 - x0) * bytesPerPixel;
  const std::uint8_t* first = row(y0) + offset;
  for (int y = y0 + 1; y < y1; ++y) std::memcpy(row(y) + offset, first, length);
}

std::uint32_t PixelBuffer::nearestIndex(COLORREF color) const {
  std::uint32_t best = 0;
  int bestDistance = -1;
  for (std::size_t i = 0; i < format_.palette.size(); ++i) {
    int distance = ColorDistance(color, format_.palette[i]);
    if (bestDistance < 0 || distance < bestDistance) {
      bestDistance = distance;
      best = static_cast<std::uint32_t>(i);
    }
  }
  return best;
}

std::uint32_t PixelBuffer::toNative(COLORREF color) const {
  switch (format_.layout) {
    case PixelLayout::Indexed: return nearestIndex(color);
    case PixelLayout::Rgb565: return ToRgb565(color);
    case PixelLayout::Rgb555:
      return ((GetRValue(color) >> 3) << 10) | ((GetGValue(color) >> 3) << 5) | (GetBValue(color) >> 3);
    default: return (std::uint32_t{GetRValue(color)} << 16) | (std::uint32_t{GetGValue(color)} << 8) | GetBValue(color);
  }
}

COLORREF PixelBuffer::toColor(std::uint32_t value) const {
  switch (format_.layout) {
    case PixelLayout::Indexed:
      return value < format_.palette.size() ? format_.palette[value] : RGB(0, 0, 0);
    case PixelLayout::Rgb565: return FromRgb565(static_cast<std::uint16_t>(value));
    case PixelLayout::Rgb555: {
      unsigned r = (value >> 10) & 0x1F, g = (value >> 5) & 0x1F, b = value & 0x1F;
      return RGB((r << 3) | (r >> 2), (g << 3) | (g >> 2), (b << 3) | (b >> 2));
    }
    default: return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
  }
}

std::uint32_t PixelBuffer::nativeMask() const {
  switch (format_.layout) {
    case PixelLayout::Indexed: return (1u << format_.bitsPerPixel) - 1u;
    case PixelLayout::Rgb565: return 0xFFFFu;
    case PixelLayout::Rgb555: return 0x7FFFu;
    default: return 0xFFFFFFu;
  }
}

}  // namespace sim
