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

