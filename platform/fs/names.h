// Names as the device compares them: letters with case (ASCII, Latin-1, Greek,
// Cyrillic, full-width Latin) match either case; kana, half-width or full-width,
// and every other character only match themselves.
#pragma once

#include <string_view>

namespace sim::fs {

char16_t FoldCase(char16_t c);
bool NamesEqual(std::u16string_view a, std::u16string_view b);
// Name order ignoring case; names that differ only in case are ordered by their
// code units so that the order is total and every run lists the same way.
int CompareNames(std::u16string_view a, std::u16string_view b);
inline bool NameLess(std::u16string_view a, std::u16string_view b) { return CompareNames(a, b) < 0; }

bool HasWildcards(std::u16string_view pattern);
// "*" matches any run of characters, "?" exactly one; a trailing ".*" also matches
// a name without an extension, so "*.*" matches every name.
bool MatchesPattern(std::u16string_view pattern, std::u16string_view name);

// A single name component the store can hold: not empty, not "." or "..", no
// separators, NULs, control characters or characters the device reserves.
// Wildcards are accepted only when asked for (search patterns).
bool IsValidName(std::u16string_view name, bool allowWildcards);

}  // namespace sim::fs
