// Texts at the edge of MAX_PATH: a formatted path of 259 characters is used, one of
// 260 (which the device's formatter leaves unterminated) is refused and changes
// nothing; and the folder the tree is opened on.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "bounded_format.h"
#include "companion.h"
#include "support/test_device.h"

namespace {

TEST(BoundedFormat, WholeTextOrEmpty) {
  WCHAR buffer[MAX_PATH + 2];
  const std::u16string fits(MAX_PATH - 1, u'a');
  EXPECT_TRUE(FormatWhole(buffer, MAX_PATH, u"%s", fits.c_str()));
  EXPECT_EQ(std::u16string(buffer), fits);
  for (size_t length : {MAX_PATH, MAX_PATH + 1}) {
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    const std::u16string tooLong(length, u'b');
    EXPECT_FALSE(FormatWhole(buffer, MAX_PATH, u"%s", tooLong.c_str())) << length;
    EXPECT_EQ(buffer[0], 0) << length;
    EXPECT_EQ(buffer[MAX_PATH], u'#') << "nothing written past the buffer";
  }
}

TEST(TreeStart, FolderWithoutItsBackslashOrItsDeepestAncestorThatFits) {
  const std::u16string deep = u"\\Temp\\" + std::u16string(FOLDER_TREE_PATH_LENGTH - 6, u'd');
  const std::u16string deeper = u"\\Temp\\" + std::u16string(FOLDER_TREE_PATH_LENGTH - 5, u'e');
  const struct {
    std::u16string folder;
    std::u16string start;
  } cases[] = {{u"\\", u"\\"},
               {u"\\My Documents\\", u"\\My Documents"},
               {deep + u"\\", deep},
               {deeper + u"\\", u"\\Temp"},
               {deeper + u"\\x\\", u"\\Temp"},
               {std::u16string(300, u'z'), u""}};
  for (const auto& c : cases) {
    WCHAR path[MAX_PATH];
    TreeStartFolder(CString(c.folder.c_str()), path);
    EXPECT_EQ(std::u16string(path), c.start) << c.folder.size();
  }
}

class CompanionBoundaries : public ::testing::Test {
 protected:
  test_support::TestDevice device_;
};

// "\" + folder + "\" + "x.lnk": a folder name of 252 gives 259, of 253 gives 260.
TEST_F(CompanionBoundaries, PastedLinkPathFitsAtTwoHundredFiftyNine) {
  const std::string fits(252, 'f');
  const std::string tooLong(253, 'g');
  device_.folder("\\Temp");
  device_.folder("\\" + fits);
  device_.folder("\\" + tooLong);
  BOOL results[2] = {-1, -1};
  device_.run([&] {
    ResetCompanionState();
    CloseHandle(CreateFileW(u"\\Temp\\x.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    companionState.selectedPath = u"\\Temp\\x.txt";
    int i = 0;
    for (const std::string* folder : {&fits, &tooLong}) {
      companionState.currentFolder = (u"\\" + std::u16string(folder->begin(), folder->end()) + u"\\").c_str();
      results[i++] = CreatePastedShortcut(nullptr);
    }
    ResetCompanionState();
    return 0;
  });
  EXPECT_TRUE(results[0]);
  EXPECT_TRUE(std::filesystem::exists(device_.root() / fits / "x.lnk"));
  EXPECT_FALSE(results[1]);
  EXPECT_TRUE(std::filesystem::is_empty(device_.root() / tooLong));
}

// "\Windows\SendTo\" + text + ".lnk": a text of 239 gives 259, of 240 gives 260.
TEST_F(CompanionBoundaries, SendToLinkPathFitsAtTwoHundredFiftyNine) {
  const std::u16string fits(239, u's');
  const std::u16string tooLong(240, u't');
  device_.folder("\\Windows\\SendTo");
  std::u16string targets[2];
  device_.run([&] {
    ResetCompanionState();
    SHCreateShortcut(const_cast<LPWSTR>((u"\\Windows\\SendTo\\" + fits + u".lnk").c_str()),
                     const_cast<LPWSTR>(u"\\Windows\\fits.exe"));
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = CompanionWndProc;
    windowClass.lpszClassName = u"CompanionBoundaryWindow";
    RegisterClassW(&windowClass);
    companionState.previousWndProc = DefWindowProcW;
    HWND window = CreateWindowExW(0, u"CompanionBoundaryWindow", u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    companionState.sendToMenu = CreatePopupMenu();
    AppendMenuW(companionState.sendToMenu, MF_STRING, CMD_SEND_TO_FIRST, fits.c_str());
    AppendMenuW(companionState.sendToMenu, MF_STRING, CMD_SEND_TO_FIRST + 1, tooLong.c_str());
    SendMessageW(window, WM_COMMAND, CMD_SEND_TO_FIRST, 0);
    targets[0] = static_cast<LPCWSTR>(companionState.sendToTarget);
    companionState.sendToTarget = u"unchanged";
    SendMessageW(window, WM_COMMAND, CMD_SEND_TO_FIRST + 1, 0);
    targets[1] = static_cast<LPCWSTR>(companionState.sendToTarget);
    DestroyWindow(window);
    DestroyMenu(companionState.sendToMenu);
    ResetCompanionState();
    return 0;
  });
  EXPECT_EQ(targets[0], u"\\Windows\\fits.exe");
  EXPECT_EQ(targets[1], u"unchanged");
}

}  // namespace
