#include "text/utf.h"

#include <cstdint>
#include <optional>

#include "text/code_page_932.h"

namespace sim {
namespace {

bool isHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

std::string byteOffsetMessage(const char* what, size_t offset) {
  return std::string(what) + " at byte " + std::to_string(offset);
}

// Decodes one code point starting at utf8[pos] and advances pos; false for a
// malformed sequence (pos is then left alone).
bool decodeUtf8(std::string_view utf8, size_t& pos, char32_t& out) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(utf8[i]); };
  const unsigned char lead = byte(pos);
  size_t length;
  char32_t minimum;
  if (lead < 0x80) {
    out = lead;
    ++pos;
    return true;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, minimum = 0x80, out = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, minimum = 0x800, out = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, minimum = 0x10000, out = lead & 0x07;
  } else {
    return false;
  }
  if (utf8.size() - pos < length) return false;
  for (size_t i = 1; i < length; ++i) {
    const unsigned char next = byte(pos + i);
    if ((next & 0xC0) != 0x80) return false;
    out = (out << 6) | (next & 0x3F);
  }
  if (out < minimum || out > 0x10FFFF || (out >= 0xD800 && out <= 0xDFFF)) return false;
  pos += length;
  return true;
}

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void appendUtf16(std::u16string& out, char32_t c) {
  if (c >= 0x10000) {
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (c >> 10));
    out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
  } else {
    out += static_cast<char16_t>(c);
  }
}

// Converts UTF-8, calling onInvalid(byteOffset) for each malformed byte; it returns
// false to stop.
template <class OnInvalid>
std::u16string convertUtf8(std::string_view utf8, OnInvalid onInvalid) {
  std::u16string out;
  out.reserve(utf8.size());
  size_t pos = 0;
  while (pos < utf8.size()) {
    char32_t c;
    if (decodeUtf8(utf8, pos, c)) {
      appendUtf16(out, c);
    } else {
      if (!onInvalid(pos)) break;
      out += u'\xFFFD';
      ++pos;
    }
  }
  return out;
}

// Converts UTF-16, calling onInvalid(index) for each unpaired surrogate; it returns
// false to stop.
template <class OnInvalid>
std::string convertUtf16(std::u16string_view utf16, OnInvalid onInvalid) {
  std::string out;
  out.reserve(utf16.size() * 3);
  for (size_t i = 0; i < utf16.size(); ++i) {
    char32_t c = utf16[i];
    if (isHighSurrogate(c) && i + 1 < utf16.size() && isLowSurrogate(utf16[i + 1])) {
      c = 0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    } else if (isHighSurrogate(c) || isLowSurrogate(c)) {
      if (!onInvalid(i)) break;
      c = 0xFFFD;
    }
    appendUtf8(out, c);
  }
  return out;
}

}  // namespace

Result<std::u16string> Utf8ToUtf16(std::string_view utf8) {
  std::optional<size_t> bad;
  std::u16string out = convertUtf8(utf8, [&](size_t offset) {
    bad = offset;
    return false;
  });
  if (bad) return Result<std::u16string>::failure(byteOffsetMessage("invalid UTF-8", *bad));
  return out;
}

Result<std::string> Utf16ToUtf8(std::u16string_view utf16) {
  std::optional<size_t> bad;
  std::string out = convertUtf16(utf16, [&](size_t index) {
    bad = index;
    return false;
  });
  if (bad)
    return Result<std::string>::failure("unpaired surrogate at character " + std::to_string(*bad));
  return out;
}

Replaced<std::u16string> Utf8ToUtf16Replacing(std::string_view utf8) {
  Replaced<std::u16string> result;
  result.text = convertUtf8(utf8, [&](size_t) { return result.replaced = true; });
  return result;
}

Replaced<std::string> Utf16ToUtf8Replacing(std::u16string_view utf16) {
  Replaced<std::string> result;
  result.text = convertUtf16(utf16, [&](size_t) { return result.replaced = true; });
  return result;
}

Result<std::string> ToAnsi932(std::u16string_view utf16) {
  std::string out;
  CodePage932 codePage;
  for (size_t i = 0; i < utf16.size();) {
    const size_t start = i;
    const auto bytes = codePage.encode(utf16, i);
    if (!bytes)
      return Result<std::string>::failure("character at " + std::to_string(start) +
                                          " has no code page 932 form");
    out += *bytes;
  }
  return out;
}

Result<std::u16string> FromAnsi932(std::string_view ansi) {
  std::u16string out;
  CodePage932 codePage;
  for (size_t i = 0; i < ansi.size();) {
    const size_t start = i;
    const auto c = codePage.decode(ansi, i);
    if (!c)
      return Result<std::u16string>::failure(byteOffsetMessage("invalid code page 932 text", start));
    out += *c;
  }
  return out;
}

Replaced<std::u16string> FromAnsi932Replacing(std::string_view ansi) {
  Replaced<std::u16string> result;
  CodePage932 codePage;
  for (size_t i = 0; i < ansi.size();) {
    const auto c = codePage.decode(ansi, i);
    if (!c) result.replaced = true;
    result.text += c ? *c : u'\x30FB';
  }
  return result;
}

}  // namespace sim
