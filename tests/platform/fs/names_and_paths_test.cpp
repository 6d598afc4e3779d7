#include <unistd.h>

#include "fs_fixture.h"

using Names = std::vector<std::u16string>;

TEST_F(FsTest, LookupsIgnoreLatinCaseButKeepNamesExactly) {
  deviceWrite(u"\\ﾃﾞｰﾀ Ａｂｃ.TXT", "half-width kana");
  // The host keeps the exact name the device wrote.
  EXPECT_TRUE(std::filesystem::exists(root_ / u8"ﾃﾞｰﾀ Ａｂｃ.TXT"));

  EXPECT_EQ(deviceRead(u"\\ﾃﾞｰﾀ ａＢＣ.txt"), "half-width kana");
  EXPECT_EQ(found(u"\\ﾃﾞｰﾀ ａｂｃ.TXT"), Names{u"ﾃﾞｰﾀ Ａｂｃ.TXT"});

  // Kana never fold: full-width katakana and hiragana are other names.
  EXPECT_EQ(GetFileAttributesW(u"\\データ Ａｂｃ.TXT"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(GetFileAttributesW(u"\\でーた Ａｂｃ.TXT"), INVALID_FILE_ATTRIBUTES);
  deviceWrite(u"\\Café.txt", "accented");
  EXPECT_EQ(deviceRead(u"\\CAFÉ.TXT"), "accented");

  // Folders on the way resolve the same way, and host-made names are found too.
  hostWrite("My Documents/Report.DOC", "r");
  EXPECT_EQ(deviceRead(u"\\MY DOCUMENTS\\report.doc"), "r");
  EXPECT_EQ(found(u"\\my documents\\*"), Names{u"Report.DOC"});
}

TEST_F(FsTest, OpeningAnExistingFileByAnotherCaseKeepsItsName) {
  hostWrite("Notes.txt", "old");
  deviceWrite(u"\\NOTES.TXT", "new");
  EXPECT_EQ(found(u"\\*"), Names{u"Notes.txt"});
  EXPECT_EQ(hostRead("Notes.txt"), "new");
}

TEST_F(FsTest, PathsThatCouldLeaveTheDeviceFolderAreRefused) {
  std::filesystem::create_directories(root_ / "inner");
  std::ofstream(base_ / "outside.txt") << "host secret";
  struct Case {
    const char16_t* path;
    DWORD error;
  };
  const Case cases[] = {
      {u"\\..\\outside.txt", ERROR_INVALID_NAME},         {u"\\inner\\..\\..\\outside.txt", ERROR_INVALID_NAME},
      {u"\\.\\inner", ERROR_INVALID_NAME},                {u"\\inner/../../outside.txt", ERROR_INVALID_NAME},
      {u"..\\outside.txt", ERROR_INVALID_NAME},           {u"", ERROR_PATH_NOT_FOUND},
      {u"\\inner\\a<b", ERROR_INVALID_NAME},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.path, c.path + std::char_traits<char16_t>::length(c.path)));
    EXPECT_EQ(GetFileAttributesW(c.path), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), c.error);
    EXPECT_EQ(CreateFileW(c.path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(DeleteFileW(c.path));
    EXPECT_FALSE(MoveFileW(u"\\inner", c.path));
  }
  // A name holding a NUL is cut there by the API, never passed on to the host.
  EXPECT_EQ(GetFileAttributesW(u"\\inner\0\\..\\.."), FILE_ATTRIBUTE_DIRECTORY);
  std::ifstream in(base_ / "outside.txt");
  std::string text;
  std::getline(in, text);
  EXPECT_EQ(text, "host secret");
  EXPECT_TRUE(std::filesystem::is_directory(root_ / "inner"));
}

// The device has no current folder: without its leading "\" a path names the
// same entry as with it, in every call that takes one.
TEST_F(FsTest, APathWithoutALeadingSeparatorIsTakenFromTheRoot) {
  ASSERT_TRUE(CreateDirectoryW(u"Temp", nullptr));
  EXPECT_EQ(GetFileAttributesW(u"\\Temp"), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  deviceWrite(u"temp\\a.txt", "relative");
  EXPECT_EQ(hostRead("Temp/a.txt"), "relative");
  EXPECT_EQ(deviceRead(u"Temp\\A.TXT"), "relative");
  EXPECT_EQ(found(u"Temp\\*"), Names{u"a.txt"});
  EXPECT_EQ(found(u"TEMP"), Names{u"Temp"});
  EXPECT_TRUE(SetFileAttributesW(u"Temp\\a.txt", FILE_ATTRIBUTE_HIDDEN));
  EXPECT_EQ(GetFileAttributesW(u"Temp\\a.txt"), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
  EXPECT_TRUE(CopyFileW(u"Temp\\a.txt", u"b.txt", TRUE));
  EXPECT_TRUE(MoveFileW(u"b.txt", u"Temp\\c.txt"));
  EXPECT_EQ(found(u"\\Temp\\*"), (Names{u"a.txt", u"c.txt"}));
  std::u16string shortcut = u"Temp\\go.lnk", target = u"\\Temp\\c.txt";
  ASSERT_TRUE(SHCreateShortcut(shortcut.data(), target.data()));
  WCHAR read[MAX_PATH] = {};
  ASSERT_TRUE(SHGetShortcutTarget(shortcut.data(), read, MAX_PATH));
  EXPECT_EQ(std::u16string(read), target);
  for (const char16_t* file : {u"Temp\\a.txt", u"Temp\\c.txt", u"Temp\\go.lnk"}) EXPECT_TRUE(DeleteFileW(file));
  EXPECT_TRUE(RemoveDirectoryW(u"Temp"));
  EXPECT_FALSE(std::filesystem::exists(root_ / "Temp"));

  // It is as long as it would be with its separator.
  std::u16string longest;
  while (longest.size() < MAX_PATH - 3) longest += u"d\\";
  longest += u"f";
  ASSERT_EQ(longest.size(), static_cast<std::size_t>(MAX_PATH - 1));
  EXPECT_EQ(GetFileAttributesW(longest.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
}

TEST_F(FsTest, HostSymbolicLinksAreNeverFollowed) {
  std::filesystem::create_directories(base_ / "elsewhere");
  std::ofstream(base_ / "elsewhere" / "target.txt") << "must stay";
  std::filesystem::create_symlink(base_ / "elsewhere" / "target.txt", root_ / "link.txt");
  std::filesystem::create_directory_symlink(base_ / "elsewhere", root_ / "linkdir");
  hostWrite("real.txt", "x");

  EXPECT_EQ(found(u"\\*"), Names{u"real.txt"});
  EXPECT_EQ(found(u"\\linkdir\\*"), Names{});
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(GetFileAttributesW(u"\\link.txt"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesW(u"\\linkdir\\target.txt"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

  // Writing at the link's name must not write through it.
  EXPECT_EQ(CreateFileW(u"\\link.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_FALSE(CopyFileW(u"\\real.txt", u"\\linkdir\\target.txt", FALSE));
  EXPECT_FALSE(DeleteFileW(u"\\link.txt"));
  std::ifstream in(base_ / "elsewhere" / "target.txt");
  std::string text;
  std::getline(in, text);
  EXPECT_EQ(text, "must stay");
}

// The host folder a device is booted over may itself be reached through a link;
// only links inside the device are refused.
TEST_F(FsTest, ADeviceOverALinkedHostFolderResolvesItsPaths) {
  hostWrite("Folder/Inner/file.txt", "abc");
  std::filesystem::create_directory_symlink(root_, base_ / "via-link");
  device_.reset();
  sim::DeviceConfig config;
  config.root = base_ / "via-link";
  device_ = std::make_unique<sim::Device>(test_support::FailOnMisuse(config));

  EXPECT_EQ(GetFileAttributesW(u"\\Folder\\Inner\\file.txt"), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_EQ(GetFileAttributesW(u"\\folder\\INNER"), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_EQ(found(u"\\Folder\\Inner\\*"), Names{u"file.txt"});
  EXPECT_EQ(deviceRead(u"\\Folder\\Inner\\file.txt"), "abc");
  deviceWrite(u"\\Folder\\new.txt", "xyz");
  EXPECT_EQ(hostRead("Folder/new.txt"), "xyz");
}

TEST_F(FsTest, StorageCardsReportDirectoryAndTemporary) {
  std::filesystem::create_directories(root_ / "Storage Card" / "Photos");
  std::filesystem::create_directories(root_ / "Plain");
  store().mountStorageCard(u"Storage Card");

  EXPECT_EQ(GetFileAttributesW(u"\\storage card"), 0x110u);
  EXPECT_EQ(GetFileAttributesW(u"\\Storage Card\\Photos"), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_EQ(GetFileAttributesW(u"\\Plain"), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW(u"\\Storage Card", &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_EQ(data.dwFileAttributes, 0x110u);
  FindClose(search);

  // The card itself cannot be removed or renamed.
  std::filesystem::remove(root_ / "Storage Card" / "Photos");
  EXPECT_FALSE(RemoveDirectoryW(u"\\Storage Card"));
  EXPECT_FALSE(MoveFileW(u"\\Storage Card", u"\\Card"));
  EXPECT_TRUE(std::filesystem::is_directory(root_ / "Storage Card"));
}

// Deep in the store a lookup that misses starts from the leaf's folder when that
// is named as stored; every answer must be the one a walk from the root gives,
// and what the host changes between calls is seen at the next.
TEST_F(FsTest, DeepLookupsAnswerAsAWalkFromTheRootWould) {
  hostWrite("A/B/C/D/Leaf.TXT", "leaf");
  hostWrite("A/B/C/D/File", "a file");
  auto attributes = [](const char16_t* path) {
    DWORD value = GetFileAttributesW(path);
    return std::pair{value, value == INVALID_FILE_ATTRIBUTES ? GetLastError() : DWORD{0}};
  };
  const DWORD archive = FILE_ATTRIBUTE_ARCHIVE, missing = INVALID_FILE_ATTRIBUTES;
  EXPECT_EQ(attributes(u"\\A\\B\\C\\D\\leaf.txt"), std::pair(archive, DWORD{0}));
  EXPECT_EQ(attributes(u"\\a\\b\\c\\d\\LEAF.TXT"), std::pair(archive, DWORD{0}));
  EXPECT_EQ(attributes(u"\\A\\B\\C\\D\\none"), std::pair(missing, DWORD{ERROR_FILE_NOT_FOUND}));
  EXPECT_EQ(attributes(u"\\A\\B\\C\\X\\none"), std::pair(missing, DWORD{ERROR_PATH_NOT_FOUND}));
  EXPECT_EQ(attributes(u"\\A\\B\\C\\D\\File\\none"), std::pair(missing, DWORD{ERROR_PATH_NOT_FOUND}));
  EXPECT_EQ(attributes(u"\\A\\B\\C\\D\\leaf.txt\\"), std::pair(missing, DWORD{ERROR_INVALID_NAME}));
  EXPECT_EQ(found(u"\\A\\B\\C\\D\\LEAF.*"), Names{u"Leaf.TXT"});

  // A missing leaf is made with the name given, in the folder as stored.
  deviceWrite(u"\\a\\B\\C\\D\\New.txt", "new");
  EXPECT_EQ(hostRead("A/B/C/D/New.txt"), "new");
  deviceWrite(u"\\A\\B\\C\\D\\Made.txt", "made");
  EXPECT_EQ(hostRead("A/B/C/D/Made.txt"), "made");

  // A link at the leaf is never followed, but a real entry of another case is found.
  std::filesystem::create_symlink(root_ / "A/B/C/D/Leaf.TXT", root_ / "A/B/C/D/leaf.txt");
  EXPECT_EQ(attributes(u"\\A\\B\\C\\D\\leaf.txt"), std::pair(archive, DWORD{0}));
  EXPECT_EQ(deviceRead(u"\\A\\B\\C\\D\\leaf.txt"), "leaf");
  std::filesystem::create_symlink(root_ / "A/B/C/D/Leaf.TXT", root_ / "A/B/C/D/only-link");
  EXPECT_EQ(attributes(u"\\A\\B\\C\\D\\only-link"), std::pair(missing, DWORD{ERROR_FILE_NOT_FOUND}));

  // A link on the way is refused, however deep.
  std::filesystem::create_directory_symlink(root_ / "A/B/C/D", root_ / "A/B/C/E");
  EXPECT_EQ(attributes(u"\\A\\B\\C\\E\\Leaf.TXT"), std::pair(missing, DWORD{ERROR_PATH_NOT_FOUND}));
  EXPECT_EQ(attributes(u"\\A\\B\\C\\E\\none"), std::pair(missing, DWORD{ERROR_PATH_NOT_FOUND}));

  // The host renames and removes between calls.
  std::filesystem::rename(root_ / "A/B/C/D", root_ / "A/B/C/d");
  EXPECT_EQ(attributes(u"\\A\\B\\C\\D\\Leaf.TXT"), std::pair(archive, DWORD{0}));
  EXPECT_EQ(found(u"\\A\\B\\C\\D\\L*"), Names{u"Leaf.TXT"});
  std::filesystem::remove_all(root_ / "A/B/C/d");
  EXPECT_EQ(attributes(u"\\A\\B\\C\\D\\Leaf.TXT"), std::pair(missing, DWORD{ERROR_PATH_NOT_FOUND}));
}
