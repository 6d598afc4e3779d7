#include "fs/file_time.h"
#include "fs_fixture.h"

namespace {
std::uint64_t Ticks(const FILETIME& t) { return sim::fs::Ticks(t); }
}

TEST_F(FsTest, FilesReadWriteSeekAndTruncate) {
  HANDLE file = CreateFileW(u"\\data.bin", GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD n = 0;
  ASSERT_TRUE(WriteFile(file, "0123456789", 10, &n, nullptr));
  EXPECT_EQ(n, 10u);
  EXPECT_EQ(SetFilePointer(file, -4, nullptr, FILE_END), 6u);
  char buffer[8] = {};
  ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &n, nullptr));
  EXPECT_EQ(std::string(buffer, n), "6789");
  ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &n, nullptr));  // at the end: success, nothing read
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(SetFilePointer(file, -20, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(SetFilePointer(file, 3, nullptr, FILE_BEGIN), 3u);
  ASSERT_TRUE(SetEndOfFile(file));
  DWORD high = 7;
  EXPECT_EQ(GetFileSize(file, &high), 3u);
  EXPECT_EQ(high, 0u);
  EXPECT_TRUE(CloseHandle(file));
  EXPECT_EQ(hostRead("data.bin"), "012");
}

TEST_F(FsTest, CreationDispositionsFollowThePlatform) {
  hostWrite("there.txt", "abc");
  EXPECT_EQ(CreateFileW(u"\\THERE.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
  EXPECT_EQ(CreateFileW(u"\\absent.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(CreateFileW(u"\\there.txt", GENERIC_READ, 0, nullptr, TRUNCATE_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(hostRead("there.txt"), "abc");

  HANDLE file = CreateFileW(u"\\there.txt", GENERIC_READ, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  DWORD n = 0;
  EXPECT_FALSE(WriteFile(file, "x", 1, &n, nullptr));  // opened for reading only
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  CloseHandle(file);

  file = CreateFileW(u"\\there.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  CloseHandle(file);
  EXPECT_EQ(hostRead("there.txt"), "");
  test_support::ExpectMisuse stale("ReadFile");
  EXPECT_FALSE(ReadFile(file, nullptr, 0, &n, nullptr));  // a closed handle
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(FsTest, WritesCarryDeviceTimeAndLeaveTheFolderDateAlone) {
  ASSERT_TRUE(CreateDirectoryW(u"\\Folder", nullptr));
  std::uint64_t boot = device_->clock().fileTimeUtc();
  device_->clock().advanceTo(90 * 1000);
  deviceWrite(u"\\Folder\\new.txt", "x");

  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW(u"\\Folder\\new.txt", &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  FindClose(search);
  EXPECT_EQ(Ticks(data.ftLastWriteTime), boot + 90 * sim::fs::kTicksPerSecond);
  EXPECT_EQ(Ticks(data.ftCreationTime), boot + 90 * sim::fs::kTicksPerSecond);
  search = FindFirstFileW(u"\\Folder", &data);
  FindClose(search);
  EXPECT_EQ(Ticks(data.ftLastWriteTime), boot);

  // A time set on the device is the time the device reads back.
  SYSTEMTIME st{2001, 11, 0, 30, 23, 59, 58, 0};
  FILETIME when;
  ASSERT_TRUE(SystemTimeToFileTime(&st, &when));
  HANDLE file = CreateFileW(u"\\Folder\\new.txt", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_TRUE(SetFileTime(file, &when, nullptr, &when));
  FILETIME created, written;
  ASSERT_TRUE(GetFileTime(file, &created, nullptr, &written));
  CloseHandle(file);
  EXPECT_EQ(Ticks(created), Ticks(when));
  EXPECT_EQ(Ticks(written), Ticks(when));
}

TEST_F(FsTest, FileTimesConvertToTheDeviceCalendarAndZone) {
  // The device boots at 2002-04-01 00:00 UTC, 09:00 in its zone (UTC+9).
  FILETIME now = sim::fs::MakeFileTime(device_->clock().fileTimeUtc()), local, back;
  ASSERT_TRUE(FileTimeToLocalFileTime(&now, &local));
  SYSTEMTIME st;
  ASSERT_TRUE(FileTimeToSystemTime(&local, &st));
  EXPECT_EQ((std::vector<int>{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wDayOfWeek}),
            (std::vector<int>{2002, 4, 1, 9, 0, 1}));  // a Monday
  ASSERT_TRUE(LocalFileTimeToFileTime(&local, &back));
  EXPECT_EQ(CompareFileTime(&back, &now), 0);
  EXPECT_EQ(CompareFileTime(&now, &local), -1);

  SYSTEMTIME leap{2000, 2, 0, 29, 12, 0, 0, 0}, invalid{2001, 2, 0, 29, 12, 0, 0, 0};
  FILETIME t;
  ASSERT_TRUE(SystemTimeToFileTime(&leap, &t));
  ASSERT_TRUE(FileTimeToSystemTime(&t, &st));
  EXPECT_EQ((std::vector<int>{st.wYear, st.wMonth, st.wDay, st.wDayOfWeek}), (std::vector<int>{2000, 2, 29, 2}));
  EXPECT_FALSE(SystemTimeToFileTime(&invalid, &t));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}
