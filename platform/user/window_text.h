// Small text helpers of the window part: class and title comparison, bounded copies
// into caller buffers.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>

namespace sim {

// Case-insensitive for ASCII and full-width Latin letters, as class names compare.
inline char16_t FoldCase(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - u'a' + u'A');
  if (c >= 0xFF41 && c <= 0xFF5A) return static_cast<char16_t>(c - 0xFF41 + 0xFF21);
  return c;
}

inline bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  return true;
}

inline std::u16string_view TextOf(LPCWSTR text) { return text ? std::u16string_view(text) : std::u16string_view(); }

// Copies at most maxCount - 1 characters and a terminator; gives the characters copied.
inline int CopyBounded(std::u16string_view text, LPWSTR buffer, int maxCount) {
  if (!buffer || maxCount <= 0) return 0;
  std::size_t n = std::min(text.size(), static_cast<std::size_t>(maxCount - 1));
  text.copy(buffer, n);
  buffer[n] = 0;
  return static_cast<int>(n);
}

}  // namespace sim
