#include "fs_fixture.h"

using Names = std::vector<std::u16string>;

TEST_F(FsTest, SearchesMatchWildcardsAndListInNameOrderIgnoringCase) {
  for (const char* name : {"b.txt", "A.lnk", "c", "x.LNK", "ab", "_under", "a.lnk.bak"}) hostWrite(name, "");
  std::filesystem::create_directories(root_ / "Folder.lnk");

  // Never "." or "..", and names without a dot match "*.*".
  EXPECT_EQ(found(u"\\*.*"), (Names{u"A.lnk", u"a.lnk.bak", u"ab", u"b.txt", u"c", u"Folder.lnk", u"x.LNK", u"_under"}));
  EXPECT_EQ(found(u"\\*"), found(u"\\*.*"));
  EXPECT_EQ(found(u"\\*.lnk"), (Names{u"A.lnk", u"Folder.lnk", u"x.LNK"}));
  EXPECT_EQ(found(u"\\?.txt"), Names{u"b.txt"});
  EXPECT_EQ(found(u"\\a?"), Names{u"ab"});
  EXPECT_EQ(found(u"\\?"), Names{u"c"});
  EXPECT_EQ(found(u"\\c.*"), Names{u"c"});
  EXPECT_EQ(found(u"\\*b*"), (Names{u"a.lnk.bak", u"ab", u"b.txt"}));
}

TEST_F(FsTest, SearchFailuresTellWhy) {
  hostWrite("Folder/file.txt", "");
  WIN32_FIND_DATAW data;
  EXPECT_EQ(FindFirstFileW(u"\\Folder\\*.lnk", &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(FindFirstFileW(u"\\Missing\\*.lnk", &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(FindFirstFileW(u"\\Fo*\\file.txt", &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
  test_support::ExpectMisuse failedSearch("FindNextFileW");
  EXPECT_FALSE(FindNextFileW(INVALID_HANDLE_VALUE, &data));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(FsTest, SearchForOneNameReportsThatEntry) {
  hostWrite("Folder/file.txt", "12345");
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW(u"\\FOLDER", &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_EQ(std::u16string(data.cFileName), u"Folder");
  EXPECT_EQ(data.dwFileAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_FALSE(FindNextFileW(search, &data));
  FindClose(search);

  search = FindFirstFileW(u"\\Folder\\File.TXT", &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_EQ(std::u16string(data.cFileName), u"file.txt");
  EXPECT_EQ(data.nFileSizeLow, 5u);
  EXPECT_EQ(data.dwFileAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
  FindClose(search);

  // A folder named in another case is searched all the same.
  search = FindFirstFileW(u"\\FOLDER\\*", &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_EQ(std::u16string(data.cFileName), u"file.txt");
  EXPECT_EQ(data.nFileSizeLow, 5u);
  FindClose(search);
}

// A search keeps its folder open on the host; a program that leaves hundreds of
// searches open still gets every entry with its details.
TEST_F(FsTest, SearchesLeftOpenStillReportEveryEntryInFull) {
  hostWrite("Folder/a.txt", "1");
  hostWrite("Folder/b.txt", "22");
  std::vector<HANDLE> open;
  WIN32_FIND_DATAW data;
  for (int i = 0; i < 300; ++i) {
    HANDLE search = FindFirstFileW(u"\\Folder\\*.txt", &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE) << i;
    EXPECT_EQ(data.nFileSizeLow, 1u) << i;
    open.push_back(search);
  }
  for (HANDLE search : {open.front(), open.back()}) {
    ASSERT_TRUE(FindNextFileW(search, &data));
    EXPECT_EQ(std::u16string(data.cFileName), u"b.txt");
    EXPECT_EQ(data.nFileSizeLow, 2u);
    EXPECT_FALSE(FindNextFileW(search, &data));
  }
  for (HANDLE search : open) EXPECT_TRUE(FindClose(search));
  EXPECT_EQ(found(u"\\Folder\\*"), (Names{u"a.txt", u"b.txt"}));
}

TEST_F(FsTest, EntriesRemovedDuringASearchAreSkipped) {
  for (const char* name : {"a", "b", "c"}) hostWrite(name, "");
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW(u"\\*", &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(DeleteFileW(u"\\b"));
  ASSERT_TRUE(FindNextFileW(search, &data));
  EXPECT_EQ(std::u16string(data.cFileName), u"c");
  EXPECT_FALSE(FindNextFileW(search, &data));
  EXPECT_TRUE(CloseHandle(search));
  test_support::ExpectMisuse closed("FindClose");
  test_support::ExpectMisuse next("FindNextFileW");
  EXPECT_FALSE(FindClose(search));  // already closed
  EXPECT_FALSE(FindNextFileW(search, &data));
  EXPECT_EQ(closed.faults().at(0).problem, "not an open search handle");
}

// A close that fails (here by an injected failure) still ends the search: the
// program has no other way to end it, and a search left open would be counted
// against it when it ends.
TEST_F(FsTest, AFailedCloseStillEndsTheSearch) {
  hostWrite("Folder/file.txt", "");
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW(u"\\Folder\\*", &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  device_->faults().arm("FindClose", 1, ERROR_ACCESS_DENIED);
  EXPECT_FALSE(FindClose(search));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  test_support::ExpectMisuse closedSearch("FindClose");
  EXPECT_FALSE(FindClose(search));
}
