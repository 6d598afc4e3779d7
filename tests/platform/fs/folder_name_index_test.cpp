// Finding a name in another case: the names of a settled folder are listed once,
// and a folder that changed is listed again, so a lookup never answers from a
// stale listing.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <windows.h>

#include "fs/folder_name_index.h"
#include "tests/support/scratch_folder.h"

namespace {

using sim::fs::FolderNameIndex;

class FolderNameIndexTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = scratch_.path();
    std::filesystem::create_directories(folder_ / "Sub");
    for (const char* name : {"Readme.TXT", "abc", "ABC"}) std::ofstream(folder_ / name) << name;
  }

  // Stamps the folder with a change time of its own, as a change a tick apart would.
  void stampFolder(long seconds) {
    struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, folder_.c_str(), times, 0), 0);
  }

  static FolderNameIndex::Clock Far() {
    return [] { return timespec{4102444800, 0}; };  // long after any folder here changed
  }

  test_support::ScratchFolder scratch_;
  std::filesystem::path folder_;
};

TEST_F(FolderNameIndexTest, FindsNamesInAnyCaseAndListsASettledFolderOnce) {
  FolderNameIndex index(Far());
  auto readme = index.find(folder_, u"readme.txt");
  ASSERT_TRUE(readme);
  EXPECT_EQ(readme->name, u"Readme.TXT");
  EXPECT_EQ(readme->hostName, "Readme.TXT");
  EXPECT_FALSE(readme->isDirectory);
  auto sub = index.find(folder_, u"SUB");
  ASSERT_TRUE(sub);
  EXPECT_TRUE(sub->isDirectory);
  // Of two names equal ignoring case, the lowest in code units.
  auto abc = index.find(folder_, u"Abc");
  ASSERT_TRUE(abc);
  EXPECT_EQ(abc->name, u"ABC");
  auto missing = index.find(folder_, u"nothing");
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().code, static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(index.listings(), 1u);
}

TEST_F(FolderNameIndexTest, AChangedFolderIsListedAgain) {
  FolderNameIndex index(Far());
  stampFolder(1000000000);
  ASSERT_FALSE(index.find(folder_, u"new.txt"));

  std::ofstream(folder_ / "New.txt") << "x";
  std::filesystem::remove(folder_ / "ABC");
  stampFolder(1000000001);
  auto added = index.find(folder_, u"NEW.TXT");
  ASSERT_TRUE(added);
  EXPECT_EQ(added->name, u"New.txt");
  auto left = index.find(folder_, u"Abc");
  ASSERT_TRUE(left);
  EXPECT_EQ(left->name, u"abc");
  EXPECT_EQ(index.listings(), 2u);

}

TEST_F(FolderNameIndexTest, AFolderThatJustChangedIsNeverKept) {
  // With the clock at the folder's own change time, a change within the same tick
  // of the host's file clock could go unseen: every lookup lists again.
  FolderNameIndex index([] { return timespec{1000000000, 0}; });
  stampFolder(1000000000);
  EXPECT_TRUE(index.find(folder_, u"readme.txt"));
  EXPECT_TRUE(index.find(folder_, u"sub"));
  EXPECT_EQ(index.listings(), 2u);

  // Such a folder is only searched for the name, with the same answers.
  std::ofstream(folder_ / u8"Ωmega.txt") << "greek";
  std::ofstream(folder_ / u8"𝄞 Clef") << "beyond the basic plane";
  stampFolder(1000000000);
  auto abc = index.find(folder_, u"Abc");
  ASSERT_TRUE(abc);
  EXPECT_EQ(abc->name, u"ABC");
  auto sub = index.find(folder_, u"SUB");
  ASSERT_TRUE(sub);
  EXPECT_TRUE(sub->isDirectory);
  auto omega = index.find(folder_, u"ωMEGA.TXT");
  ASSERT_TRUE(omega);
  EXPECT_EQ(omega->name, u"Ωmega.txt");
  EXPECT_EQ(omega->hostName, "Ωmega.txt");
  auto clef = index.find(folder_, u"𝄞 clef");
  ASSERT_TRUE(clef);
  EXPECT_EQ(clef->name, u"𝄞 Clef");
  auto missing = index.find(folder_, u"ab");
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().code, static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(index.listings(), 7u);
}

TEST_F(FolderNameIndexTest, AMissingFolderIsAMissingPath) {
  FolderNameIndex index(Far());
  auto found = index.find(folder_ / "Missing", u"a");
  ASSERT_FALSE(found);
  EXPECT_EQ(found.error().code, static_cast<std::uint32_t>(ERROR_PATH_NOT_FOUND));
}

}  // namespace
