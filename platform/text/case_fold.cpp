#include "text/case_fold.h"

namespace sim {
namespace {

// A run of upper-case letters whose lower-case forms sit a fixed distance above.
struct CaseRange {
  char16_t firstUpper;
  char16_t lastUpper;
  char16_t distance;
};

constexpr CaseRange kCaseRanges[] = {
    {u'A', u'Z', 0x20},         // ASCII
    {0x00C0, 0x00DE, 0x20},     // Latin-1 (U+00D7, the multiplication sign, excluded below)
    {0x0391, 0x03A9, 0x20},     // Greek (U+03A2 is unassigned, excluded below)
    {0x0410, 0x042F, 0x20},     // Cyrillic
    {0x0400, 0x040F, 0x50},     // Cyrillic with diacritics
    {0xFF21, 0xFF3A, 0x20},     // full-width Latin
};

bool excluded(char16_t upper) { return upper == 0x00D7 || upper == 0x03A2; }

const CaseRange* rangeOfUpper(char16_t c) {
  for (const auto& range : kCaseRanges)
    if (c >= range.firstUpper && c <= range.lastUpper && !excluded(c)) return &range;
  return nullptr;
}

const CaseRange* rangeOfLower(char16_t c) {
  for (const auto& range : kCaseRanges) {
    const char16_t upper = static_cast<char16_t>(c - range.distance);
    if (c >= range.firstUpper + range.distance && c <= range.lastUpper + range.distance &&
        !excluded(upper))
      return &range;
  }
  return nullptr;
}

}  // namespace

char16_t toLowerCase(char16_t c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 0x20) : c;
  if (c == 0x0178) return 0x00FF;
  const auto* range = rangeOfUpper(c);
  return range ? static_cast<char16_t>(c + range->distance) : c;
}

char16_t toUpperCase(char16_t c) {
  if (c < 0x80) return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 0x20) : c;
  if (c == 0x00FF) return 0x0178;  // ÿ, whose capital lies outside Latin-1
  const auto* range = rangeOfLower(c);
  return range ? static_cast<char16_t>(c - range->distance) : c;
}

bool isUpperCase(char16_t c) { return rangeOfUpper(c) != nullptr || c == 0x0178; }
bool isLowerCase(char16_t c) { return rangeOfLower(c) != nullptr || c == 0x00DF || c == 0x00FF; }
bool isLetter(char16_t c) { return isUpperCase(c) || isLowerCase(c); }

bool isWhiteSpace(char16_t c) {
  return c == u' ' || (c >= u'\t' && c <= u'\r') || c == 0x00A0 || c == 0x3000;
}

int compareIgnoringCase(std::u16string_view a, std::u16string_view b) {
  const size_t common = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < common; ++i) {
    const int difference = int(toLowerCase(a[i])) - int(toLowerCase(b[i]));
    if (difference != 0) return difference;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace sim
