// Device-independent bitmaps: the bitmap header, colour masks and colour table
// that bitmap resources, icon images and CreateDIBSection describe pixels with.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "gdi/gdi_objects.h"
#include "gdi/pixels.h"

namespace sim {

struct DibLayout {
  int width = 0;
  int height = 0;  // rows of the image (an icon's mask half is not counted)
  PixelFormat format;
  std::size_t headerBytes = 0;  // header, masks and colour table: where the bits start
};

// Reads a BITMAPINFO at the start of `bytes`. `iconImage`: the header's height
// covers the colour rows and the mask rows. Gives an explanation on failure.
std::optional<DibLayout> ReadDibLayout(std::span<const unsigned char> bytes, bool iconImage, std::string* why);

// The pixels of a packed bitmap (header, colour table, bits), in its own format.
std::shared_ptr<PixelBuffer> DecodePackedDib(std::span<const unsigned char> bytes, std::string* why);
// An RT_ICON or RT_CURSOR image: colour rows, then a 1-bit mask (1 = transparent).
std::optional<IconData> DecodeIconImage(std::span<const unsigned char> bytes, std::string* why);

// A copy in the screen's 5-6-5 format, as the device keeps loaded bitmaps.
std::shared_ptr<PixelBuffer> ToScreenFormat(const PixelBuffer& source);
// A copy at another size, nearest pixel, in the source's format.
std::shared_ptr<PixelBuffer> Resized(const PixelBuffer& source, int width, int height);

}  // namespace sim
