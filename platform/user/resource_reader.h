// A bounds-checked little-endian reader over resource bytes.
//
// Every read past the end (or past a limit the caller narrowed to) fails the reader
// for good and yields zeros, so a parser can read a whole record and check `ok()`
// once; no read ever leaves the span.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace sim {

// A resource identifier as stored in resource data: a 16-bit ordinal or a text.
struct ResourceName {
  std::optional<std::uint16_t> ordinal;
  std::u16string text;

  static ResourceName number(std::uint16_t value) { return ResourceName{value, {}}; }
  static ResourceName string(std::u16string value) { return ResourceName{std::nullopt, std::move(value)}; }
  bool isOrdinal() const { return ordinal.has_value(); }
  bool empty() const { return !ordinal && text.empty(); }
  // Ordinals compare by value, texts ignoring the case of ASCII letters (the resource
  // compiler upper-cases named resources and control classes).
  bool matches(const ResourceName& other) const;
  friend bool operator==(const ResourceName& a, const ResourceName& b) { return a.matches(b); }
};

// Upper-cases ASCII letters, leaving every other character as it is.
std::u16string FoldResourceCase(std::u16string_view text);

class ByteReader {
 public:
  explicit ByteReader(std::span<const unsigned char> bytes) : bytes_(bytes) {}

  bool ok() const { return ok_; }
  std::size_t offset() const { return offset_; }
  std::size_t size() const { return bytes_.size(); }
  std::size_t remaining() const { return ok_ ? bytes_.size() - offset_ : 0; }
  bool atEnd() const { return offset_ >= bytes_.size(); }
  // Marks the data as malformed (for checks the reader cannot make itself).
  void fail() { ok_ = false; }

  std::uint8_t u8();
  std::uint16_t u16();
  std::int16_t i16() { return static_cast<std::int16_t>(u16()); }
  std::uint32_t u32();
  std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
  // The next `count` bytes, or an empty span after a failure.
  std::span<const unsigned char> take(std::size_t count);
  void skip(std::size_t count) { take(count); }
  // Moves to an absolute offset within the span (not past its end).
  void seek(std::size_t offset);
  // Moves forward to the next multiple of `alignment` counted from the span's start;
  // running past the end is allowed only when `tolerateEnd` (trailing padding).
  void align(std::size_t alignment, bool tolerateEnd = false);

  // A zero-terminated UTF-16 text.
  std::u16string string();
  // 0xFFFF then an ordinal, or a zero-terminated text (empty: a lone zero).
  ResourceName nameOrOrdinal();

 private:
  bool need(std::size_t count);

  std::span<const unsigned char> bytes_;
  std::size_t offset_ = 0;
  bool ok_ = true;
};

}  // namespace sim
