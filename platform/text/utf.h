// Text at the host boundary: the device speaks UTF-16 and code page 932, the host
// speaks UTF-8. Every conversion checks its input; malformed text is an error, never
// a silent substitution or a crash.
#pragma once

#include <string>
#include <string_view>

#include "text/result.h"

namespace sim {

// Strict UTF-8 (no overlong forms, no encoded surrogates, nothing above U+10FFFF).
Result<std::u16string> Utf8ToUtf16(std::string_view utf8);
// Fails on an unpaired surrogate.
Result<std::string> Utf16ToUtf8(std::u16string_view utf16);

// Lenient forms for display and for the code-page API: every malformed sequence or
// unpaired surrogate becomes U+FFFD, and `replaced` tells whether that happened.
template <class Text>
struct Replaced {
  Text text;
  bool replaced = false;
};
Replaced<std::u16string> Utf8ToUtf16Replacing(std::string_view utf8);
Replaced<std::string> Utf16ToUtf8Replacing(std::u16string_view utf16);

// The device's ANSI code page (932). ToAnsi932 fails when a character has no
// representation in the code page; FromAnsi932 fails on a byte sequence the code
// page does not define.
Result<std::string> ToAnsi932(std::u16string_view utf16);
Result<std::u16string> FromAnsi932(std::string_view ansi);
// Shows each undefined byte sequence as U+30FB KATAKANA MIDDLE DOT, as the device does.
Replaced<std::u16string> FromAnsi932Replacing(std::string_view ansi);

}  // namespace sim
