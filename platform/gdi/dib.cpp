#include "gdi/dib.h"

#include <cstring>

namespace sim {
namespace {

constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr int kMaxDimension = 0x4000;

std::uint32_t Read32(std::span<const unsigned char> b, std::size_t at) {
  return std::uint32_t{b[at]} | (std::uint32_t{b[at + 1]} << 8) | (std::uint32_t{b[at + 2]} << 16) |
         (std::uint32_t{b[at + 3]} << 24);
}
std::uint16_t Read16(std::span<const unsigned char> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

bool Fails(std::string* why, const char* text) {
  if (why) *why = text;
  return false;
}

// 16 and 32 bits per pixel: which masks the pixels use.
bool ReadLayoutOfMasks(std::span<const unsigned char> bytes, std::uint32_t compression, DibLayout& layout,
                       std::string* why) {
  int bits = layout.format.bitsPerPixel;
  if (compression == BI_RGB) {
    layout.format.layout = bits == 16 ? PixelLayout::Rgb555 : bits == 24 ? PixelLayout::Rgb24 : PixelLayout::Rgb32;
    return true;
  }
  if (compression != BI_BITFIELDS || (bits != 16 && bits != 32)) return Fails(why, "unsupported compression");
  if (bytes.size() < layout.headerBytes + 12) return Fails(why, "colour masks truncated");
  std::uint32_t red = Read32(bytes, layout.headerBytes), green = Read32(bytes, layout.headerBytes + 4),
                blue = Read32(bytes, layout.headerBytes + 8);
  layout.headerBytes += 12;
  if (bits == 16 && red == 0xF800 && green == 0x07E0 && blue == 0x001F) layout.format.layout = PixelLayout::Rgb565;
  else if (bits == 16 && red == 0x7C00 && green == 0x03E0 && blue == 0x001F) layout.format.layout = PixelLayout::Rgb555;
  else if (bits == 32 && red == 0xFF0000 && green == 0xFF00 && blue == 0xFF) layout.format.layout = PixelLayout::Rgb32;
  else return Fails(why, "unsupported colour masks");
  return true;
}

bool ReadColorTable(std::span<const unsigned char> bytes, std::uint32_t used, DibLayout& layout, std::string* why) {
  std::size_t count = used ? used : (std::size_t{1} << layout.format.bitsPerPixel);
  if (count > (std::size_t{1} << layout.format.bitsPerPixel)) return Fails(why, "colour table too long");
  if (bytes.size() < layout.headerBytes + count * 4) return Fails(why, "colour table truncated");
  layout.format.layout = PixelLayout::Indexed;
  layout.format.palette.clear();
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned char* q = bytes.data() + layout.headerBytes + i * 4;  // blue, green, red, reserved
    layout.format.palette.push_back(RGB(q[2], q[1], q[0]));
  }
  layout.format.palette.resize(std::size_t{1} << layout.format.bitsPerPixel, RGB(0, 0, 0));
  layout.headerBytes += count * 4;
  return true;
}

}  // namespace

std::optional<DibLayout> ReadDibLayout(std::span<const unsigned char> bytes, bool iconImage, std::string* why) {
  if (bytes.size() < kInfoHeaderSize || Read32(bytes, 0) < kInfoHeaderSize) {
    Fails(why, "not a bitmap header");
    return std::nullopt;
  }
  DibLayout layout;
  auto width = static_cast<std::int32_t>(Read32(bytes, 4));
  auto height = static_cast<std::int32_t>(Read32(bytes, 8));
  layout.format.bitsPerPixel = Read16(bytes, 14);
  std::uint32_t compression = Read32(bytes, 16), used = Read32(bytes, 32);
  layout.format.topDown = height < 0 && !iconImage;
  layout.width = width;
  layout.height = height < 0 ? -height : height;
  if (iconImage) layout.height /= 2;
  layout.headerBytes = Read32(bytes, 0);
  if (layout.width <= 0 || layout.height <= 0 || layout.width > kMaxDimension || layout.height > kMaxDimension) {
    Fails(why, "bitmap size out of range");
    return std::nullopt;
  }
  bool ok = false;
  switch (layout.format.bitsPerPixel) {
    case 1: case 4: case 8:
      ok = compression == BI_RGB ? ReadColorTable(bytes, used, layout, why) : Fails(why, "compressed bitmap");
      break;
    case 16: case 24: case 32: ok = ReadLayoutOfMasks(bytes, compression, layout, why); break;
    default: ok = Fails(why, "unsupported depth");
  }
  if (!ok) return std::nullopt;
  return layout;
}

std::shared_ptr<PixelBuffer> DecodePackedDib(std::span<const unsigned char> bytes, std::string* why) {
  auto layout = ReadDibLayout(bytes, false, why);
  if (!layout) return nullptr;
  auto pixels = std::make_shared<PixelBuffer>(layout->width, layout->height, layout->format);
  if (bytes.size() - layout->headerBytes < pixels->byteSize()) {
    Fails(why, "bitmap bits truncated");
    return nullptr;
  }
  std::memcpy(pixels->bits(), bytes.data() + layout->headerBytes, pixels->byteSize());
  return pixels;
}

std::optional<IconData> DecodeIconImage(std::span<const unsigned char> bytes, std::string* why) {
  auto layout = ReadDibLayout(bytes, true, why);
  if (!layout) return std::nullopt;
  auto color = std::make_shared<PixelBuffer>(layout->width, layout->height, layout->format);
  PixelFormat maskFormat = PixelFormat::Monochrome();
  maskFormat.topDown = false;
  maskFormat.rowAlignment = 4;
  auto mask = std::make_shared<PixelBuffer>(layout->width, layout->height, maskFormat);
  std::size_t needed = color->byteSize() + mask->byteSize();
  if (bytes.size() - layout->headerBytes < needed) {
    Fails(why, "icon bits truncated");
    return std::nullopt;
  }
  std::memcpy(color->bits(), bytes.data() + layout->headerBytes, color->byteSize());
  std::memcpy(mask->bits(), bytes.data() + layout->headerBytes + color->byteSize(), mask->byteSize());
  IconData icon;
  icon.color = ToScreenFormat(*color);
  icon.mask = mask;
  return icon;
}

std::shared_ptr<PixelBuffer> ToScreenFormat(const PixelBuffer& source) {
  auto copy = std::make_shared<PixelBuffer>(source.width(), source.height(), PixelFormat::Screen());
  for (int y = 0; y < source.height(); ++y) {
    std::uint16_t* line = copy->row565(y);
    for (int x = 0; x < source.width(); ++x) line[x] = ToRgb565(source.color(x, y));
  }
  return copy;
}

std::shared_ptr<PixelBuffer> Resized(const PixelBuffer& source, int width, int height) {
  if (width == source.width() && height == source.height()) return std::make_shared<PixelBuffer>(source);
  auto copy = std::make_shared<PixelBuffer>(width, height, source.format());
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      copy->setNative(x, y, source.native(x * source.width() / width, y * source.height() / height));
  return copy;
}

}  // namespace sim
