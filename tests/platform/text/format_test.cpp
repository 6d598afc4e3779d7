#include <strsafe.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string formatted(const WCHAR* format, auto... args) {
  WCHAR buffer[256];
  const int length = swprintf(buffer, format, args...);
  EXPECT_EQ(length, static_cast<int>(wcslen(buffer)));
  return buffer;
}

int formatThroughList(WCHAR* buffer, size_t count, const WCHAR* format, ...) {
  va_list args;
  va_start(args, format);
  const int result = _vsnwprintf(buffer, count, format, args);
  va_end(args);
  return result;
}

TEST(Format, StringsAreWideAndCapitalSIsNarrow) {
  EXPECT_EQ(formatted(u"[%s]", u"ファイル"), u"[ファイル]");
  EXPECT_EQ(formatted(u"[%ls|%hs|%S]", u"a", "b", "c"), u"[a|b|c]");
  // A narrow string is in code page 932: "テスト".
  EXPECT_EQ(formatted(u"%S", "\x83\x65\x83\x58\x83\x67"), u"テスト");
  EXPECT_EQ(formatted(u"%s", static_cast<const WCHAR*>(nullptr)), u"(null)");
}

TEST(Format, WidthPrecisionAndAlignment) {
  EXPECT_EQ(formatted(u"[%5s][%-5s]", u"ab", u"ab"), u"[   ab][ab   ]");
  EXPECT_EQ(formatted(u"[%.5s]", u"abcdefgh"), u"[abcde]");
  EXPECT_EQ(formatted(u"[%*.*s]", 4, 2, u"xyz"), u"[  xy]");
  EXPECT_EQ(formatted(u"[%-*d]", 4, 7), u"[7   ]");
  EXPECT_EQ(formatted(u"[%-05d][%05.2d]", 42, 3), u"[42   ][   03]");  // "-" and a precision beat "0"
  // A precision limits how much of the argument is read: no terminator is needed.
  const WCHAR unterminated[3] = {u'a', u'b', u'c'};
  EXPECT_EQ(formatted(u"%.3s", unterminated), u"abc");
}

TEST(Format, Integers) {
  EXPECT_EQ(formatted(u"%d %i %u", -42, 17, 3000000000u), u"-42 17 3000000000");
  EXPECT_EQ(formatted(u"%03d|%04d|%04d|%3d", 7, 123, -5, 12345), u"007|0123|-005|12345");
  EXPECT_EQ(formatted(u"%x %X %#x %o", 255u, 255u, 255u, 8u), u"ff FF 0xff 10");
  EXPECT_EQ(formatted(u"%+d % d %.3d", 5, 5, 5), u"+5  5 005");
  EXPECT_EQ(formatted(u"%I64d %lld", -1234567890123LL, 9876543210LL), u"-1234567890123 9876543210");
  EXPECT_EQ(formatted(u"%hd", 70000), u"4464");
}

TEST(Format, LongIsThirtyTwoBitsAsOnTheDevice) {
  const DWORD size = 4000000000u;
  const LONG negative = -3;
  EXPECT_EQ(formatted(u"%lu %ld %lx", size, negative, 0xDEADBEEFu), u"4000000000 -3 deadbeef");
}

TEST(Format, CharactersPercentAndPointers) {
  EXPECT_EQ(formatted(u"%c%c%C 100%%", u'x', u'あ', 'A'), u"xあA 100%");
  EXPECT_EQ(formatted(u"%p", reinterpret_cast<void*>(0xAB)), u"000000AB");
  EXPECT_EQ(formatted(u"%.2f|%5.1f", 3.14159, 2.0), u"3.14|  2.0");
  int target = 5;
  EXPECT_EQ(formatted(u"a%nb", &target), u"ab");
  EXPECT_EQ(target, 5);  // %n never writes
}

// Only a text shorter than the buffer comes back terminated: one that fills it
// exactly gives its length and no terminator, a longer one -1 with the buffer full
// of its first characters and no terminator either.
TEST(BoundedFormat, TerminatesOnlyATextShorterThanTheBuffer) {
  WCHAR buffer[10];
  std::fill(std::begin(buffer), std::end(buffer), u'#');
  EXPECT_EQ(_snwprintf(buffer, 8, u"%s", u"1234567"), 7);
  EXPECT_EQ(std::u16string(buffer), u"1234567");

  std::fill(std::begin(buffer), std::end(buffer), u'#');
  EXPECT_EQ(_snwprintf(buffer, 8, u"%s", u"12345678"), 8);
  EXPECT_EQ(std::u16string(buffer, 10), u"12345678##");

  std::fill(std::begin(buffer), std::end(buffer), u'#');
  EXPECT_EQ(_snwprintf(buffer, 8, u"%d-%d", 10000, 2000), -1);
  EXPECT_EQ(std::u16string(buffer, 10), u"10000-20##");

  std::fill(std::begin(buffer), std::end(buffer), u'#');
  EXPECT_EQ(formatThroughList(buffer, 4, u"%s", u"abcd"), 4);
  EXPECT_EQ(formatThroughList(buffer, 4, u"%s", u"abcde"), -1);
  EXPECT_EQ(std::u16string(buffer, 10), u"abcd######");

  EXPECT_EQ(_snwprintf(buffer, 0, u"x"), -1);
  EXPECT_EQ(_snwprintf(buffer, 0, u""), 0);
  EXPECT_EQ(buffer[0], u'a');
}

#if defined(__SANITIZE_ADDRESS__)
// Reading an exactly filled or overflowed result as a text runs off the end of its
// block, which the address sanitizer reports.
TEST(BoundedFormatDeathTest, ReadingAnUnterminatedResultLeavesTheBuffer) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  for (const WCHAR* text : {u"12345678", u"123456789"}) {
    EXPECT_DEATH(
        {
          auto* buffer = new WCHAR[8];
          _snwprintf(buffer, 8, u"%s", text);
          volatile size_t length = wcslen(buffer);
          delete[] buffer;
          (void)length;
        },
        "heap-buffer-overflow");
  }
}
#endif

TEST(BoundedFormat, CountAndWindowManagerLimit) {
  EXPECT_EQ(_scwprintf(u"%s=%d", u"size", 1024), 9);
  std::u16string longText(2000, u'x');
  std::u16string buffer(2000, u'#');
  EXPECT_EQ(wsprintfW(buffer.data(), u"%s", longText.c_str()), 1023);
  EXPECT_EQ(buffer[1023], u'\0');
  EXPECT_EQ(buffer[1024], u'#');
}

TEST(SafeStrings, CopyCatAndTruncation) {
  WCHAR buffer[6];
  EXPECT_EQ(StringCchCopyW(buffer, 6, u"abc"), S_OK);
  EXPECT_EQ(StringCchCatW(buffer, 6, u"de"), S_OK);
  EXPECT_EQ(std::u16string(buffer), u"abcde");
  EXPECT_EQ(StringCchCatW(buffer, 6, u"f"), STRSAFE_E_INSUFFICIENT_BUFFER);
  EXPECT_EQ(std::u16string(buffer), u"abcde");

  EXPECT_EQ(StringCchCopyW(buffer, 6, u"\\My Documents"), STRSAFE_E_INSUFFICIENT_BUFFER);
  EXPECT_EQ(std::u16string(buffer), u"\\My D");
  EXPECT_TRUE(FAILED(StringCchCopyW(buffer, 0, u"a")));

  EXPECT_EQ(StringCchCopyNW(buffer, 6, u"abcdef", 2), S_OK);
  EXPECT_EQ(std::u16string(buffer), u"ab");

  EXPECT_EQ(StringCchPrintfW(buffer, 6, u"%s%d", u"n", 12345), STRSAFE_E_INSUFFICIENT_BUFFER);
  EXPECT_EQ(std::u16string(buffer), u"n1234");
}

TEST(SafeStrings, RefusesAnUnterminatedDestinationOrSource) {
  WCHAR full[3] = {u'a', u'b', u'c'};
  EXPECT_EQ(StringCchCatW(full, 3, u"x"), STRSAFE_E_INVALID_PARAMETER);
  EXPECT_EQ(full[2], u'c');

  size_t length = 99;
  EXPECT_EQ(StringCchLengthW(full, 3, &length), STRSAFE_E_INVALID_PARAMETER);
  EXPECT_EQ(length, 0u);
  EXPECT_EQ(StringCchLengthW(u"abc", MAX_PATH, &length), S_OK);
  EXPECT_EQ(length, 3u);
}

TEST(Format, ListVariantsAndNarrowArguments) {
  WCHAR buffer[32];
  EXPECT_EQ(formatThroughList(buffer, 32, u"%s:%u", u"ﾃｽﾄ", 12u), 6);
  EXPECT_EQ(std::u16string(buffer), u"ﾃｽﾄ:12");
  // Narrow text in code page 932, with an undefined byte shown as "・".
  EXPECT_EQ(formatted(u"%hs|%S", "\xB1\xB2", "x\x80"), u"ｱｲ|x・");
  EXPECT_EQ(formatted(u"[%-3c][%3hc]", u'★', 'z'), u"[★  ][  z]");
  EXPECT_EQ(formatted(u"%.3S", "abcdef"), u"abc");
  EXPECT_EQ(formatted(u"%s %", u"end"), u"end ");  // a lone % at the end prints nothing
}

TEST(SafeStrings, BoundedSourceAndByteSizes) {
  WCHAR buffer[8] = u"ab";
  EXPECT_EQ(StringCchCatNW(buffer, 8, u"cdefgh", 3), S_OK);
  EXPECT_EQ(std::u16string(buffer), u"abcde");
  EXPECT_EQ(StringCbCopyW(buffer, sizeof buffer, u"12345678"), STRSAFE_E_INSUFFICIENT_BUFFER);
  EXPECT_EQ(std::u16string(buffer), u"1234567");
  size_t bytes = 0;
  EXPECT_EQ(StringCbLengthW(u"xyz", sizeof buffer, &bytes), S_OK);
  EXPECT_EQ(bytes, 6u);
  EXPECT_EQ(StringCchCopyW(buffer, 8, nullptr), S_OK);  // a null source is empty
  EXPECT_EQ(buffer[0], 0);
}

}  // namespace
