#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "kernel/device.h"
#include "tests/support/test_device.h"
#include "shell/shortcut.h"
#include "text/utf.h"

namespace {

std::span<const unsigned char> Bytes(std::string_view text) {
  return {reinterpret_cast<const unsigned char*>(text.data()), text.size()};
}

TEST(ShortcutText, EncodesCountAndCodePage932) {
  auto plain = sim::EncodeShortcut(u"\\Windows\\fexplore.exe");
  ASSERT_TRUE(plain);
  EXPECT_EQ(*plain, "21#\\Windows\\fexplore.exe");
  // Half-width katakana take one byte each, kanji two; the count is in characters.
  auto japanese = sim::EncodeShortcut(u"ｷｬﾝｾﾙ表示");
  ASSERT_TRUE(japanese);
  EXPECT_EQ(*japanese, "7#\xB7\xAC\xDD\xBE\xD9\x95\x5C\x8E\xA6");

  EXPECT_TRUE(sim::EncodeShortcut(std::u16string(256, u'a')));
  EXPECT_FALSE(sim::EncodeShortcut(std::u16string(257, u'a')));
  EXPECT_FALSE(sim::EncodeShortcut(u""));
  EXPECT_FALSE(sim::EncodeShortcut(u"\\a\U0001F600.exe"));  // not in the code page
  EXPECT_FALSE(sim::EncodeShortcut(u"\\a.exe\r\n\\b.exe"));
}

TEST(ShortcutText, DecodesLenientlyAcrossEncodings) {
  struct Case {
    std::string bytes;
    std::u16string target;
  } cases[] = {
      {"7#\xB7\xAC\xDD\xBE\xD9\x95\x5C\x8E\xA6", u"ｷｬﾝｾﾙ表示"},
      {"99#\"\\Program Files\\a b.exe\" -x \\q\r\n", u"\"\\Program Files\\a b.exe\" -x \\q"},  // wrong count
      {"#\\a.exe\n", u"\\a.exe"},                                                             // no count
      {"\xEF\xBB\xBF" "6#\\表示.exe", u"\\表示.exe"},                                          // UTF-8 with mark
      {"6#\\表示.exe", u"\\表示.exe"},                                                         // UTF-8 without
      {std::string("\xFF\xFE" "3\0#\0\\\0x\0\x5C\x8A\r\0\n\0", 16), u"\\x詜"},                // UTF-16LE
      {"3#a#b", u"a#b"},  // only the first '#' separates
  };
  for (const auto& c : cases) {
    auto decoded = sim::DecodeShortcut(Bytes(c.bytes));
    ASSERT_TRUE(decoded) << c.bytes << ": " << decoded.message();
    EXPECT_EQ(*decoded, c.target) << c.bytes;
  }
  for (const std::string& bad : std::vector<std::string>{"", "\\Windows\\a.exe", "ab#x", "12#", "12#\r\n", "1#a\nb", "\x81#x",
                          std::string(5000, '1') + "#x"})
    EXPECT_FALSE(sim::DecodeShortcut(Bytes(bad))) << bad;
}

// Some code-page 932 texts are valid UTF-8 too: a half-width katakana byte (0xC2 to
// 0xDF) followed by a byte from 0x80 to 0xBF. What the device wrote reads back as
// written; a UTF-8 file whose count fits its UTF-8 reading is still read as UTF-8.
TEST(ShortcutText, ReadsBackWhatItWroteThoughItLooksLikeUtf8) {
  for (std::u16string target : {u"\\Temﾐ¨itemD.tx", u"\"ﾃｱ\"", u"ﾆｰ", u"\\ﾂ´.exe"}) {
    auto bytes = sim::EncodeShortcut(target);
    ASSERT_TRUE(bytes) << bytes.message();
    ASSERT_TRUE(sim::Utf8ToUtf16(bytes->substr(bytes->find('#') + 1))) << "not an ambiguous case";
    auto decoded = sim::DecodeShortcut(Bytes(*bytes));
    ASSERT_TRUE(decoded) << decoded.message();
    EXPECT_EQ(*decoded, target);
  }
  auto utf8 = sim::DecodeShortcut(Bytes("2#\xC3\xB1x"));
  ASSERT_TRUE(utf8);
  EXPECT_EQ(*utf8, u"ñx");
}

// Files on a booted device.
class ShortcutFiles : public ::testing::Test {
 protected:
  std::string hostBytes(const char* name) {
    std::ifstream in(root_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void writeHost(const char* name, std::string_view bytes) {
    std::ofstream(root_ / name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

  test_support::TestDevice device_;
  const std::filesystem::path& root_ = device_.root();
};

TEST_F(ShortcutFiles, RoundTripsJapaneseNamesAndQuotedTargets) {
  std::u16string target = u"\"\\Program Files\\ﾂｰﾙ\\表示.exe\" \"\\My Documents\\\"";
  WCHAR link[] = u"\\ﾌｧｲﾙ ｴｸｽﾌﾟﾛｰﾗ.lnk";
  ASSERT_TRUE(SHCreateShortcut(link, target.data()));
  EXPECT_EQ(hostBytes("ﾌｧｲﾙ ｴｸｽﾌﾟﾛｰﾗ.lnk").substr(0, 3), "44#");

  WCHAR read[MAX_PATH];
  ASSERT_TRUE(SHGetShortcutTarget(link, read, MAX_PATH));
  EXPECT_EQ(std::u16string(read), target);

  // Exactly room for the target and its terminator, then one character less.
  ASSERT_TRUE(SHGetShortcutTarget(link, read, static_cast<int>(target.size() + 1)));
  EXPECT_FALSE(SHGetShortcutTarget(link, read, static_cast<int>(target.size())));
  EXPECT_EQ(read[0], 0);
}

TEST_F(ShortcutFiles, CreateRefusesExistingFilesAndUnwritableTargets) {
  WCHAR link[] = u"\\a.lnk";
  WCHAR first[] = u"\\first.exe";
  WCHAR second[] = u"\\second.exe";
  ASSERT_TRUE(SHCreateShortcut(link, first));
  EXPECT_FALSE(SHCreateShortcut(link, second));
  EXPECT_EQ(hostBytes("a.lnk"), "10#\\first.exe");

  WCHAR emoji[] = u"\\\U0001F600.exe";
  WCHAR other[] = u"\\b.lnk";
  EXPECT_FALSE(SHCreateShortcut(other, emoji));
  std::u16string tooLong = u"\\" + std::u16string(256, u'x');
  EXPECT_FALSE(SHCreateShortcut(other, tooLong.data()));
  device_->faults().arm("SHCreateShortcut");
  EXPECT_FALSE(SHCreateShortcut(other, first));
  EXPECT_FALSE(std::filesystem::exists(root_ / "b.lnk")) << "a refused shortcut leaves no file";
  // A full medium during the write: the empty file just created is taken away again.
  device_->faults().arm("WriteFile");
  EXPECT_FALSE(SHCreateShortcut(other, first));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
  EXPECT_FALSE(std::filesystem::exists(root_ / "b.lnk"));
  EXPECT_TRUE(SHCreateShortcut(other, first));
}

TEST_F(ShortcutFiles, ReadRefusesFilesThatAreNoShortcut) {
  writeHost("plain.txt", "just some text\r\n");
  writeHost("crlf.lnk", "3#\\x.exe\r\n");
  WCHAR buffer[MAX_PATH];
  buffer[0] = u'?';
  WCHAR plain[] = u"\\plain.txt";
  EXPECT_FALSE(SHGetShortcutTarget(plain, buffer, MAX_PATH));
  EXPECT_EQ(buffer[0], 0);
  WCHAR missing[] = u"\\missing.lnk";
  EXPECT_FALSE(SHGetShortcutTarget(missing, buffer, MAX_PATH));
  WCHAR crlf[] = u"\\CRLF.lnk";  // device names ignore case
  ASSERT_TRUE(SHGetShortcutTarget(crlf, buffer, MAX_PATH));
  EXPECT_EQ(std::u16string(buffer), u"\\x.exe");
}

}  // namespace
