#include "user/resource_icon.h"

#include <algorithm>
#include <cstdlib>

#include "user/resource_reader.h"

namespace sim {
namespace {

constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr int kMaxDimension = 0x8000;  // far beyond any device image

Result<ImageHeader> ReadBitmapInfo(std::span<const unsigned char> bytes, bool iconHalfHeight) {
  ByteReader reader(bytes);
  ImageHeader header;
  std::uint32_t size = reader.u32();
  if (size == kCoreHeaderSize) {
    header.width = reader.u16();
    header.height = reader.u16();
    reader.u16();  // planes
    header.bitCount = reader.u16();
  } else if (size >= kInfoHeaderSize) {
    header.width = reader.i32();
    std::int64_t height = reader.i32();
    header.height = static_cast<int>(std::llabs(height));  // negative: stored top-down
    reader.u16();
    header.bitCount = reader.u16();
    if (reader.ok() && size > reader.size()) reader.fail();
  } else {
    return Result<ImageHeader>::failure("unknown bitmap header size " + std::to_string(size));
  }
  if (!reader.ok()) return Result<ImageHeader>::failure("bitmap header truncated");
  if (iconHalfHeight) header.height /= 2;
  if (header.width <= 0 || header.height <= 0 || header.width > kMaxDimension ||
      header.height > kMaxDimension)
    return Result<ImageHeader>::failure("bitmap size out of range");
  switch (header.bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return Result<ImageHeader>::failure("bitmap depth " + std::to_string(header.bitCount));
  }
  return header;
}

std::uint32_t BigEndian32(std::span<const unsigned char> b) {
  return (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) | b[3];
}

}  // namespace

Result<IconGroup> ParseIconGroup(std::span<const unsigned char> bytes) {
  ByteReader reader(bytes);
  IconGroup group;
  std::uint16_t reserved = reader.u16();
  std::uint16_t type = reader.u16();
  std::uint16_t count = reader.u16();
  if (!reader.ok() || reserved != 0 || (type != 1 && type != 2))
    return Result<IconGroup>::failure("not an icon group");
  group.cursors = type == 2;
  for (std::uint16_t i = 0; i < count; ++i) {
    IconGroupEntry entry;
    if (group.cursors) {
      entry.width = reader.u16();
      entry.height = reader.u16() / 2;
    } else {
      entry.width = reader.u8();
      entry.height = reader.u8();
      entry.colorCount = reader.u8();
      reader.u8();
      if (entry.width == 0) entry.width = 256;
      if (entry.height == 0) entry.height = 256;
    }
    entry.planes = reader.u16();
    entry.bitCount = reader.u16();
    entry.bytes = reader.u32();
    entry.iconId = reader.u16();
    if (!reader.ok()) return Result<IconGroup>::failure("icon group entry " + std::to_string(i) + " truncated");
    group.entries.push_back(entry);
  }
  return group;
}

const IconGroupEntry* IconGroup::best(int width, int height) const {
  const IconGroupEntry* chosen = nullptr;
  auto rank = [&](const IconGroupEntry& e) {
    // Lower is better: exact, then larger (by excess), then smaller (by shortfall).
    long dx = e.width - width, dy = e.height - height;
    if (dx == 0 && dy == 0) return 0L;
    if (dx >= 0 && dy >= 0) return 1 + dx + dy;
    return 100000L + std::labs(dx) + std::labs(dy);
  };
  for (const auto& entry : entries) {
    if (!chosen || rank(entry) < rank(*chosen) ||
        (rank(entry) == rank(*chosen) && entry.bitCount > chosen->bitCount))
      chosen = &entry;
  }
  return chosen;
}

Result<ImageHeader> ParseIconImage(std::span<const unsigned char> bytes) {
  static constexpr unsigned char kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (bytes.size() >= 8 && std::equal(bytes.begin(), bytes.begin() + 8, kPng)) {
    // The first chunk is IHDR: length, "IHDR", width, height, depth, colour type.
    if (bytes.size() < 8 + 8 + 10) return Result<ImageHeader>::failure("PNG icon truncated");
    ImageHeader header;
    header.png = true;
    header.width = static_cast<int>(BigEndian32(bytes.subspan(16, 4)) & 0x7FFFFFFF);
    header.height = static_cast<int>(BigEndian32(bytes.subspan(20, 4)) & 0x7FFFFFFF);
    header.bitCount = 32;
    return header;
  }
  return ReadBitmapInfo(bytes, /*iconHalfHeight=*/true);
}

Result<ImageHeader> ParseBitmapHeader(std::span<const unsigned char> bytes) {
  return ReadBitmapInfo(bytes, /*iconHalfHeight=*/false);
}

}  // namespace sim
