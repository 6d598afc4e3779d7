#include "text/collation_fold.h"

#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <cstdint>

namespace sim {

namespace {

int32_t LengthOf(std::u16string_view text) { return static_cast<int32_t>(text.size()); }

void Append(std::u16string& out, UChar32 c) {
  if (U_IS_BMP(c)) {
    out += static_cast<char16_t>(c);
  } else {
    out += static_cast<char16_t>(U16_LEAD(c));
    out += static_cast<char16_t>(U16_TRAIL(c));
  }
}

// Calls `each(code point, out)` for every code point of the text; it appends what
// stands for it.
template <class Each>
std::u16string MapCodePoints(std::u16string_view text, const Each& each) {
  std::u16string out;
  out.reserve(text.size());
  const int32_t length = LengthOf(text);
  for (int32_t i = 0; i < length;) {
    UChar32 c;
    U16_NEXT(text.data(), i, length, c);
    each(c, out);
  }
  return out;
}

// The text in the normalization form `form`; unchanged when the host's data cannot
// give it.
std::u16string Normalize(const UNormalizer2* form, std::u16string_view text) {
  if (!form || text.empty()) return std::u16string(text);
  UErrorCode error = U_ZERO_ERROR;
  int32_t needed = unorm2_normalize(form, text.data(), LengthOf(text), nullptr, 0, &error);
  if (error != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(error)) return std::u16string(text);
  std::u16string out(static_cast<std::size_t>(needed), u'\0');
  error = U_ZERO_ERROR;
  unorm2_normalize(form, text.data(), LengthOf(text), out.data(), needed, &error);
  return U_SUCCESS(error) ? out : std::u16string(text);
}

const UNormalizer2* CompatibilityForm() {
  UErrorCode error = U_ZERO_ERROR;
  const UNormalizer2* form = unorm2_getNFKCInstance(&error);
  return U_SUCCESS(error) ? form : nullptr;
}

const UNormalizer2* DecomposedForm() {
  UErrorCode error = U_ZERO_ERROR;
  const UNormalizer2* form = unorm2_getNFDInstance(&error);
  return U_SUCCESS(error) ? form : nullptr;
}

bool IsWidthVariant(UChar32 c) {
  const int type = u_getIntPropertyValue(c, UCHAR_DECOMPOSITION_TYPE);
  return type == U_DT_WIDE || type == U_DT_NARROW;
}

bool IsWordMark(char16_t c) { return c == u'-' || c == u'\''; }

}  // namespace

std::u16string FoldCase(std::u16string_view text) {
  if (text.empty()) return {};
  UErrorCode error = U_ZERO_ERROR;
  int32_t needed = u_strFoldCase(nullptr, 0, text.data(), LengthOf(text), U_FOLD_CASE_DEFAULT, &error);
  if (error != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(error)) return std::u16string(text);
  std::u16string out(static_cast<std::size_t>(needed), u'\0');
  error = U_ZERO_ERROR;
  u_strFoldCase(out.data(), needed, text.data(), LengthOf(text), U_FOLD_CASE_DEFAULT, &error);
  return U_SUCCESS(error) ? out : std::u16string(text);
}

std::u16string FoldWidth(std::u16string_view text) {
  const UNormalizer2* compatibility = CompatibilityForm();
  return MapCodePoints(text, [compatibility](UChar32 c, std::u16string& out) {
    if (compatibility && IsWidthVariant(c)) {
      UChar plain[8];
      UErrorCode error = U_ZERO_ERROR;
      int32_t length = unorm2_getRawDecomposition(compatibility, c, plain, 8, &error);
      if (U_SUCCESS(error) && length > 0) {
        out.append(plain, plain + length);
        return;
      }
    }
    Append(out, c);
  });
}

std::u16string FoldKanaType(std::u16string_view text) {
  std::u16string out(text);
  // The katakana block repeats the hiragana block 0x60 code points higher, from the
  // small a (U+3041/U+30A1) to the small ke (U+3096/U+30F6), and the iteration marks
  // ゝゞ (U+309D-E) likewise as ヽヾ.
  for (char16_t& c : out)
    if ((c >= 0x3041 && c <= 0x3096) || c == 0x309D || c == 0x309E) c = static_cast<char16_t>(c + 0x60);
  return out;
}

std::u16string DropNonspacingMarks(std::u16string_view text) {
  return MapCodePoints(Normalize(DecomposedForm(), text), [](UChar32 c, std::u16string& out) {
    if (u_charType(c) != U_NON_SPACING_MARK) Append(out, c);
  });
}

std::u16string DropSymbols(std::u16string_view text) {
  return MapCodePoints(text, [](UChar32 c, std::u16string& out) {
    if (!(U_GET_GC_MASK(c) & (U_GC_P_MASK | U_GC_S_MASK | U_GC_Z_MASK))) Append(out, c);
  });
}

bool HasWordMarks(std::u16string_view text) { return std::any_of(text.begin(), text.end(), IsWordMark); }

std::u16string DropWordMarks(std::u16string_view text) {
  std::u16string out(text);
  out.erase(std::remove_if(out.begin(), out.end(), IsWordMark), out.end());
  return out;
}

std::u16string FoldForComparison(std::u16string_view text, DWORD flags) {
  std::u16string out(text);
  if (flags & NORM_IGNOREWIDTH) out = FoldWidth(out);
  if (flags & NORM_IGNOREKANATYPE) out = FoldKanaType(out);
  if (flags & NORM_IGNORECASE) out = FoldCase(out);
  if (flags & NORM_IGNORENONSPACE) out = DropNonspacingMarks(out);
  if (flags & NORM_IGNORESYMBOLS) out = DropSymbols(out);
  return out;
}

}  // namespace sim
