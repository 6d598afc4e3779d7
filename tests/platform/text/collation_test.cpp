// The device's linguistic order (lstrcmpW, lstrcmpiW, CompareStringW) against the C
// runtime's ordinal comparisons, which keep their code-point meaning.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "kernel/device.h"
#include "tests/support/test_device.h"

namespace {

// The comparison is a service of the device, so each test boots one.
class DeviceOrder : public ::testing::Test {
 protected:

  static std::vector<std::u16string> SortedIgnoringCase(std::vector<std::u16string> names) {
    std::stable_sort(names.begin(), names.end(),
                     [](const std::u16string& a, const std::u16string& b) { return lstrcmpiW(a.c_str(), b.c_str()) < 0; });
    return names;
  }
  static int Compare(DWORD flags, const char16_t* a, const char16_t* b) {
    return CompareStringW(LOCALE_USER_DEFAULT, flags, a, -1, b, -1);
  }

  test_support::TestDevice device_;
};

TEST_F(DeviceOrder, SymbolsDigitsLatinKanaThenKanji) {
  const std::vector<std::u16string> expected = {
      u"_under", u"(memo)", u"~tilde", u"10", u"2002 予定", u"9", u"alpha", u"Beta", u"Readme.txt",
      u"がき", u"かく", u"かな", u"カナ", u"ｶﾅ", u"ﾃﾞｰﾀ.csv", u"メモ.txt", u"見積書.pxl", u"新しいﾌｫﾙﾀﾞ"};
  std::vector<std::u16string> shuffled = expected;
  std::reverse(shuffled.begin(), shuffled.end());
  std::rotate(shuffled.begin(), shuffled.begin() + 7, shuffled.end());
  // Hiragana, katakana and half-width katakana of one word sit together, hiragana
  // first; voicing is an accent, so "がき" goes before "かく" (き before く).
  // Kanji follow in their reading order (見 "ken" before 新 "shin").
  EXPECT_EQ(SortedIgnoringCase(shuffled), expected);
  for (std::size_t i = 1; i < expected.size(); ++i)
    EXPECT_LT(lstrcmpW(expected[i - 1].c_str(), expected[i].c_str()), 0) << i;

  // The C runtime stays ordinal: '~' (U+007E) is above the letters and ﾃ (U+FF83)
  // above every kanji in code points.
  EXPECT_GT(_wcsicmp(u"~z", u"A"), 0);
  EXPECT_LT(wcscmp(u"見積書", u"ﾃﾞｰﾀ"), 0);
  // Without NORM_IGNORECASE case counts, lower case first at the first difference:
  // "aBC" sorts before "Abc" although 'A' is the smaller code point.
  EXPECT_LT(lstrcmpW(u"a", u"A"), 0);
  EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, u"Abc", -1, u"aBC", -1), CSTR_GREATER_THAN);
  // A precomposed and a decomposed accent are one text.
  EXPECT_EQ(lstrcmpW(u"caf\u00E9", u"cafe\u0301"), 0);
}

TEST_F(DeviceOrder, EachFlagIgnoresItsOwnDifferenceOnly) {
  struct Case {
    DWORD flags;
    const char16_t* a;
    const char16_t* b;
    int expected;
  };
  const Case cases[] = {
      {NORM_IGNORECASE, u"readme.TXT", u"README.txt", CSTR_EQUAL},
      {NORM_IGNORECASE, u"Ｍｅｍｏ", u"ＭＥＭＯ", CSTR_EQUAL},
      {NORM_IGNORECASE, u"a", u"ａ", CSTR_LESS_THAN},  // still width
      {NORM_IGNORECASE, u"あ", u"ア", CSTR_LESS_THAN},  // still kana type
      {NORM_IGNORECASE, u"ぁ", u"あ", CSTR_LESS_THAN},  // still small kana
      {NORM_IGNORECASE, u"か", u"が", CSTR_LESS_THAN},  // still voicing
      {NORM_IGNORECASE, u"e", u"é", CSTR_LESS_THAN},   // still accents
      {NORM_IGNOREWIDTH, u"ＡＢＣ", u"ABC", CSTR_EQUAL},
      {NORM_IGNOREWIDTH, u"ｶﾞｲﾄﾞ", u"ガイド", CSTR_EQUAL},
      {NORM_IGNOREWIDTH, u"あ", u"ｱ", CSTR_LESS_THAN},  // still hiragana against katakana
      {NORM_IGNOREWIDTH, u"ａ", u"A", CSTR_LESS_THAN},  // still case
      {NORM_IGNOREKANATYPE, u"ひらがな", u"ヒラガナ", CSTR_EQUAL},
      {NORM_IGNOREKANATYPE, u"ア", u"ｱ", CSTR_LESS_THAN},  // still width
      {NORM_IGNOREKANATYPE | NORM_IGNOREWIDTH, u"ひらがな", u"ﾋﾗｶﾞﾅ", CSTR_EQUAL},
      {NORM_IGNORENONSPACE, u"café", u"cafe", CSTR_EQUAL},
      {NORM_IGNORENONSPACE, u"がか", u"かが", CSTR_EQUAL},
      {NORM_IGNORENONSPACE, u"Cafe", u"cafe", CSTR_GREATER_THAN},  // still case
      {NORM_IGNORESYMBOLS, u"(a-b c)", u"abc", CSTR_EQUAL},
      {NORM_IGNORESYMBOLS, u"$5・メモ", u"5メモ", CSTR_EQUAL},
      {NORM_IGNORESYMBOLS, u"a1", u"a", CSTR_GREATER_THAN},  // digits are no symbols
      {NORM_IGNORECASE | NORM_IGNOREWIDTH | NORM_IGNOREKANATYPE, u"ﾒﾓ", u"めも", CSTR_EQUAL},
      {NORM_IGNORECASE | NORM_IGNOREWIDTH | NORM_IGNOREKANATYPE, u"Ｍｅｍｏ", u"memo", CSTR_EQUAL},
      {NORM_IGNORECASE | NORM_IGNOREWIDTH | NORM_IGNOREKANATYPE, u"ぁ", u"あ", CSTR_LESS_THAN},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Compare(c.flags, c.a, c.b), c.expected) << std::hex << c.flags;
    if (c.flags == NORM_IGNORECASE) {
      EXPECT_EQ(CSTR_EQUAL + lstrcmpiW(c.a, c.b), c.expected) << "lstrcmpiW ignores case and nothing else";
    }
    EXPECT_EQ(Compare(c.flags, c.b, c.a), 4 - c.expected) << std::hex << c.flags << " reversed";
    if (c.expected == CSTR_EQUAL) {
      EXPECT_NE(Compare(0, c.a, c.b), CSTR_EQUAL) << "the flag made the difference";
    }
  }
}

TEST_F(DeviceOrder, WordSortKeepsHyphenatedWordsBesideTheirPlainForm) {
  auto sorted = [](DWORD flags) {
    std::vector<std::u16string> names = {u"coop", u"cop", u"co-op", u"coal", u"it's", u"its", u"ita"};
    std::stable_sort(names.begin(), names.end(), [flags](const std::u16string& a, const std::u16string& b) {
      return CompareStringW(LOCALE_USER_DEFAULT, flags, a.c_str(), -1, b.c_str(), -1) == CSTR_LESS_THAN;
    });
    return names;
  };
  EXPECT_EQ(sorted(0), (std::vector<std::u16string>{u"coal", u"co-op", u"coop", u"cop", u"ita", u"it's", u"its"}));
  // The string sort takes the hyphen and the apostrophe as the symbols they are.
  EXPECT_EQ(sorted(SORT_STRINGSORT),
            (std::vector<std::u16string>{u"co-op", u"coal", u"coop", u"cop", u"it's", u"ita", u"its"}));
}

TEST_F(DeviceOrder, CompareStringRefusesWhatTheDeviceRefuses) {
  EXPECT_EQ(lstrcmpiW(nullptr, u""), 0);
  EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, u"abcX", 3, u"abc", -1), CSTR_EQUAL);
  EXPECT_EQ(CompareStringW(MAKELANGID(LANG_JAPANESE, 1), 0, u"かな", -1, u"漢字", -1), CSTR_LESS_THAN);
  EXPECT_EQ(CompareStringW(LOCALE_SYSTEM_DEFAULT, 0, u"b", -1, u"a", -1), CSTR_GREATER_THAN);
  struct Refused {
    LCID locale;
    DWORD flags;
    const char16_t* a;
  };
  for (const Refused& r : {Refused{LOCALE_USER_DEFAULT, 0x10000000, u"a"}, Refused{0x0409, 0, u"a"},
                           Refused{LOCALE_USER_DEFAULT, 0, nullptr}}) {
    SetLastError(0);
    EXPECT_EQ(CompareStringW(r.locale, r.flags, r.a, -1, u"a", -1), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  }
}

}  // namespace
