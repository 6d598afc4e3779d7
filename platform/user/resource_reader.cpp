#include "user/resource_reader.h"

namespace sim {

std::u16string FoldResourceCase(std::u16string_view text) {
  std::u16string folded(text);
  for (auto& c : folded)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  return folded;
}

bool ResourceName::matches(const ResourceName& other) const {
  if (ordinal || other.ordinal) return ordinal == other.ordinal;
  return FoldResourceCase(text) == FoldResourceCase(other.text);
}

bool ByteReader::need(std::size_t count) {
  if (!ok_ || count > bytes_.size() - offset_) {
    ok_ = false;
    return false;
  }
  return true;
}

std::uint8_t ByteReader::u8() {
  if (!need(1)) return 0;
  return bytes_[offset_++];
}

std::uint16_t ByteReader::u16() {
  if (!need(2)) return 0;
  std::uint16_t value = static_cast<std::uint16_t>(bytes_[offset_] | (bytes_[offset_ + 1] << 8));
  offset_ += 2;
  return value;
}

std::uint32_t ByteReader::u32() {
  std::uint32_t low = u16();
  std::uint32_t high = u16();
  return low | (high << 16);
}

std::span<const unsigned char> ByteReader::take(std::size_t count) {
  if (!need(count)) return {};
  auto part = bytes_.subspan(offset_, count);
  offset_ += count;
  return part;
}

void ByteReader::seek(std::size_t offset) {
  if (!ok_ || offset > bytes_.size()) {
    ok_ = false;
    return;
  }
  offset_ = offset;
}

void ByteReader::align(std::size_t alignment, bool tolerateEnd) {
  if (!ok_) return;
  std::size_t padding = (alignment - offset_ % alignment) % alignment;
  if (padding > bytes_.size() - offset_) {
    if (tolerateEnd)
      offset_ = bytes_.size();
    else
      ok_ = false;
    return;
  }
  offset_ += padding;
}

std::u16string ByteReader::string() {
  std::u16string text;
  while (ok_) {
    char16_t c = static_cast<char16_t>(u16());
    if (!ok_ || c == 0) break;
    text.push_back(c);
  }
  return text;
}

ResourceName ByteReader::nameOrOrdinal() {
  std::size_t start = offset_;
  std::uint16_t first = u16();
  if (!ok_) return {};
  if (first == 0xFFFF) return ResourceName::number(u16());
  offset_ = start;
  return ResourceName::string(string());
}

}  // namespace sim
