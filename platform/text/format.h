// The device's printf: %s is a wide string, %S a narrow one in code page 932. The
// formatter builds the whole text first, so callers decide how much of it fits.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

namespace sim {

std::u16string formatWide(const char16_t* format, va_list args);

// Copies as much of text as fits into buffer (capacity characters including the
// terminating zero) and always terminates when capacity > 0. A cut never leaves half
// of a surrogate pair at the end. Returns true when all of text fit.
bool copyTerminated(std::u16string_view text, char16_t* buffer, size_t capacity);

// The device's bounded formatting contract: writes the first min(length, count)
// characters of text and a terminator only when one more character fits. Gives the
// length when the text fits (count included, then unterminated), else -1.
int copyBounded(std::u16string_view text, char16_t* buffer, size_t count);

}  // namespace sim
