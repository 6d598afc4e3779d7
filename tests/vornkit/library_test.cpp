// The dialog library's small rules: its version table, the size texts of the
// listing, the kinds of paths, and the refusal of callers' texts that do not fit.
#include <gtest/gtest.h>

#include "support/test_device.h"
#include "vornkit.h"

namespace {

TEST(VornkitVersion, AnswersItsTable) {
  EXPECT_EQ(GetVornkitVer(1), 100);
  for (int which : {0, 2, 6, -1}) EXPECT_EQ(GetVornkitVer(which), 1100) << which;
  for (int which : {3, 4, 5}) EXPECT_EQ(GetVornkitVer(which), 0) << which;
}

TEST(ListingSizeText, UsesUnitsOfAThousand) {
  const struct {
    DWORD size;
    const char16_t* text;
  } cases[] = {{0, u"0"},           {9999, u"9999"},         {10000, u"10KB"},      {999999, u"999KB"},
               {1000000, u"1,000KB"}, {1234567, u"1,234KB"}, {99999999, u"99,999KB"}, {100000000, u"100MB"},
               {4294967295u, u"4294MB"}, {705032704, u"705MB"}};
  for (const auto& c : cases) {
    WCHAR text[32];
    FormatSizeText(c.size, text, 32);
    EXPECT_EQ(std::u16string(text), c.text) << c.size;
  }
}

class VornkitDeviceTest : public ::testing::Test {
 protected:
  test_support::TestDevice device_;
};

TEST_F(VornkitDeviceTest, PathKindsTellFoldersStorageCardsAndFiles) {
  device_.folder("\\Folder");
  int kinds[3] = {-1, -1, -1};
  device_.run([&] {
    HANDLE file = CreateFileW(u"\\Folder\\file.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    CloseHandle(file);
    kinds[0] = GetPathKind(u"\\Folder");
    kinds[1] = GetPathKind(u"\\Folder\\file.txt");
    kinds[2] = GetPathKind(u"\\Folder\\missing");
    return 0;
  });
  EXPECT_EQ(kinds[0], 2);
  EXPECT_EQ(kinds[1], 1);
  EXPECT_EQ(kinds[2], 0);
}

TEST_F(VornkitDeviceTest, CallersTextsThatDoNotFitAreRefusedUntouched) {
  std::u16string tooLong(300, u'x');
  tooLong[0] = u'\\';
  std::u16string buffer = tooLong;
  int fileResult = -5, treeResult = -5;
  device_.run([&] {
    ResetVornkitGlobals();
    fileResult = FileDialog(nullptr, u"t", buffer.data(), 0);
    treeResult = FolderTree(nullptr, u"t", buffer.data());
    return 0;
  });
  EXPECT_EQ(fileResult, 0);
  EXPECT_EQ(treeResult, 0);
  EXPECT_EQ(buffer, tooLong);
}

}  // namespace
