#include "text/collation.h"

#include <unicode/ucol.h>
#include <unicode/uloc.h>

#include <cstring>
#include <stdexcept>
#include <string>

#include "text/collation_fold.h"

namespace sim {

namespace {

constexpr const char* kLocale = "ja";

int Order(UCollator& collator, std::u16string_view a, std::u16string_view b) {
  switch (ucol_strcoll(&collator, a.data(), static_cast<int32_t>(a.size()), b.data(), static_cast<int32_t>(b.size()))) {
    case UCOL_LESS:
      return -1;
    case UCOL_GREATER:
      return 1;
    default:
      return 0;
  }
}

void Set(UCollator& collator, UColAttribute attribute, UColAttributeValue value) {
  UErrorCode error = U_ZERO_ERROR;
  ucol_setAttribute(&collator, attribute, value, &error);
  if (U_FAILURE(error)) throw std::runtime_error(std::string("collation attribute refused: ") + u_errorName(error));
}

// The host's ICU falls back to the root order silently when it has no Japanese
// tailoring; the device would then sort kanji before kana, so that is refused.
UCollator* OpenJapanese() {
  UErrorCode error = U_ZERO_ERROR;
  UCollator* collator = ucol_open(kLocale, &error);
  if (U_FAILURE(error) || !collator)
    throw std::runtime_error(std::string("cannot open the Japanese collation: ") + u_errorName(error));
  const char* actual = ucol_getLocaleByType(collator, ULOC_ACTUAL_LOCALE, &error);
  if (U_FAILURE(error) || !actual || std::strncmp(actual, kLocale, 2) != 0) {
    ucol_close(collator);
    throw std::runtime_error("the host's ICU has no Japanese collation data");
  }
  return collator;
}

}  // namespace

void Collation::Closer::operator()(UCollator* collator) const { ucol_close(collator); }

Collation::Collation() : exact_(OpenJapanese()) { Set(*exact_, UCOL_STRENGTH, UCOL_IDENTICAL); }

Collation::~Collation() = default;

// Letters only (PRIMARY) or letters and accents (SECONDARY); symbols become
// ignorable ("shifted") up to and including currency signs when they are to be
// ignored. Case, small kana, kana type and width all lie deeper in the Japanese
// collation, so this step sees none of them.
UCollator& Collation::coarse(DWORD flags) {
  const bool nonspace = flags & NORM_IGNORENONSPACE, symbols = flags & NORM_IGNORESYMBOLS;
  Collator& slot = coarse_[nonspace][symbols];
  if (slot) return *slot;
  UErrorCode error = U_ZERO_ERROR;
  Collator made(ucol_clone(exact_.get(), &error));
  if (U_FAILURE(error) || !made) throw std::runtime_error(std::string("cannot clone the collation: ") + u_errorName(error));
  Set(*made, UCOL_STRENGTH, nonspace ? UCOL_PRIMARY : UCOL_SECONDARY);
  if (symbols) {
    Set(*made, UCOL_ALTERNATE_HANDLING, UCOL_SHIFTED);
    ucol_setMaxVariable(made.get(), UCOL_REORDER_CODE_CURRENCY, &error);
    if (U_FAILURE(error)) throw std::runtime_error(std::string("collation variable top refused: ") + u_errorName(error));
  }
  slot = std::move(made);
  return *slot;
}

int Collation::compareFolded(std::u16string_view a, std::u16string_view b, DWORD flags) {
  if (int order = Order(coarse(flags), a, b)) return order;
  return Order(*exact_, FoldForComparison(a, flags), FoldForComparison(b, flags));
}

int Collation::compare(std::u16string_view a, std::u16string_view b, DWORD flags) {
  const bool wordSort = !(flags & (SORT_STRINGSORT | NORM_IGNORESYMBOLS));
  if (wordSort && (HasWordMarks(a) || HasWordMarks(b)))
    if (int order = compareFolded(DropWordMarks(a), DropWordMarks(b), flags)) return order;
  return compareFolded(a, b, flags);
}

}  // namespace sim
