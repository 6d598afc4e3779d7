// The clipboard file-list bridge on blocks made byte by byte: which paths it finds,
// and that it never reads outside the block whatever the block holds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "companion.h"
#include "support/test_device.h"
#include "user/msgbox.h"

namespace {

using Bytes = std::vector<unsigned char>;

void PutUnit(Bytes& block, size_t offset, char16_t unit) {
  if (block.size() < offset + 2) block.resize(offset + 2, 0);
  block[offset] = static_cast<unsigned char>(unit & 0xFF);
  block[offset + 1] = static_cast<unsigned char>(unit >> 8);
}

// A marker unit with the high byte 0x01, then the path and its terminator.
void AppendPath(Bytes& block, std::u16string_view path, bool terminate = true) {
  size_t offset = block.size();
  PutUnit(block, offset, 0x0114);
  for (size_t i = 0; i < path.size(); ++i) PutUnit(block, offset + 2 + 2 * i, path[i]);
  if (terminate) PutUnit(block, offset + 2 + 2 * path.size(), 0);
}

Bytes FolderBlock(std::u16string_view folder, const std::vector<std::u16string>& items) {
  Bytes block(16, 0);
  AppendPath(block, folder);
  for (const auto& item : items) AppendPath(block, item);
  return block;
}

Bytes DesktopBlock(const std::vector<std::u16string>& items) {
  Bytes block(16, 0);
  PutUnit(block, 12, 0x00E0);
  std::u16string_view id = u"{00021400-0000-0000-C000-000000000046}";
  for (size_t i = 0; i < id.size(); ++i) PutUnit(block, 40 + 2 * i, id[i]);
  PutUnit(block, 40 + 2 * id.size(), 0);
  for (const auto& item : items) AppendPath(block, item);
  return block;
}

// The window the bridge works for, as the File Explorer's main window is: the
// clipboard takes data only from its owner window.
HWND BridgeWindow() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.lpszClassName = u"BridgeHost";
  RegisterClassW(&windowClass);
  return CreateWindowExW(0, u"BridgeHost", u"bridge", 0, 0, 0, 240, 320, nullptr, nullptr, nullptr, nullptr);
}

class BridgeTest : public ::testing::Test {
 protected:
  // Places `block` on the clipboard, runs the path-list action and gives the text
  // it put on the clipboard (or "<none>").
  std::u16string PathsFor(const Bytes& block) {
    std::u16string text = u"<none>";
    device_.run([&] {
      ResetCompanionState();
      HWND window = BridgeWindow();
      UINT format = RegisterClipboardFormatW(u"Shell IDList Array");
      void* data = LocalAlloc(LMEM_FIXED, block.size());
      if (!block.empty()) CopyMemory(data, block.data(), block.size());
      OpenClipboard(window);
      EmptyClipboard();
      SetClipboardData(format, data);
      CloseClipboard();
      ProcessClipboardFileList(window, format, ACTION_PATH_TO_CLIPBOARD);
      OpenClipboard(window);
      if (HANDLE placed = GetClipboardData(CF_UNICODETEXT)) text = static_cast<const char16_t*>(placed);
      CloseClipboard();
      ResetCompanionState();
      return 0;
    });
    return text;
  }

  test_support::TestDevice device_;
};

TEST_F(BridgeTest, FolderBlockSkipsTheFolderAndJoinsThePathsWithLineFeeds) {
  device_.folder("\\Temp\\a");
  device_.folder("\\Temp\\b c");
  device_.folder("\\Temp\\d");
  EXPECT_EQ(PathsFor(FolderBlock(u"\\Temp", {u"\\Temp\\a", u"\\Temp\\b c", u"\\Temp\\d"})),
            u"\\Temp\\a\n\\Temp\\b c\n\\Temp\\d");
}

TEST_F(BridgeTest, DesktopHeaderMakesEveryPathASelectedItem) {
  device_.folder("\\Windows\\Desktop\\x");
  EXPECT_EQ(PathsFor(DesktopBlock({u"\\Windows\\Desktop\\x"})), u"\\Windows\\Desktop\\x");

  Bytes wrongMark = DesktopBlock({u"\\Windows\\Desktop\\x"});
  PutUnit(wrongMark, 14, u'y');  // the mark must be the single character U+00E0
  EXPECT_EQ(PathsFor(wrongMark), u"") << "the first path is then the folder";
}

TEST_F(BridgeTest, AMissingPathLosesExactlyOneCharacter) {
  device_.folder("\\Temp\\real");
  EXPECT_EQ(PathsFor(FolderBlock(u"\\Temp", {u"\\Temp\\realX", u"\\Temp\\gone"})), u"\\Temp\\real\n\\Temp\\gon");
}

TEST_F(BridgeTest, AMarkerInsideAPathStartsItAgain) {
  device_.folder("\\B");
  Bytes block(16, 0);
  AppendPath(block, u"\\Temp");
  // U+0141 has the high byte 0x01, so the backslash after it opens a new path.
  AppendPath(block, u"\\A\u0141\\B");
  EXPECT_EQ(PathsFor(block), u"\\B");
}

TEST_F(BridgeTest, BlocksThatEndBadlyAreReadOnlyWithinTheirBytes) {
  EXPECT_EQ(PathsFor(Bytes{}), u"");
  EXPECT_EQ(PathsFor(Bytes{0x01, 0x5C, 0x00}), u"");

  Bytes unterminated(16, 0);
  AppendPath(unterminated, u"\\Temp");
  AppendPath(unterminated, u"\\Temp\\open", false);
  EXPECT_EQ(PathsFor(unterminated), u"") << "a path without its terminator is not acted on";

  Bytes odd = FolderBlock(u"\\Temp", {u"\\Temp\\x"});
  odd.push_back(0x01);
  device_.folder("\\Temp\\x");
  EXPECT_EQ(PathsFor(odd), u"\\Temp\\x");

  Bytes markerAtEnd(16, 0);
  AppendPath(markerAtEnd, u"\\Temp");
  markerAtEnd.push_back(0x14);
  markerAtEnd.push_back(0x01);
  markerAtEnd.push_back(0x5C);
  EXPECT_EQ(PathsFor(markerAtEnd), u"");
}

TEST_F(BridgeTest, APathLongerThanThePathBufferIsSkippedNotCut) {
  device_.folder("\\Temp\\short");
  std::u16string longPath = u"\\Temp\\" + std::u16string(300, u'x');
  EXPECT_EQ(PathsFor(FolderBlock(u"\\Temp", {longPath, u"\\Temp\\short"})), u"\\Temp\\short");
}

TEST_F(BridgeTest, AFolderPathTooLongIsStillTheFolder) {
  device_.folder("\\Temp\\short");
  std::u16string longFolder = u"\\Temp\\" + std::u16string(300, u'y');
  EXPECT_EQ(PathsFor(FolderBlock(longFolder, {u"\\Temp\\short"})), u"\\Temp\\short");
}

TEST_F(BridgeTest, EveryPathReachesTheTextEvenPastTheOldCapacity) {
  std::vector<std::u16string> items;
  std::u16string expected;
  for (int i = 0; i < 40; ++i) {
    std::u16string name = u"\\Temp\\" + std::u16string(90, u'a') + static_cast<char16_t>(u'A' + i % 26) +
                          static_cast<char16_t>(u'0' + i / 26);
    std::string host = "\\Temp\\" + std::string(90, 'a') + static_cast<char>('A' + i % 26) + static_cast<char>('0' + i / 26);
    device_.folder(host);
    items.push_back(name);
    expected += (i ? u"\n" : u"") + name;
  }
  EXPECT_GT(expected.size(), 2600u);
  EXPECT_EQ(PathsFor(FolderBlock(u"\\Temp", items)), expected);
}

TEST_F(BridgeTest, AFailedAllocationLeavesTheClipboardAsItWasAndTellsTheUser) {
  device_.folder("\\Temp\\a");
  Bytes block = FolderBlock(u"\\Temp", {u"\\Temp\\a"});
  bool fileListStillThere = false;
  device_.start([&] {
    ResetCompanionState();
    HWND window = BridgeWindow();
    UINT format = RegisterClipboardFormatW(u"Shell IDList Array");
    void* data = LocalAlloc(LMEM_FIXED, block.size());
    CopyMemory(data, block.data(), block.size());
    OpenClipboard(window);
    EmptyClipboard();
    SetClipboardData(format, data);
    CloseClipboard();
    // The bridge's working copy succeeds; the block for the text fails.
    sim::Device::current().faults().arm("LocalAlloc", 1, 0, 1);
    ProcessClipboardFileList(window, format, ACTION_PATH_TO_CLIPBOARD);
    fileListStillThere = IsClipboardFormatAvailable(format) != 0;
    ResetCompanionState();
    return 0;
  });
  const sim::OpenMessageBox* box = sim::MessageBoxes::get().top();
  ASSERT_NE(box, nullptr) << "the user is told";
  EXPECT_EQ(box->caption, u"Brackenway");
  sim::AnswerMessageBox(IDOK);
  device_.settle();
  EXPECT_TRUE(fileListStillThere);
}

}  // namespace
