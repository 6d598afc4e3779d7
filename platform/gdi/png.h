// Screens as PNG files: written as 8-bit RGB from the 5-6-5 pixels (the same pixels
// always give the same bytes), read back into the screen's format, and compared
// pixel for pixel with a picture of the differences.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include "gdi/pixels.h"

namespace sim {

// The PNG bytes of a surface; empty with `why` set on failure.
std::vector<std::uint8_t> EncodePng(const PixelBuffer& pixels, std::string* why = nullptr);
bool WritePng(const PixelBuffer& pixels, const std::filesystem::path& file, std::string* why = nullptr);
// A PNG's pixels in the screen's format; null with `why` set on failure.
std::shared_ptr<PixelBuffer> DecodePng(const std::vector<std::uint8_t>& bytes, std::string* why = nullptr);
std::shared_ptr<PixelBuffer> ReadPng(const std::filesystem::path& file, std::string* why = nullptr);

struct ScreenComparison {
  bool same = false;
  bool sizesDiffer = false;
  long differentPixels = 0;
  RECT differences{0, 0, 0, 0};  // the box around every differing pixel
  // The expected picture faded to grey with every differing pixel in red (at the
  // larger of the two sizes).
  std::shared_ptr<PixelBuffer> picture;
};

ScreenComparison CompareScreens(const PixelBuffer& actual, const PixelBuffer& expected);

}  // namespace sim
