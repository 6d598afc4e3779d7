// The order a folder search hands entries out in: what a folder holds when the
// device first sees it comes in name order, then every entry in the order it came
// to be; a renamed entry keeps its place.
#include "fs_fixture.h"

using Names = std::vector<std::u16string>;

namespace {

void MakeFolder(const char16_t* path) { ASSERT_TRUE(CreateDirectoryW(path, nullptr)); }

}  // namespace

TEST_F(FsTest, EntriesMadeByTheDeviceFollowThoseItFoundInTheOrderTheyWereMade) {
  for (const char* name : {"Folder/d.txt", "Folder/b.txt"}) hostWrite(name, "");
  // The first change to a folder the device has not listed yet keeps what was
  // there in name order ahead of the new entry.
  deviceWrite(u"\\Folder\\c.txt", "");
  MakeFolder(u"\\Folder\\A");
  deviceWrite(u"\\Folder\\a.txt", "");
  EXPECT_EQ(found(u"\\Folder\\*"), (Names{u"b.txt", u"d.txt", u"c.txt", u"A", u"a.txt"}));
  // Rewriting an entry leaves it where it is; a pattern keeps the order too.
  deviceWrite(u"\\Folder\\b.txt", "again");
  EXPECT_TRUE(CopyFileW(u"\\Folder\\a.txt", u"\\Folder\\d.txt", FALSE));
  EXPECT_EQ(found(u"\\Folder\\*.txt"), (Names{u"b.txt", u"d.txt", u"c.txt", u"a.txt"}));
}

TEST_F(FsTest, ARenameKeepsTheEntrysPlaceAndAMoveGoesToTheEndOfItsNewFolder) {
  for (const char* name : {"a", "b", "c", "Other/x"}) hostWrite(name, "");
  ASSERT_TRUE(MoveFileW(u"\\a", u"\\z"));
  ASSERT_TRUE(MoveFileW(u"\\b", u"\\B"));  // a change of case only
  EXPECT_EQ(found(u"\\*"), (Names{u"z", u"B", u"c", u"Other"}));
  ASSERT_TRUE(MoveFileW(u"\\B", u"\\Other\\b"));
  EXPECT_EQ(found(u"\\Other\\*"), (Names{u"x", u"b"}));
  // A removed entry drops out; made again, it is new and comes last.
  ASSERT_TRUE(DeleteFileW(u"\\c"));
  deviceWrite(u"\\c", "");
  EXPECT_EQ(found(u"\\*"), (Names{u"z", u"Other", u"c"}));
}

TEST_F(FsTest, AFolderKeepsTheOrderOfItsEntriesWhenItIsRenamedOrMoved) {
  for (const char* name : {"Docs/y", "Docs/x", "Shelf/keep"}) hostWrite(name, "");
  deviceWrite(u"\\Docs\\w", "");
  ASSERT_TRUE(MoveFileW(u"\\Docs", u"\\Papers"));
  EXPECT_EQ(found(u"\\Papers\\*"), (Names{u"x", u"y", u"w"}));
  ASSERT_TRUE(MoveFileW(u"\\Papers", u"\\Shelf\\Papers"));
  EXPECT_EQ(found(u"\\Shelf\\Papers\\*"), (Names{u"x", u"y", u"w"}));
  // A folder made again at an old name starts empty, its order with it.
  MakeFolder(u"\\Docs");
  deviceWrite(u"\\Docs\\x", "");
  deviceWrite(u"\\Docs\\w", "");
  EXPECT_EQ(found(u"\\Docs\\*"), (Names{u"x", u"w"}));
}

// Files written on the host while the device runs are not the device's own: they
// join the end when a search first finds them, several at once in name order, and
// keep that place whatever order the host lists its folder in.
TEST_F(FsTest, FilesTheHostAddsJoinTheEndWhenASearchFindsThem) {
  for (const char* name : {"m", "c"}) hostWrite(name, "");
  EXPECT_EQ(found(u"\\*"), (Names{u"c", u"m"}));
  for (const char* name : {"k", "b", "z"}) hostWrite(name, "");
  deviceWrite(u"\\a", "");
  EXPECT_EQ(found(u"\\*"), (Names{u"c", u"m", u"a", u"b", u"k", u"z"}));
  hostWrite("d", "");
  std::filesystem::remove(root_ / "m");
  EXPECT_EQ(found(u"\\*"), (Names{u"c", u"a", u"b", u"k", u"z", u"d"}));
  hostWrite("m", "");
  EXPECT_EQ(found(u"\\*"), (Names{u"c", u"a", u"b", u"k", u"z", u"d", u"m"}));
}

TEST_F(FsTest, WhatTheStoreHoldsAtBootListsInNameOrder) {
  for (const char16_t* name : {u"\\c", u"\\A", u"\\b"}) deviceWrite(name, "");
  MakeFolder(u"\\Sub");
  deviceWrite(u"\\Sub\\2", "");
  deviceWrite(u"\\Sub\\1", "");
  EXPECT_EQ(found(u"\\*"), (Names{u"c", u"A", u"b", u"Sub"}));
  store().takeContentsAsBooted();
  EXPECT_EQ(found(u"\\*"), (Names{u"A", u"b", u"c", u"Sub"}));
  EXPECT_EQ(found(u"\\Sub\\*"), (Names{u"1", u"2"}));
  deviceWrite(u"\\a2", "");
  EXPECT_EQ(found(u"\\*"), (Names{u"A", u"b", u"c", u"Sub", u"a2"}));
}
