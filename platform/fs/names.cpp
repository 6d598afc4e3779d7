#include "fs/names.h"

#include <algorithm>

#include "text/case_fold.h"

namespace sim::fs {

// The platform's one case rule, so that file names, image paths and window texts
// all match alike.
char16_t FoldCase(char16_t c) { return toUpperCase(c); }

bool NamesEqual(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return FoldCase(x) == FoldCase(y); });
}

int CompareNames(std::u16string_view a, std::u16string_view b) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    char16_t x = FoldCase(a[i]), y = FoldCase(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

bool HasWildcards(std::u16string_view pattern) { return pattern.find_first_of(u"*?") != std::u16string_view::npos; }

namespace {

// Iterative glob match with single-star backtracking: linear in practice and
// never recursive, whatever the pattern.
bool Glob(std::u16string_view pattern, std::u16string_view name) {
  std::size_t p = 0, n = 0;
  std::size_t starP = std::u16string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == u'*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() && (pattern[p] == u'?' || FoldCase(pattern[p]) == FoldCase(name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::u16string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

}  // namespace

bool MatchesPattern(std::u16string_view pattern, std::u16string_view name) {
  if (Glob(pattern, name)) return true;
  if (pattern.size() >= 2 && pattern.ends_with(u".*") && name.find(u'.') == std::u16string_view::npos)
    return Glob(pattern.substr(0, pattern.size() - 2), name);
  return false;
}

bool IsValidName(std::u16string_view name, bool allowWildcards) {
  if (name.empty() || name == u"." || name == u"..") return false;
  for (char16_t c : name) {
    if (c < 0x20) return false;
    switch (c) {
      case u'\\': case u'/': case u':': case u'<': case u'>': case u'"': case u'|':
        return false;
      case u'*': case u'?':
        if (!allowWildcards) return false;
        break;
      default:
        break;
    }
  }
  return true;
}

}  // namespace sim::fs
