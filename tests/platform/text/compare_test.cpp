#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CaseInsensitiveCompare, FoldsLatinLettersOnly) {
  EXPECT_EQ(_wcsicmp(u"My Documents", u"MY DOCUMENTS"), 0);
  EXPECT_EQ(_wcsicmp(u"ＡＢＣ", u"ａｂｃ"), 0);       // full-width Latin folds
  EXPECT_EQ(_wcsicmp(u"ÀÉ", u"àé"), 0);
  EXPECT_NE(_wcsicmp(u"ｼｮｰﾄｶｯﾄ", u"ショートカット"), 0);  // half- and full-width kana differ
  EXPECT_NE(_wcsicmp(u"ｱ", u"ｧ"), 0);               // small kana is not a "lower case"
  EXPECT_NE(_wcsicmp(u"ａ", u"a"), 0);               // widths stay distinct
  EXPECT_EQ(_wcsnicmp(u"Windows\\x", u"WINDOWS\\y", 8), 0);
}

TEST(CaseInsensitiveCompare, OrdersAsLowerCase) {
  // Folding to lower case puts '_' (0x5F) before letters: "a_" < "AB".
  EXPECT_LT(_wcsicmp(u"a_", u"AB"), 0);
  EXPECT_LT(_wcsicmp(u"abc", u"ABCD"), 0);
  EXPECT_GT(_wcsicmp(u"b", u"A"), 0);
  // Code units compare unsigned: U+FF61 sorts after ASCII.
  EXPECT_GT(wcscmp(u"ｱ", u"z"), 0);
  // lstrcmpW, lstrcmpiW and CompareStringW are the device's linguistic order:
  // collation_test.cpp.
}

TEST(CaseConversion, KanaAndSymbolsUntouched) {
  WCHAR text[] = u"Readme ｶﾀｶﾅ ｆｉｌｅ ß×";
  EXPECT_EQ(std::u16string(_wcsupr(text)), u"README ｶﾀｶﾅ ＦＩＬＥ ß×");
  EXPECT_EQ(std::u16string(_wcslwr(text)), u"readme ｶﾀｶﾅ ｆｉｌｅ ß×");
  EXPECT_EQ(towupper(u'ÿ'), u'Ÿ');
  EXPECT_EQ(towlower(u'Ÿ'), u'ÿ');
  EXPECT_EQ(towupper(u'ｧ'), u'ｧ');
  EXPECT_TRUE(iswspace(0x3000));
  EXPECT_FALSE(iswalpha(u'ア'));
}

TEST(StringSearch, FindsFromEitherEnd) {
  const WCHAR* path = u"\\Windows\\Start Menu\\fexplore.lnk";
  EXPECT_EQ(wcsrchr(path, u'\\') - path, 19);
  EXPECT_EQ(wcschr(path, u'S') - path, 9);
  EXPECT_EQ(wcschr(path, u'\0') - path, 32);
  EXPECT_EQ(wcschr(path, u'#'), nullptr);
  EXPECT_EQ(wcsstr(path, u"Menu") - path, 15);
  EXPECT_EQ(wcsstr(path, u"menu"), nullptr);
  EXPECT_EQ(wcsspn(u"  \tx", u" \t"), 3u);
  EXPECT_EQ(wcscspn(u"name.ext", u".\\"), 4u);
}

TEST(StringCopy, BoundedCopiesAndAppends) {
  WCHAR buffer[8];
  std::fill(std::begin(buffer), std::end(buffer), u'#');
  wcsncpy(buffer, u"ab", 4);  // pads with zeros up to count
  EXPECT_EQ(buffer[2], 0);
  EXPECT_EQ(buffer[3], 0);
  EXPECT_EQ(buffer[4], u'#');
  wcsncat(buffer, u"cdef", 2);
  EXPECT_EQ(std::u16string(buffer), u"abcd");
  WCHAR small[3];
  lstrcpynW(small, u"xyz", 3);
  EXPECT_EQ(std::u16string(small), u"xy");
}

TEST(NumberParsing, DeviceLongRangeAndBases) {
  WCHAR* end = nullptr;
  EXPECT_EQ(wcstol(u"  -123abc", &end, 10), -123);
  EXPECT_EQ(std::u16string(end), u"abc");
  EXPECT_EQ(wcstol(u"0x1F", nullptr, 0), 31);
  EXPECT_EQ(wcstol(u"017", nullptr, 0), 15);
  EXPECT_EQ(wcstol(u"99999999999", nullptr, 10), 2147483647);
  EXPECT_EQ(wcstol(u"-99999999999", nullptr, 10), -2147483647 - 1);
  const WCHAR* nothing = u"x1";
  EXPECT_EQ(wcstol(nothing, &end, 10), 0);
  EXPECT_EQ(end, nothing);
  EXPECT_EQ(_wtoi(u"42 files"), 42);
  WCHAR digits[34];
  EXPECT_EQ(std::u16string(_itow(-255, digits, 10)), u"-255");
  EXPECT_EQ(std::u16string(_itow(255, digits, 16)), u"ff");
}

TEST(CharacterSteps, KeepSurrogatePairsTogether) {
  const WCHAR text[] = u"a\U0002000Bb";
  EXPECT_EQ(CharNextW(text + 1), text + 3);
  EXPECT_EQ(CharPrevW(text, text + 3), text + 1);
  EXPECT_EQ(CharPrevW(text, text), text);
  EXPECT_EQ(CharNextW(text + 4), text + 4);  // stays on the terminator
  EXPECT_EQ(CharUpperW(MAKEINTRESOURCEW(u'q')), MAKEINTRESOURCEW(u'Q'));
}

TEST(NumberParsing, UnsignedWrapsNegativeAndSaturates) {
  EXPECT_EQ(wcstoul(u"-1", nullptr, 10), 4294967295ul);
  EXPECT_EQ(wcstoul(u"4294967296", nullptr, 10), 4294967295ul);
  EXPECT_EQ(wcstoul(u"zz", nullptr, 36), 1295ul);
  EXPECT_EQ(wcstol(u"12", nullptr, 1), 0);  // an invalid base parses nothing
}

}  // namespace
