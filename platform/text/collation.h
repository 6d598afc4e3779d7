// The device's linguistic order of texts: the Japanese collation of the host's ICU.
//
// Symbols and punctuation come first, then digits, Latin letters, kana (hiragana
// and katakana of one sound side by side, full- and half-width forms together),
// then kanji. Lower case sorts before upper case, hiragana before katakana.
//
// A comparison runs in two steps. A coarse collator looks only at letters and
// accents (and skips symbols when asked to); nearly every pair of names differs
// there, and that step needs no copies of the texts. Names that tie are folded as
// the NORM_IGNORE* flags ask (see collation_fold.h) and compared by a collator that
// sees every remaining difference, so texts compare equal only when the flags make
// them so. In the word sort (no SORT_STRINGSORT) the hyphen-minus and the
// apostrophe count only between texts that are otherwise equal.
#pragma once

#include <windows.h>

#include <memory>
#include <string_view>

struct UCollator;

namespace sim {

class Collation {
 public:
  // Opens the Japanese collator; throws std::runtime_error when the host's ICU has
  // no Japanese collation data.
  Collation();
  ~Collation();
  Collation(const Collation&) = delete;
  Collation& operator=(const Collation&) = delete;

  // <0, 0 or >0. `flags` are CompareStringW's NORM_IGNORECASE,
  // NORM_IGNORENONSPACE, NORM_IGNORESYMBOLS, NORM_IGNOREKANATYPE, NORM_IGNOREWIDTH
  // and SORT_STRINGSORT; other bits are the caller's to refuse.
  int compare(std::u16string_view a, std::u16string_view b, DWORD flags);

 private:
  struct Closer {
    void operator()(UCollator* collator) const;
  };
  using Collator = std::unique_ptr<UCollator, Closer>;

  // The coarse step, then the exact step on folded texts.
  int compareFolded(std::u16string_view a, std::u16string_view b, DWORD flags);
  UCollator& coarse(DWORD flags);

  Collator exact_;         // every difference, down to the code points
  Collator coarse_[2][2];  // [ignore nonspacing marks][ignore symbols], made on first use
};

}  // namespace sim
