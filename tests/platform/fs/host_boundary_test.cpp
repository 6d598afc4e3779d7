// Where the device meets the host: names the host allows but the device cannot
// show, dates the host would change, handles a program leaves open.
#include <sys/stat.h>

#include "fs/file_time.h"
#include "fs/names.h"
#include "fs_fixture.h"
#include "kernel/process.h"

using Names = std::vector<std::u16string>;

TEST_F(FsTest, HostEntriesTheDeviceCannotNameAreLeftOut) {
  hostWrite("fine.txt", "");
  hostWrite(std::string("bad-\xff\xfe.txt"), "");  // not UTF-8
  hostWrite("back\\slash.txt", "");                 // a device separator inside a name
  hostWrite("colon:name", "");
  ASSERT_EQ(::mkfifo((root_ / "pipe").c_str(), 0600), 0);
  EXPECT_EQ(found(u"\\*"), Names{u"fine.txt"});
  EXPECT_EQ(GetFileAttributesW(u"\\pipe"), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FsTest, WildcardsBacktrackAndNeverMatchMoreThanTheyShould) {
  using sim::fs::MatchesPattern;
  EXPECT_TRUE(MatchesPattern(u"*a*b", u"xaxxab"));
  EXPECT_TRUE(MatchesPattern(u"*.LNK", u"memo.lnk"));
  EXPECT_FALSE(MatchesPattern(u"*.lnk", u"memo.lnk.bak"));
  EXPECT_FALSE(MatchesPattern(u"*.lnk", u"lnk"));
  EXPECT_FALSE(MatchesPattern(u"?", u""));
  EXPECT_FALSE(MatchesPattern(u"a?c", u"ac"));
  EXPECT_TRUE(MatchesPattern(u"*.*", u"."));
  EXPECT_FALSE(MatchesPattern(u"ｶﾅ*", u"カナ"));  // half-width and full-width kana differ
  EXPECT_TRUE(MatchesPattern(u"****.txt", u"a.txt"));
}

TEST_F(FsTest, FolderDatesSurviveChangesInside) {
  ASSERT_TRUE(CreateDirectoryW(u"\\From", nullptr));
  ASSERT_TRUE(CreateDirectoryW(u"\\To", nullptr));
  deviceWrite(u"\\From\\a.txt", "a");
  deviceWrite(u"\\From\\b.txt", "b");
  auto dated = [&](const char16_t* path) {
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(path, &data);
    EXPECT_NE(search, INVALID_HANDLE_VALUE);
    FindClose(search);
    return sim::fs::Ticks(data.ftLastWriteTime);
  };
  std::uint64_t boot = dated(u"\\From");
  device_->clock().advanceTo(3600 * 1000);
  ASSERT_TRUE(MoveFileW(u"\\From\\a.txt", u"\\To\\a.txt"));
  ASSERT_TRUE(DeleteFileW(u"\\From\\b.txt"));
  ASSERT_TRUE(CopyFileW(u"\\To\\a.txt", u"\\To\\c.txt", TRUE));
  EXPECT_EQ(dated(u"\\From"), boot);
  EXPECT_EQ(dated(u"\\To"), boot);
  EXPECT_EQ(dated(u"\\To\\c.txt"), dated(u"\\To\\a.txt"));  // a copy keeps the data's date
}

TEST_F(FsTest, FilesAProgramLeavesOpenAreClosedWhenItEnds) {
  bool opened = false;
  sim::StartFunction(*device_, u"\\Windows\\forgetful.exe", [&] {
    HANDLE file = CreateFileW(u"\\left-open.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    opened = file != INVALID_HANDLE_VALUE;
    DWORD n;
    WriteFile(file, "still here", 10, &n, nullptr);
    return 0;
  });
  device_->scheduler().runUntilIdle();
  ASSERT_TRUE(opened);
  EXPECT_EQ(deviceRead(u"\\left-open.txt"), "still here");
  EXPECT_TRUE(DeleteFileW(u"\\left-open.txt"));
}
