// Case of the device's characters. Letters that have case: ASCII, Latin-1, Greek,
// Cyrillic and the full-width Latin forms (U+FF21-U+FF3A / U+FF41-U+FF5A). Kana,
// half-width or full-width, and ideographs never change.
#pragma once

#include <string_view>

namespace sim {

char16_t toLowerCase(char16_t c);
char16_t toUpperCase(char16_t c);
bool isUpperCase(char16_t c);
bool isLowerCase(char16_t c);
bool isLetter(char16_t c);
// White space: the C locale's six, no-break space and the ideographic space.
bool isWhiteSpace(char16_t c);

// Compares after folding both sides to lower case; <0, 0 or >0.
int compareIgnoringCase(std::u16string_view a, std::u16string_view b);

}  // namespace sim
