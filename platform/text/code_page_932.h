// Code page 932, one character at a time, over the host's iconv tables.
//
// A character counts as representable only when it comes back unchanged: the host
// tables also map some characters one way (U+00A5 YEN SIGN to 0x5C, the backslash;
// U+301C WAVE DASH to the full-width tilde), and letting those through would turn a
// name into a different name, or a yen sign into a path separator.
//
// The host's tables are read once, into a table of every sequence of the code page
// and the character it stands for: converting a name then costs a lookup per
// character instead of opening two iconv descriptors per name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sim {

class CodePage932 {
 public:
  CodePage932();

  static bool isLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
  }

  // Encodes the character (or surrogate pair) at text[pos] and moves pos past it,
  // also when it has no form in the code page (the result is then empty).
  std::optional<std::string> encode(std::u16string_view text, size_t& pos);

  // Decodes the character at bytes[pos] and moves pos past it. An invalid sequence
  // consumes one byte, or two when a lead byte has a valid trail byte the code page
  // leaves undefined.
  std::optional<char16_t> decode(std::string_view bytes, size_t& pos);

  struct Tables;

 private:
  const Tables& tables_;
};

}  // namespace sim
