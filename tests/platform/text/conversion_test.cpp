#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "text/utf.h"

namespace {

const std::u16string kJapanese = u"ﾌｫﾙﾀﾞ移動 ファイル ①";

TEST(Utf8, RoundTripsJapaneseAndSupplementaryText) {
  const std::u16string text = kJapanese + u"\U0002000B";
  const auto utf8 = sim::Utf16ToUtf8(text);
  ASSERT_TRUE(utf8) << utf8.message();
  const auto back = sim::Utf8ToUtf16(*utf8);
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, text);
  EXPECT_EQ(*sim::Utf16ToUtf8(u"移"), "\xE7\xA7\xBB");
}

TEST(Utf8, RejectsMalformedInput) {
  for (const char* bad : {"\xC0\xAF",           // overlong '/'
                          "ab\xE7\xA7",         // cut short
                          "\xED\xA0\x80",       // encoded surrogate
                          "\xF4\x90\x80\x80",   // above U+10FFFF
                          "\x80", "\xFF"}) {
    const auto result = sim::Utf8ToUtf16(bad);
    EXPECT_FALSE(result) << bad;
    if (!result) {
      EXPECT_NE(result.message().find("UTF-8"), std::string::npos);
    }
  }
  EXPECT_FALSE(sim::Utf16ToUtf8(std::u16string(1, u'\xD800') + u"a"));
  EXPECT_FALSE(sim::Utf16ToUtf8(std::u16string(1, u'\xDC00')));
  const auto replaced = sim::Utf16ToUtf8Replacing(u"a" + std::u16string(1, u'\xD800'));
  EXPECT_TRUE(replaced.replaced);
  EXPECT_EQ(replaced.text, "a\xEF\xBF\xBD");
}

TEST(CodePage932, RoundTripsTheCharactersItHolds) {
  const auto ansi = sim::ToAnsi932(kJapanese + u"\\~");
  ASSERT_TRUE(ansi) << ansi.message();
  EXPECT_EQ(ansi->substr(0, 2), "\xCC\xAB");  // half-width katakana are single bytes
  EXPECT_EQ(ansi->substr(ansi->size() - 2), "\\~");
  const auto back = sim::FromAnsi932(*ansi);
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, kJapanese + u"\\~");
}

TEST(CodePage932, ReportsWhatItCannotHold) {
  EXPECT_FALSE(sim::ToAnsi932(u"한글"));
  EXPECT_FALSE(sim::ToAnsi932(u"\U0002000B"));
  // Characters the host tables only map one way must not pass: a yen sign would
  // come back as a backslash, a path separator.
  EXPECT_FALSE(sim::ToAnsi932(u"\u00A5"));
  // The wave dash comes back as the full-width tilde; a name written with it would
  // name a different file. The tilde itself is fine.
  EXPECT_FALSE(sim::ToAnsi932(u"〜"));
  EXPECT_TRUE(sim::ToAnsi932(u"～"));
  EXPECT_FALSE(sim::FromAnsi932("\x82"));      // lead byte without trail
  EXPECT_FALSE(sim::FromAnsi932("\x82\x20"));  // invalid trail byte
}

TEST(CodePageApi, WideToAnsiReportsTheDefaultCharacter) {
  EXPECT_EQ(GetACP(), 932u);
  char buffer[32];
  BOOL usedDefault = TRUE;
  int written = WideCharToMultiByte(CP_ACP, 0, u"ﾃｽﾄ.txt", -1, buffer, sizeof buffer, nullptr,
                                    &usedDefault);
  EXPECT_EQ(written, 8);  // including the zero
  EXPECT_FALSE(usedDefault);
  EXPECT_STREQ(buffer, "\xC3\xBD\xC4.txt");

  written = WideCharToMultiByte(932, 0, u"a한b", 3, buffer, sizeof buffer, nullptr, &usedDefault);
  EXPECT_EQ(written, 3);
  EXPECT_TRUE(usedDefault);
  EXPECT_EQ(std::string(buffer, 3), "a?b");

  // Asking for the size, then a buffer too small.
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"移動", 2, nullptr, 0, nullptr, nullptr), 4);
  SetLastError(0);
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"移動", 2, buffer, 3, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  // UTF-8 has no default character.
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"a", 1, buffer, 4, nullptr, &usedDefault), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(CodePageApi, AnsiToWideAndInvalidInput) {
  WCHAR buffer[16];
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "\x88\xDA\x93\xAE", 4, buffer, 16), 2);
  EXPECT_EQ(std::u16string(buffer, 2), u"移動");
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "\xE7\xA7\xBB", -1, buffer, 16), 2);
  EXPECT_EQ(std::u16string(buffer), u"移");

  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "a\xC0\xAF", 3, buffer, 16), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
  EXPECT_EQ(MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, "\x82", 1, buffer, 16), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
  // Without the flag, bad input is replaced and the rest still converts.
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a\xFF" "b", 3, buffer, 16), 3);
  EXPECT_EQ(std::u16string(buffer, 3), u"a\xFFFD" u"b");
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 3, buffer, 2), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(MultiByteToWideChar(12345, 0, "a", 1, buffer, 16), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(CodePageApi, TerminatorsDefaultsAndSurrogates) {
  // A count of -1 converts the zero too and counts it.
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "ab", -1, nullptr, 0), 3);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"移", -1, nullptr, 0, nullptr, nullptr), 4);

  // The caller's default character may be a double-byte one.
  char buffer[16] = {};
  BOOL usedDefault = FALSE;
  const int written = WideCharToMultiByte(CP_ACP, 0, u"x한", 2, buffer, sizeof buffer,
                                          "\x81\x45", &usedDefault);  // "・"
  EXPECT_EQ(written, 3);
  EXPECT_TRUE(usedDefault);
  EXPECT_EQ(std::string(buffer, 3), "x\x81\x45");

  // An unpaired surrogate: replaced in UTF-8, or refused when asked to.
  const WCHAR lone[] = {u'a', 0xD800, u'b'};
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, lone, 3, buffer, sizeof buffer, nullptr, nullptr), 5);
  EXPECT_EQ(std::string(buffer, 5), "a\xEF\xBF\xBD" "b");
  SetLastError(0);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, lone, 3, buffer, sizeof buffer,
                                nullptr, nullptr),
            0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));

  // Bytes code page 932 leaves undefined show as "・" without the flag.
  WCHAR wide[8];
  EXPECT_EQ(MultiByteToWideChar(932, 0, "a\x80" "b", 3, wide, 8), 3);
  EXPECT_EQ(std::u16string(wide, 3), u"a・b");
  EXPECT_TRUE(IsDBCSLeadByte(0x82));
  EXPECT_FALSE(IsDBCSLeadByte(0xB1));  // half-width katakana are single bytes
}

}  // namespace
