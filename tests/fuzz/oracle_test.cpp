// The fuzzers' oracles on inputs whose right answer is known: the reference reader
// of file lists against the File Explorer's own builder, the companion's rules as
// the clipboard oracle applies them, and the resource writer against windres.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bridge_expectation.h"
#include "explorer.h"
#include "file_list_reference.h"
#include "fuzz_targets.h"
#include "resource_writer.h"

extern "C" const unsigned char brackenway_resources[];
extern "C" const std::size_t brackenway_resources_size;
extern "C" const unsigned char vornkit_resources[];
extern "C" const std::size_t vornkit_resources_size;
extern "C" const unsigned char brackenwayconf_resources[];
extern "C" const std::size_t brackenwayconf_resources_size;

namespace {

using Bytes = std::vector<std::uint8_t>;
using fuzz::BridgeRequest;
using fuzz::UserEvent;

void Put(Bytes& block, std::u16string_view units) {
  for (char16_t unit : units) {
    block.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    block.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
}

TEST(FileListReference, ReadsWhatTheFileExplorerBuilds) {
  auto folder = fuzz::ReadFileList(explorer::BuildFileListBlock(u"\\My Documents\\", {u"a.txt", u"ﾒﾓ"}));
  EXPECT_FALSE(folder.desktop);
  EXPECT_EQ(folder.paths, (std::vector<std::u16string>{u"\\My Documents", u"\\My Documents\\a.txt",
                                                        u"\\My Documents\\ﾒﾓ"}));
  auto desktop = fuzz::ReadFileList(explorer::BuildFileListBlock(u"\\Windows\\Desktop\\", {u"x.lnk"}));
  EXPECT_TRUE(desktop.desktop);
  EXPECT_EQ(desktop.paths, std::vector<std::u16string>{u"\\Windows\\Desktop\\x.lnk"});
}

// A start mark is a unit with a backslash in its low byte after a unit with 0x01 in
// its high byte: a backslash after a character from U+0100 to U+01FF starts the path
// again, one at the very start of the block starts nothing, and a path that no zero
// unit ends is no path.
TEST(FileListReference, StartsAndEndsPathsOnlyWhereTheLayoutSays) {
  Bytes block;
  Put(block, u"\\x");
  Put(block, std::u16string_view(u"\u0114\\a\u0141\\b\0", 7));
  Put(block, std::u16string_view(u"\u0114\u415C\0", 3));  // a mark whose high byte is not 0
  Put(block, u"\u0114\\open");
  auto reading = fuzz::ReadFileList(block);
  EXPECT_EQ(reading.paths, (std::vector<std::u16string>{u"\\b", u"\u415C"}));
  EXPECT_EQ(reading.ends, (std::vector<std::size_t>{18, 24}));
}

// The companion's rules on a block whose every other path is missing: the folder
// is not acted on, a missing path loses its last character, a path of 260
// characters is passed over, and the paste asks before replacing a shortcut it
// wrote itself.
TEST(BridgeExpectation, AppliesTheCompanionsRules) {
  const std::u16string tooLong = u"\\" + std::u16string(259, u'z');
  fuzz::FileListReading reading{false, {u"\\Temp", u"\\Temp\\a.txt", tooLong, u"\\Temp\\A.doc", u"\\Temp\\b c"}, {}};
  auto exists = [](const std::u16string& path, const std::vector<std::u16string>&) { return path != u"\\Temp\\b c"; };
  BridgeRequest request{fuzz::kPathToClipboard, false, false, u"\\Links\\"};
  auto list = fuzz::ExpectBridge(reading, request, exists);
  EXPECT_EQ(list.clipboardText, u"\\Temp\\a.txt\n\\Temp\\A.doc\n\\Temp\\b ");

  request.action = fuzz::kSendTo;
  EXPECT_EQ(fuzz::ExpectBridge(reading, request, exists).commandLines,
            (std::vector<std::u16string>{u"\"\\Temp\\a.txt\"", u"\"\\Temp\\A.doc\"", u"\"\\Temp\\b \""}));

  request.action = fuzz::kPasteShortcut;
  request.declineOverwrite = true;
  auto paste = fuzz::ExpectBridge(reading, request, exists);
  const auto question = UserEvent::Kind::PasteQuestion;
  const auto box = UserEvent::Kind::MessageBox;
  EXPECT_EQ(paste.events, (std::vector<UserEvent>{{question, u"\\Temp\\a.txt"},
                                                  {question, u"\\Temp\\A.doc"},
                                                  {box, std::u16string(fuzz::kOverwriteText)},
                                                  {question, u"\\Temp\\b "}}));
  ASSERT_EQ(paste.shortcuts.size(), 2u);
  EXPECT_EQ(paste.shortcuts.at(fuzz::FoldedName(u"a.lnk")).second, u"\"\\Temp\\a.txt\"");
  EXPECT_EQ(paste.shortcuts.at(fuzz::FoldedName(u"b .lnk")).second, u"\"\\Temp\\b \"");
}

TEST(BridgeExpectation, KnowsWhichShortcutsCannotBeWritten) {
  EXPECT_TRUE(fuzz::ShortcutWritable(u"ﾒﾓ.lnk", u"\"\\Temp\\ﾒﾓ.txt\""));
  EXPECT_FALSE(fuzz::ShortcutWritable(u"a:b.lnk", u"\"\\a:b\""));
  EXPECT_FALSE(fuzz::ShortcutWritable(u"\xD800.lnk", u"\"\\x\""));
  EXPECT_FALSE(fuzz::ShortcutWritable(std::u16string(90, u'あ') + u".lnk", u"\"\\x\""));  // 274 bytes of UTF-8
  EXPECT_FALSE(fuzz::ShortcutWritable(u"e.lnk", u"\"\\\u00E9\""));                          // not in code page 932
  EXPECT_EQ(fuzz::ShortcutNameFor(u"\\Temp\\a.tar.gz"), u"a.tar");
  EXPECT_EQ(fuzz::ShortcutNameFor(u"\\Temp\\.profile"), u".profile");
  EXPECT_EQ(fuzz::ShortcutNameFor(u"noslash.txt"), u"noslash");
}

// windres' own images come back byte for byte from what the platform read of them.
TEST(ResourceWriter, WritesWindresImagesAsWindresDoes) {
  const std::pair<const unsigned char*, std::size_t> images[] = {
      {brackenway_resources, brackenway_resources_size},
      {vornkit_resources, vornkit_resources_size},
      {brackenwayconf_resources, brackenwayconf_resources_size}};
  for (const auto& [bytes, size] : images) {
    std::span<const std::uint8_t> image(bytes, size);
    auto index = sim::ParseResourceImage(image);
    ASSERT_TRUE(index) << index.message();
    EXPECT_EQ(fuzz::WriteResourceImage(index->entries()), Bytes(image.begin(), image.end()));
    for (const auto& entry : index->entries()) {
      if (entry.type.ordinal != 5) continue;
      auto dialog = sim::ParseDialogTemplate(entry.data);
      ASSERT_TRUE(dialog);
      Bytes written = fuzz::WriteDialogTemplate(*dialog);
      EXPECT_TRUE(std::equal(written.begin(), written.end(), entry.data.begin(), entry.data.end()));
    }
    EXPECT_FALSE(fuzz::RunResourceImage(image));
  }
}

// The script fuzzer's printer spells arguments that need quotes, comments and
// control ids so that they read back.
TEST(ScriptOracle, PrintsEveryArgumentBackReadably) {
  std::string script =
      "file \"\\Temp\\a b.txt\" ''\n"
      "# a comment\n"
      "tap #1001   # a comment after a control id\n"
      "expect text #1 \"#hash\" \n"
      "type \"it's\"\r\n"
      "expect message '\"quoted\"' \"a\tb\"\n";
  EXPECT_FALSE(fuzz::RunScenarioScript(std::span(reinterpret_cast<const std::uint8_t*>(script.data()), script.size())));
  std::string malformed = "wait 1\nfile \"unterminated\n";
  EXPECT_FALSE(
      fuzz::RunScenarioScript(std::span(reinterpret_cast<const std::uint8_t*>(malformed.data()), malformed.size())));
}

}  // namespace
