#include <string>
#include <vector>

#include "comctl/combobox.h"
#include "comctl_test_support.h"

namespace {

using test_support::ControlHost;
using test_support::Heard;

HWND MakeCombo(HWND host, DWORD style) {
  return CreateWindowExW(0, u"ComboBox", u"", WS_CHILD | WS_VISIBLE | style, 4, 42, 200, 80, host,
                         reinterpret_cast<HMENU>(1088), nullptr, nullptr);
}

LRESULT Select(HWND combo, int start, const WCHAR* text) {
  return SendMessageW(combo, CB_SELECTSTRING, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(text));
}

TEST(ComboBox, SelectStringMatchesAPrefixIgnoringCaseFromAfterTheStartAndWraps) {
  ControlHost handheld;
  handheld.start([](HWND host) {
    HWND combo = MakeCombo(host, CBS_DROPDOWNLIST | CBS_SORT);
    // explicit positions are kept even with CBS_SORT
    for (const WCHAR* text : {u"\\", u" My Documents", u"  Work", u" my music"})
      SendMessageW(combo, CB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(Select(combo, -1, u" MY"), 1) << "from the top";
    EXPECT_EQ(Select(combo, 1, u" my"), 3) << "from after the start";
    EXPECT_EQ(Select(combo, 3, u" my"), 1) << "wrapping past the end";
    EXPECT_EQ(Select(combo, 0, u"\\"), 0) << "the start itself is searched last";
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(Select(combo, -1, u"nothing"), CB_ERR);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0) << "a failed search keeps the selection";
    EXPECT_EQ(SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(u" my")), CB_ERR);
    EXPECT_EQ(SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(u"  WORK")), 2);

    // CB_ADDSTRING sorts; deleting moves the selection with its entry.
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    for (const WCHAR* text : {u"pear", u"Apple", u"fig"})
      SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(sim::ComboBoxEntries(combo), (std::vector<std::u16string>{u"Apple", u"fig", u"pear"}));
    // In the device's Japanese order, not by code point: the symbol first, kana
    // (ﾒﾓ, U+FF92) before kanji (予定, U+4E88).
    for (const WCHAR* text : {u"予定", u"ﾒﾓ", u"~tmp"}) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(sim::ComboBoxEntries(combo), (std::vector<std::u16string>{u"~tmp", u"Apple", u"fig", u"pear", u"ﾒﾓ", u"予定"}));
    for (const WCHAR* text : {u"予定", u"ﾒﾓ", u"~tmp"})
      SendMessageW(combo, CB_DELETESTRING, SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text)), 0);
    SendMessageW(combo, CB_SETCURSEL, 2, 0);
    SendMessageW(combo, CB_SETITEMDATA, 2, 77);
    EXPECT_EQ(SendMessageW(combo, CB_DELETESTRING, 0, 0), 2);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessageW(combo, CB_GETITEMDATA, 1, 0), 77);
    EXPECT_EQ(SendMessageW(combo, CB_GETLBTEXTLEN, 1, 0), 4);
    EXPECT_EQ(test_support::WindowText(combo), u"pear");
    EXPECT_EQ(SendMessageW(combo, CB_INSERTSTRING, 9, reinterpret_cast<LPARAM>(u"x")), CB_ERR);
  });
}

TEST(ComboBox, AUsersPickTellsTheParentAndRebuildingInsideTheNotificationIsSafe) {
  ControlHost handheld;
  HWND combo = nullptr;
  handheld.start([&](HWND host) {
    combo = MakeCombo(host, CBS_DROPDOWNLIST);
    for (const WCHAR* text : {u"one", u"two", u"three"}) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  });
  handheld.call([&] {
    EXPECT_TRUE(sim::ComboBoxPick(combo, u"TWO"));
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_FALSE(sim::ComboBoxPick(combo, u"four"));
  });
  auto commands = Heard();
  EXPECT_NE(std::find(commands.begin(), commands.end(), "WM_COMMAND 1088 1"), commands.end()) << "CBN_SELCHANGE";
  EXPECT_EQ(commands.front(), "WM_COMMAND 1088 7") << "CBN_DROPDOWN first";
  EXPECT_EQ(commands.back(), "WM_COMMAND 1088 8") << "CBN_CLOSEUP last";
}

// A program that sizes its combo box later (as a dialog lays itself out on WM_SIZE)
// gives it the height of its field plus its list, as at creation; scroll bars asked
// for belong to the list, so the field keeps its whole width and shows its entry.
TEST(ComboBox, KeepsTheHeightOfItsFieldWhenSizedLaterAndLeavesScrollBarsToItsList) {
  ControlHost handheld;
  HWND combo = nullptr;
  RECT created{}, sized{}, client{}, dropped{};
  handheld.start([&](HWND host) {
    combo = MakeCombo(host, CBS_DROPDOWNLIST | WS_VSCROLL);
    for (const WCHAR* text : {u"a", u"b", u"c", u"d", u"e", u"f"}) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    GetWindowRect(combo, &created);
    SetWindowPos(combo, nullptr, 4, 42, 220, 120, 0);
    GetWindowRect(combo, &sized);
    GetClientRect(combo, &client);
  });
  handheld.call([&] {
    EXPECT_EQ(GetWindowLongW(combo, GWL_STYLE) & WS_VSCROLL, 0);
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    GetWindowRect(FindWindowW(u"ComboLBox", nullptr), &dropped);
  });
  EXPECT_EQ(sized.bottom - sized.top, created.bottom - created.top);
  EXPECT_EQ(sized.right - sized.left, 220);
  EXPECT_EQ(client.right, 220) << "no scroll bar takes the field's width";
  EXPECT_EQ(dropped.top, sized.bottom);
  EXPECT_GT(dropped.bottom - dropped.top, 80) << "the list drops as tall as the later height leaves it";
}

TEST(Toolbar, TappedButtonsSendTheirCommandAndCheckButtonsToggle) {
  ControlHost handheld;
  HWND bar = nullptr;
  handheld.start([&](HWND host) {
    bar = CommandBar_Create(nullptr, host, 1);
    ASSERT_NE(bar, nullptr);
    SendMessageW(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    EXPECT_EQ(CommandBar_AddBitmap(bar, nullptr, 147, 4, 16, 16), 0);
    const TBBUTTON buttons[] = {
        {0, 0, TBSTATE_ENABLED, TBSTYLE_SEP, {0, 0}, 0, -1},
        {0, 1003, TBSTATE_ENABLED, TBSTYLE_BUTTON, {0, 0}, 0, -1},
        {2, 40001, TBSTATE_ENABLED | TBSTATE_CHECKED, TBSTYLE_CHECKGROUP, {0, 0}, 0, -1},
        {3, 1002, TBSTATE_ENABLED, TBSTYLE_CHECKGROUP, {0, 0}, 0, -1},
        {1, 1022, 0, TBSTYLE_CHECK, {0, 0}, 0, -1},
    };
    EXPECT_TRUE(CommandBar_AddButtons(bar, 5, buttons));
    EXPECT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 5);
    EXPECT_EQ(CommandBar_Height(bar), CMDBAR_HEIGHT);
  });
  auto tapButton = [&](int index) {
    RECT rect{};
    handheld.call([&] { SendMessageW(bar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect)); });
    handheld.tap(bar, test_support::Middle(rect));
  };
  tapButton(1);
  tapButton(3);
  tapButton(4);  // disabled: nothing
  EXPECT_EQ(Heard(), (std::vector<std::string>{"WM_COMMAND 1003 0", "WM_COMMAND 1002 0"}));
  handheld.call([&] {
    EXPECT_FALSE(SendMessageW(bar, TB_ISBUTTONCHECKED, 40001, 0)) << "the group's other button is cleared";
    EXPECT_TRUE(SendMessageW(bar, TB_ISBUTTONCHECKED, 1002, 0));
    EXPECT_TRUE(SendMessageW(bar, TB_ENABLEBUTTON, 1022, MAKELPARAM(TRUE, 0)));
    EXPECT_EQ(SendMessageW(bar, TB_GETSTATE, 1022, 0), TBSTATE_ENABLED);
    TBBUTTON read{};
    EXPECT_TRUE(SendMessageW(bar, TB_GETBUTTON, 2, reinterpret_cast<LPARAM>(&read)));
    EXPECT_EQ(read.idCommand, 40001);
    EXPECT_EQ(read.iBitmap, 2);
    EXPECT_EQ(read.iString, -1);
  });
  Heard().clear();
  tapButton(4);
  tapButton(4);
  EXPECT_EQ(Heard().size(), 2u);
  handheld.call([&] { EXPECT_FALSE(SendMessageW(bar, TB_ISBUTTONCHECKED, 1022, 0)) << "checked, then unchecked"; });
}

TEST(ImageList, CountsGrowAndADestroyedListIsTheProgramsFault) {
  ControlHost handheld;
  handheld.start([&](HWND) {
    HIMAGELIST list = ImageList_Create(16, 16, ILC_MASK, 1, 2);
    ASSERT_NE(list, nullptr);
    HICON icon = LoadIconW(nullptr, IDI_APPLICATION);
    EXPECT_EQ(ImageList_AddIcon(list, icon), 0);
    EXPECT_EQ(ImageList_ReplaceIcon(list, -1, icon), 1);
    EXPECT_EQ(ImageList_ReplaceIcon(list, 0, icon), 0);
    EXPECT_EQ(ImageList_ReplaceIcon(list, 5, icon), -1);
    EXPECT_EQ(ImageList_GetImageCount(list), 2);
    int cx = 0, cy = 0;
    EXPECT_TRUE(ImageList_GetIconSize(list, &cx, &cy));
    EXPECT_EQ(cx, 16);
    EXPECT_TRUE(ImageList_Remove(list, 0));
    EXPECT_EQ(ImageList_GetImageCount(list), 1);
    EXPECT_TRUE(ImageList_Destroy(list));
    test_support::ExpectMisuse add("ImageList_ReplaceIcon");
    test_support::ExpectMisuse destroy("ImageList_Destroy");
    EXPECT_EQ(ImageList_AddIcon(list, icon), -1);
    EXPECT_FALSE(ImageList_Destroy(list));
  });
  handheld.device().faults().arm("ImageList_Create");
  handheld.call([] { EXPECT_EQ(ImageList_Create(16, 16, ILC_COLOR, 16, 0), nullptr); });
}

}  // namespace
