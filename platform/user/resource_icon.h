// Icon groups, icon images and bitmaps: the sizes and depths the platform needs to
// describe them (the pixels themselves are not used).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "text/result.h"

namespace sim {

struct IconGroupEntry {
  int width = 0;   // a stored 0 means 256
  int height = 0;
  int colorCount = 0;
  int planes = 0;
  int bitCount = 0;
  std::uint32_t bytes = 0;
  std::uint16_t iconId = 0;  // the RT_ICON (or RT_CURSOR) resource holding the image
};

struct IconGroup {
  bool cursors = false;  // a cursor group rather than an icon group
  std::vector<IconGroupEntry> entries;
  // The entry closest to the wanted size (exact first, then the nearest larger,
  // then the largest smaller; more colours break ties). Null for an empty group.
  const IconGroupEntry* best(int width, int height) const;
};

struct ImageHeader {
  int width = 0;
  int height = 0;  // always positive; an icon's mask half is not counted
  int bitCount = 0;
  bool png = false;
};

Result<IconGroup> ParseIconGroup(std::span<const unsigned char> bytes);
// An RT_ICON image: a bitmap header whose height covers image and mask, or a PNG.
Result<ImageHeader> ParseIconImage(std::span<const unsigned char> bytes);
// An RT_BITMAP resource: a bitmap header without the file header.
Result<ImageHeader> ParseBitmapHeader(std::span<const unsigned char> bytes);

}  // namespace sim
