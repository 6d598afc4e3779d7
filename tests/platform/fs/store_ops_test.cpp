#include "fs_fixture.h"

using Names = std::vector<std::u16string>;

TEST_F(FsTest, MoveOntoAnExistingNameFailsAndTouchesNeither) {
  deviceWrite(u"\\a.txt", "source");
  deviceWrite(u"\\b.txt", "target");
  for (const char16_t* target : {u"\\b.txt", u"\\B.TXT"}) {
    EXPECT_FALSE(MoveFileW(u"\\a.txt", target));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  }
  EXPECT_EQ(deviceRead(u"\\a.txt"), "source");
  EXPECT_EQ(deviceRead(u"\\b.txt"), "target");
  EXPECT_EQ(found(u"\\*"), (Names{u"a.txt", u"b.txt"}));
}

TEST_F(FsTest, MoveRenamesFilesAndFolders) {
  hostWrite("Docs/Inner/memo.txt", "memo");
  ASSERT_TRUE(MoveFileW(u"\\docs", u"\\Archive"));
  EXPECT_EQ(deviceRead(u"\\Archive\\Inner\\memo.txt"), "memo");
  // A change of case only renames the entry itself.
  ASSERT_TRUE(MoveFileW(u"\\archive\\inner\\memo.txt", u"\\Archive\\Inner\\MEMO.txt"));
  EXPECT_EQ(found(u"\\Archive\\Inner\\*"), Names{u"MEMO.txt"});
  // A folder cannot go inside itself; a missing target folder is a missing path.
  EXPECT_FALSE(MoveFileW(u"\\Archive", u"\\Archive\\Inner\\Archive"));
  EXPECT_FALSE(MoveFileW(u"\\Archive", u"\\Nowhere\\Archive"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(found(u"\\*"), Names{u"Archive"});
  // A final backslash names a folder, which no file can become.
  deviceWrite(u"\\a.txt", "kept");
  EXPECT_FALSE(MoveFileW(u"\\a.txt", u"\\Archive\\b.txt\\"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
  EXPECT_EQ(found(u"\\Archive\\*"), Names{u"Inner"});
  EXPECT_EQ(deviceRead(u"\\a.txt"), "kept");
}

TEST_F(FsTest, RemoveDirectoryRefusesAFolderThatHoldsAnything) {
  hostWrite("Full/keep.txt", "kept");
  EXPECT_FALSE(RemoveDirectoryW(u"\\Full"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIR_NOT_EMPTY));
  EXPECT_EQ(deviceRead(u"\\Full\\keep.txt"), "kept");

  // Entries the device cannot see still keep the folder.
  ASSERT_TRUE(DeleteFileW(u"\\Full\\keep.txt"));
  std::filesystem::create_symlink("nowhere", root_ / "Full" / "hidden-link");
  EXPECT_FALSE(RemoveDirectoryW(u"\\Full"));
  std::filesystem::remove(root_ / "Full" / "hidden-link");

  EXPECT_TRUE(RemoveDirectoryW(u"\\full"));
  EXPECT_FALSE(std::filesystem::exists(root_ / "Full"));
  EXPECT_FALSE(RemoveDirectoryW(u"\\Full"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(FsTest, CreateDirectoryAndDeleteReportThePlatformErrors) {
  EXPECT_TRUE(CreateDirectoryW(u"\\New", nullptr));
  EXPECT_FALSE(CreateDirectoryW(u"\\NEW", nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_FALSE(CreateDirectoryW(u"\\Missing\\New", nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_FALSE(DeleteFileW(u"\\New"));  // a folder is not a file
  EXPECT_FALSE(DeleteFileW(u"\\New\\none.txt"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  deviceWrite(u"\\New\\locked.txt", "ro");
  ASSERT_TRUE(SetFileAttributesW(u"\\New\\locked.txt", FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(GetFileAttributesW(u"\\New\\locked.txt"), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(DeleteFileW(u"\\New\\locked.txt"));
  EXPECT_EQ(CreateFileW(u"\\New\\locked.txt", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  // Attributes follow a renamed folder's files.
  ASSERT_TRUE(MoveFileW(u"\\New", u"\\Renamed"));
  EXPECT_EQ(GetFileAttributesW(u"\\Renamed\\locked.txt"), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}

TEST_F(FsTest, CopyKeepsTheSourceAndRefusesToCopyOntoItself) {
  deviceWrite(u"\\src.txt", "payload");
  deviceWrite(u"\\dst.txt", "old");
  EXPECT_FALSE(CopyFileW(u"\\src.txt", u"\\DST.txt", TRUE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
  EXPECT_EQ(deviceRead(u"\\dst.txt"), "old");
  EXPECT_TRUE(CopyFileW(u"\\src.txt", u"\\DST.txt", FALSE));
  EXPECT_EQ(deviceRead(u"\\dst.txt"), "payload");
  // A copy over an existing file keeps that file's place in the folder.
  EXPECT_EQ(found(u"\\*"), (Names{u"src.txt", u"dst.txt"}));

  EXPECT_FALSE(CopyFileW(u"\\src.txt", u"\\SRC.TXT", FALSE));
  EXPECT_EQ(deviceRead(u"\\src.txt"), "payload");
}

TEST_F(FsTest, OpenFilesCannotBeDeletedOrMoved) {
  deviceWrite(u"\\open.txt", "data");
  HANDLE file = CreateFileW(u"\\open.txt", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(DeleteFileW(u"\\open.txt"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_FALSE(MoveFileW(u"\\open.txt", u"\\moved.txt"));
  // A second reader is welcome, a writer is not.
  HANDLE reader = CreateFileW(u"\\open.txt", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_EQ(CreateFileW(u"\\open.txt", GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_TRUE(CloseHandle(reader));
  EXPECT_TRUE(CloseHandle(file));
  EXPECT_TRUE(DeleteFileW(u"\\open.txt"));
}

TEST_F(FsTest, InjectedFailuresFailOnceWithTheirErrorAndChangeNothing) {
  deviceWrite(u"\\a.txt", "keep");
  device_->faults().arm("MoveFileW");
  EXPECT_FALSE(MoveFileW(u"\\a.txt", u"\\b.txt"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(found(u"\\*"), Names{u"a.txt"});

  HANDLE file = CreateFileW(u"\\a.txt", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  device_->faults().arm("WriteFile", 2);
  DWORD written = 99;
  EXPECT_FALSE(WriteFile(file, "lost", 4, &written, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
  EXPECT_EQ(written, 0u);
  device_->faults().arm("FindFirstFileW", 1, ERROR_ACCESS_DENIED);
  WIN32_FIND_DATAW data;
  EXPECT_EQ(FindFirstFileW(u"\\*", &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_FALSE(WriteFile(file, "lost", 4, &written, nullptr));
  EXPECT_TRUE(WriteFile(file, "KE", 2, &written, nullptr));
  CloseHandle(file);
  EXPECT_EQ(deviceRead(u"\\a.txt"), "KEep");
  EXPECT_TRUE(MoveFileW(u"\\a.txt", u"\\b.txt"));
}

// The object store and a storage card are volumes of their own: a folder cannot
// move from one to the other, a file moves as a copy that keeps its bytes,
// attributes and times, and the original goes.
TEST_F(FsTest, OnlyFilesMoveBetweenTheObjectStoreAndAStorageCard) {
  hostWrite("Storage Card/Photos/p1.jpg", "jpeg");
  hostWrite("Docs/Inner/memo.txt", "memo");
  store().mountStorageCard(u"Storage Card");
  const std::pair<const char16_t*, const char16_t*> folderMoves[] = {
      {u"\\Docs", u"\\Storage Card\\Docs"},
      {u"\\docs\\inner", u"\\STORAGE CARD\\Photos\\Inner"},
      {u"\\Storage Card\\Photos", u"\\Photos"},
  };
  for (const auto& [from, to] : folderMoves) {
    EXPECT_FALSE(MoveFileW(from, to));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SAME_DEVICE));
  }
  EXPECT_EQ(found(u"\\Storage Card\\*"), Names{u"Photos"});
  EXPECT_EQ(found(u"\\Docs\\Inner\\*"), Names{u"memo.txt"});
  EXPECT_TRUE(MoveFileW(u"\\Storage Card\\Photos", u"\\Storage Card\\Pictures"));

  FILETIME created{1000, 30000000}, accessed{2000, 30000001}, written{3000, 30000002};
  HANDLE file = CreateFileW(u"\\Docs\\Inner\\memo.txt", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(SetFileTime(file, &created, &accessed, &written));
  CloseHandle(file);
  ASSERT_TRUE(SetFileAttributesW(u"\\Docs\\Inner\\memo.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  auto details = [](const char16_t* path) {
    WIN32_FIND_DATAW data{};
    HANDLE search = FindFirstFileW(path, &data);
    EXPECT_NE(search, INVALID_HANDLE_VALUE) << "no entry";
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    return data;
  };
  WIN32_FIND_DATAW before = details(u"\\Docs\\Inner\\memo.txt");

  for (const auto& [from, to] : {std::pair{u"\\Docs\\Inner\\memo.txt", u"\\Storage Card\\Pictures\\memo.txt"},
                                 std::pair{u"\\Storage Card\\Pictures\\memo.txt", u"\\Docs\\memo.txt"}}) {
    ASSERT_TRUE(MoveFileW(from, to));
    EXPECT_EQ(GetFileAttributesW(from), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(deviceRead(to), "memo");
    WIN32_FIND_DATAW after = details(to);
    EXPECT_EQ(after.dwFileAttributes, before.dwFileAttributes);
    EXPECT_EQ(CompareFileTime(&after.ftCreationTime, &before.ftCreationTime), 0);
    EXPECT_EQ(CompareFileTime(&after.ftLastAccessTime, &before.ftLastAccessTime), 0);
    EXPECT_EQ(CompareFileTime(&after.ftLastWriteTime, &before.ftLastWriteTime), 0);
  }
  EXPECT_EQ(found(u"\\Storage Card\\Pictures\\*"), Names{u"p1.jpg"});
  EXPECT_EQ(found(u"\\Docs\\*"), (Names{u"Inner", u"memo.txt"}));
}
