#include "gdi/png.h"

#include <png.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace sim {
namespace {

std::vector<std::uint8_t> RgbRows(const PixelBuffer& pixels) {
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(pixels.width()) * pixels.height() * 3);
  std::uint8_t* out = rgb.data();
  for (int y = 0; y < pixels.height(); ++y) {
    // The screen's 5-6-5 rows are read as they are stored (pictures of the live
    // screen are taken often); other layouts pixel by pixel.
    const std::uint16_t* row = pixels.isScreenFormat() ? pixels.row565(y) : nullptr;
    for (int x = 0; x < pixels.width(); ++x, out += 3) {
      COLORREF c = row ? FromRgb565(row[x]) : pixels.color(x, y);
      out[0] = GetRValue(c);
      out[1] = GetGValue(c);
      out[2] = GetBValue(c);
    }
  }
  return rgb;
}

png_image ImageOf(int width, int height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  // Pictures of the screen are taken after every step and every change: zlib's fast
  // setting, for a few kilobytes more.
  image.flags = PNG_IMAGE_FLAG_FAST;
  return image;
}

bool Failed(std::string* why, const std::string& text) {
  if (why) *why = text;
  return false;
}

COLORREF Faded(COLORREF c) {
  int grey = (GetRValue(c) * 3 + GetGValue(c) * 6 + GetBValue(c)) / 10;
  int light = 128 + grey / 2;
  return RGB(light, light, light);
}

}  // namespace

std::vector<std::uint8_t> EncodePng(const PixelBuffer& pixels, std::string* why) {
  if (pixels.width() <= 0 || pixels.height() <= 0) {
    Failed(why, "an empty picture");
    return {};
  }
  std::vector<std::uint8_t> rgb = RgbRows(pixels);
  png_image image = ImageOf(pixels.width(), pixels.height());
  // Room for the largest PNG the picture can make, so that it is compressed once
  // rather than once to learn the size and again to write it.
  std::vector<std::uint8_t> bytes(PNG_IMAGE_PNG_SIZE_MAX(image));
  png_alloc_size_t size = bytes.size();
  if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, rgb.data(), 0, nullptr)) {
    Failed(why, image.message);
    return {};
  }
  bytes.resize(size);
  return bytes;
}

bool WritePng(const PixelBuffer& pixels, const std::filesystem::path& file, std::string* why) {
  std::vector<std::uint8_t> bytes = EncodePng(pixels, why);
  if (bytes.empty()) return false;
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return out.good() || Failed(why, "cannot write " + file.string());
}

std::shared_ptr<PixelBuffer> DecodePng(const std::vector<std::uint8_t>& bytes, std::string* why) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
    Failed(why, image.message);
    return nullptr;
  }
  image.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
    Failed(why, image.message);
    return nullptr;
  }
  auto pixels = std::make_shared<PixelBuffer>(static_cast<int>(image.width), static_cast<int>(image.height),
                                              PixelFormat::Screen());
  const std::uint8_t* p = rgb.data();
  for (int y = 0; y < pixels->height(); ++y)
    for (int x = 0; x < pixels->width(); ++x, p += 3) pixels->setColor(x, y, RGB(p[0], p[1], p[2]));
  return pixels;
}

std::shared_ptr<PixelBuffer> ReadPng(const std::filesystem::path& file, std::string* why) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    Failed(why, "cannot read " + file.string());
    return nullptr;
  }
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return DecodePng(bytes, why);
}

ScreenComparison CompareScreens(const PixelBuffer& actual, const PixelBuffer& expected) {
  ScreenComparison result;
  int width = std::max(actual.width(), expected.width()), height = std::max(actual.height(), expected.height());
  result.sizesDiffer = actual.width() != expected.width() || actual.height() != expected.height();
  result.picture = std::make_shared<PixelBuffer>(width, height, PixelFormat::Screen());
  RECT box{width, height, 0, 0};
  auto inside = [](const PixelBuffer& p, int x, int y) { return x < p.width() && y < p.height(); };
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      bool both = inside(actual, x, y) && inside(expected, x, y);
      bool differs = !both || ToRgb565(actual.color(x, y)) != ToRgb565(expected.color(x, y));
      COLORREF shown = inside(expected, x, y) ? Faded(expected.color(x, y)) : RGB(255, 255, 255);
      result.picture->setColor(x, y, differs ? RGB(255, 0, 0) : shown);
      if (!differs) continue;
      ++result.differentPixels;
      box = RECT{std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x + 1),
                 std::max<LONG>(box.bottom, y + 1)};
    }
  }
  if (result.differentPixels) result.differences = box;
  result.same = result.differentPixels == 0;
  return result;
}

}  // namespace sim
