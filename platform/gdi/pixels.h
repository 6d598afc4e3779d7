// Pixel storage of the frame buffer, bitmaps and DIB sections.
//
// The screen and every bitmap made for it are 16-bit 5-6-5. DIB sections keep the
// layout their program asked for (1, 4, 8, 16, 24 or 32 bits per pixel, top-down or
// bottom-up, with a colour table below 16 bits), because the program writes their
// bits directly. Drawing works on "native" values: the stored value of one pixel
// (a 5-6-5 word, a colour-table index, or 0x00RRGGBB), so that raster operations
// combine stored bits as the device does.
#pragma once

#include <cstdint>
#include <vector>

#include <windows.h>

namespace sim {

inline std::uint16_t ToRgb565(COLORREF color) {
  return static_cast<std::uint16_t>(((GetRValue(color) >> 3) << 11) | ((GetGValue(color) >> 2) << 5) |
                                    (GetBValue(color) >> 3));
}

// Widens with the high bits repeated, so white stays white and black stays black.
inline COLORREF FromRgb565(std::uint16_t pixel) {
  unsigned r = (pixel >> 11) & 0x1F, g = (pixel >> 5) & 0x3F, b = pixel & 0x1F;
  return RGB((r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2));
}

// A colour as the screen can show it.
inline COLORREF OnScreen(COLORREF color) { return FromRgb565(ToRgb565(color)); }

enum class PixelLayout { Indexed, Rgb565, Rgb555, Rgb24, Rgb32 };

struct PixelFormat {
  int bitsPerPixel = 16;
  PixelLayout layout = PixelLayout::Rgb565;
  std::vector<COLORREF> palette;  // Indexed only
  bool topDown = true;            // false: rows stored bottom row first
  int rowAlignment = 4;           // bytes; 2 for device bitmaps

  static PixelFormat Screen() { return PixelFormat{}; }
  static PixelFormat Monochrome();  // 1 bit, black then white
};

class PixelBuffer {
 public:
  PixelBuffer(int width, int height, PixelFormat format);

  int width() const { return width_; }
  int height() const { return height_; }
  const PixelFormat& format() const { return format_; }
  int bitsPerPixel() const { return format_.bitsPerPixel; }
  int stride() const { return stride_; }
  bool monochrome() const { return format_.bitsPerPixel == 1; }
  bool isScreenFormat() const { return format_.layout == PixelLayout::Rgb565; }
  RECT bounds() const { return RECT{0, 0, width_, height_}; }

  std::uint8_t* bits() { return storage_.data(); }
  const std::uint8_t* bits() const { return storage_.data(); }
  std::size_t byteSize() const { return storage_.size(); }

  // The row of image line y (0 = top) in storage.
  std::uint8_t* row(int y) { return storage_.data() + static_cast<std::size_t>(storageRow(y)) * stride_; }
  const std::uint8_t* row(int y) const {
    return storage_.data() + static_cast<std::size_t>(storageRow(y)) * stride_;
  }
  std::uint16_t* row565(int y) { return reinterpret_cast<std::uint16_t*>(row(y)); }
  const std::uint16_t* row565(int y) const { return reinterpret_cast<const std::uint16_t*>(row(y)); }

  // Inline: drawing reads and writes single pixels in its innermost loops.
  std::uint32_t native(int x, int y) const {
    const std::uint8_t* line = row(y);
    switch (format_.bitsPerPixel) {
      case 1: return (line[x >> 3] >> (7 - (x & 7))) & 1u;
      case 4: return (line[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xFu;
      case 8: return line[x];
      case 16: return reinterpret_cast<const std::uint16_t*>(line)[x];
      case 24: {
        const std::uint8_t* p = line + x * 3;  // blue, green, red
        return (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
      }
      default: return reinterpret_cast<const std::uint32_t*>(line)[x] & 0xFFFFFFu;
    }
  }
  void setNative(int x, int y, std::uint32_t value) {
    std::uint8_t* line = row(y);
    switch (format_.bitsPerPixel) {
      case 1: {
        const auto bit = static_cast<std::uint8_t>(0x80u >> (x & 7));
        line[x >> 3] = static_cast<std::uint8_t>((line[x >> 3] & ~bit) | ((value & 1u) ? bit : 0));
        return;
      }
      case 4: {
        const int shift = (x & 1) ? 0 : 4;
        line[x >> 1] = static_cast<std::uint8_t>((line[x >> 1] & ~(0xF << shift)) | ((value & 0xFu) << shift));
        return;
      }
      case 8: line[x] = static_cast<std::uint8_t>(value); return;
      case 16: reinterpret_cast<std::uint16_t*>(line)[x] = static_cast<std::uint16_t>(value); return;
      case 24: {
        std::uint8_t* p = line + x * 3;
        p[0] = static_cast<std::uint8_t>(value);
        p[1] = static_cast<std::uint8_t>(value >> 8);
        p[2] = static_cast<std::uint8_t>(value >> 16);
        return;
      }
      default: reinterpret_cast<std::uint32_t*>(line)[x] = value & 0xFFFFFFu; return;
    }
  }
  // Stores `value` in pixels [x0, x1) of line y; the caller keeps them in bounds.
  void fillSpan(int y, int x0, int x1, std::uint32_t value);
  // Stores `value` in pixels [x0, x1) of lines [y0, y1), in bounds as above.
  void fillRows(int y0, int y1, int x0, int x1, std::uint32_t value);

  // The stored value nearest to a colour, and the colour of a stored value.
  std::uint32_t toNative(COLORREF color) const;
  COLORREF toColor(std::uint32_t value) const;
  // The bits a native value may use (raster operations keep inside them).
  std::uint32_t nativeMask() const;

  COLORREF color(int x, int y) const { return toColor(native(x, y)); }
  void setColor(int x, int y, COLORREF color) { setNative(x, y, toNative(color)); }

  void setPalette(std::vector<COLORREF> palette) { format_.palette = std::move(palette); }

 private:
  int storageRow(int y) const { return format_.topDown ? y : height_ - 1 - y; }
  std::uint32_t nearestIndex(COLORREF color) const;

  int width_;
  int height_;
  PixelFormat format_;
  int stride_;
  std::vector<std::uint8_t> storage_;
};

}  // namespace sim
