// The companion's own rules that the File Explorer's screen shows badly: how the
// current folder is read from the folder menu, and how Send-To links are read.
#include <gtest/gtest.h>

#include "companion.h"
#include "support/test_device.h"

namespace {

class CompanionTest : public ::testing::Test {
 protected:
  test_support::TestDevice device_;
};

TEST_F(CompanionTest, FolderCaptureTrimsLeadingBlanksAndBulletsAndEmptiesTheMenu) {
  std::u16string folder;
  int itemsLeft = -1;
  device_.run([&] {
    ResetCompanionState();
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 1, u"ﾏｲ ﾃﾞﾊﾞｲｽ");
    AppendMenuW(menu, MF_STRING, 2, u"• My Documents");
    AppendMenuW(menu, MF_STRING, 3, u"  • Personal");
    AppendMenuW(menu, MF_STRING, 4, u" \u2022\u2022 Deep  ");
    CaptureCurrentFolder(menu);
    folder = companionState.currentFolder;
    itemsLeft = GetMenuItemCount(menu);
    DestroyMenu(menu);
    ResetCompanionState();
    return 0;
  });
  EXPECT_EQ(folder, u"\\My Documents\\Personal\\Deep  \\") << "blanks after a name stay";
  EXPECT_EQ(itemsLeft, 0);
}

TEST_F(CompanionTest, FolderCaptureOfTheRootAlone) {
  std::u16string folder;
  device_.run([&] {
    ResetCompanionState();
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 1, u"ﾏｲ ﾃﾞﾊﾞｲｽ");
    CaptureCurrentFolder(menu);
    folder = companionState.currentFolder;
    DestroyMenu(menu);
    ResetCompanionState();
    return 0;
  });
  EXPECT_EQ(folder, u"\\");
}

TEST(CompanionText, QuotesAreRemovedOnlyAtTheEnds) {
  CString target(u"\"\"\\Program Files\\a \"b\".exe\"");
  StripQuotes(target);
  EXPECT_EQ(std::u16string(static_cast<LPCWSTR>(target)), u"\\Program Files\\a \"b\".exe");
  CString plain(u"\\Windows\\x.exe");
  StripQuotes(plain);
  EXPECT_EQ(std::u16string(static_cast<LPCWSTR>(plain)), u"\\Windows\\x.exe");
}

// A Send-To item whose text ends in an underscore passes paths without quotes; the
// link's target is read with its quotes removed; an unreadable link changes nothing.
TEST_F(CompanionTest, SendToReadsTheLinkAndTheUnderscoreRule) {
  struct Seen {
    DWORD passUnquoted;
    std::u16string target;
  };
  std::vector<Seen> seen;
  device_.folder("\\Windows\\SendTo");
  device_.run([&] {
    ResetCompanionState();
    SHCreateShortcut(const_cast<LPWSTR>(u"\\Windows\\SendTo\\Mail.lnk"), const_cast<LPWSTR>(u"\"\\Windows\\mail.exe\""));
    SHCreateShortcut(const_cast<LPWSTR>(u"\\Windows\\SendTo\\Raw_.lnk"), const_cast<LPWSTR>(u"\\Windows\\raw.exe"));
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = CompanionWndProc;
    windowClass.lpszClassName = u"CompanionTestWindow";
    RegisterClassW(&windowClass);
    companionState.previousWndProc = DefWindowProcW;
    HWND window = CreateWindowExW(0, u"CompanionTestWindow", u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    companionState.sendToMenu = CreatePopupMenu();
    FillLinkMenu(companionState.sendToMenu, SEND_TO_PATTERN, CMD_SEND_TO_FIRST);
    AppendMenuW(companionState.sendToMenu, MF_STRING, CMD_SEND_TO_FIRST + 5, u"Missing");
    for (UINT id : {CMD_SEND_TO_FIRST, CMD_SEND_TO_FIRST + 1, CMD_SEND_TO_FIRST + 2}) {
      SendMessageW(window, WM_COMMAND, id, 0);
      seen.push_back({companionState.passUnquoted, std::u16string(static_cast<LPCWSTR>(companionState.sendToTarget))});
    }
    DestroyWindow(window);
    DestroyMenu(companionState.sendToMenu);
    ResetCompanionState();
    return 0;
  });
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].passUnquoted, 0u);
  EXPECT_EQ(seen[0].target, u"\\Windows\\mail.exe");
  EXPECT_EQ(seen[1].passUnquoted, 1u);
  EXPECT_EQ(seen[1].target, u"\\Windows\\raw.exe");
  EXPECT_EQ(seen[2].target, u"\\Windows\\raw.exe") << "a link that cannot be read keeps the last target";
}

}  // namespace
