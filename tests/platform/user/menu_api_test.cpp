#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "kernel/image_registry.h"
#include "kernel/process.h"
#include "menu_test_support.h"
#include "tests/platform/resources/test_image.h"
#include "tests/platform/resources/test_resource_ids.h"
#include "user/menu.h"

namespace {

using test_support::TestDevice;

constexpr UINT kMissing = 0xFFFFFFFF;

MENUITEMINFOW typeQuery(WCHAR* buffer, UINT cch) {
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_TYPE;
  info.dwTypeData = buffer;
  info.cch = cch;
  return info;
}

TEST(MenuItemInfo, TextIsBoundedByTheBufferAndReadingPastTheLastItemFails) {
  TestDevice device;
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 1, u"ﾏｲ ﾃﾞﾊﾞｲｽ");
  AppendMenuW(menu, MF_STRING, 2, u"  \u2022 My Documents");

  WCHAR small[8];
  std::fill(std::begin(small), std::end(small), u'#');
  auto info = typeQuery(small, 5);
  ASSERT_TRUE(GetMenuItemInfoW(menu, 1, TRUE, &info));
  EXPECT_EQ(std::u16string(small), u"  \u2022 ");
  EXPECT_EQ(info.cch, 4u) << "cch tells how many characters the buffer received";
  EXPECT_EQ(small[5], u'#') << "nothing is written past cch";

  auto sizeQuery = typeQuery(nullptr, 0);
  ASSERT_TRUE(GetMenuItemInfoW(menu, 1, TRUE, &sizeQuery));
  EXPECT_EQ(sizeQuery.cch, 16u) << "without a buffer cch gives the whole length";

  // The folder-menu reading: positions 1, 2, ... until the call fails.
  WCHAR text[MAX_PATH];
  int read = 0;
  for (UINT position = 1;; ++position) {
    auto query = typeQuery(text, MAX_PATH);
    if (!GetMenuItemInfoW(menu, position, TRUE, &query)) break;
    ++read;
  }
  EXPECT_EQ(read, 1);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MENU_ITEM_NOT_FOUND));

  auto wrongSize = typeQuery(text, MAX_PATH);
  wrongSize.cbSize = 12;
  EXPECT_FALSE(GetMenuItemInfoW(menu, 0, TRUE, &wrongSize));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(MenuItemInfo, SetThenGetRoundTripsEveryFieldAndARefusedSubmenuChangesNothing) {
  TestDevice device;
  HMENU menu = CreatePopupMenu();
  HMENU sub = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 7, u"old");

  WCHAR newText[] = u"新しい";
  MENUITEMINFOW set{};
  set.cbSize = sizeof set;
  set.fMask = MIIM_TYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
  set.fType = MFT_STRING | MFT_RADIOCHECK;
  set.fState = MFS_CHECKED | MFS_GRAYED;
  set.wID = 42;
  set.hSubMenu = sub;
  set.dwItemData = 0x1234;
  set.dwTypeData = newText;
  ASSERT_TRUE(SetMenuItemInfoW(menu, 7, FALSE, &set));

  WCHAR text[32];
  MENUITEMINFOW got = typeQuery(text, 32);
  got.fMask = set.fMask;
  ASSERT_TRUE(GetMenuItemInfoW(menu, 0, TRUE, &got));
  EXPECT_EQ(std::u16string(text), u"新しい");
  EXPECT_EQ(got.fType, static_cast<UINT>(MFT_RADIOCHECK));
  EXPECT_EQ(got.fState, static_cast<UINT>(MFS_CHECKED | MFS_GRAYED));
  EXPECT_EQ(got.wID, 42u);
  EXPECT_EQ(got.hSubMenu, sub);
  EXPECT_EQ(got.dwItemData, 0x1234u);

  // Making the menu its own grandchild is refused, and the item keeps its id.
  MENUITEMINFOW loop{};
  loop.cbSize = sizeof loop;
  loop.fMask = MIIM_SUBMENU | MIIM_ID;
  loop.hSubMenu = menu;
  loop.wID = 99;
  AppendMenuW(sub, MF_STRING, 5, u"inner");
  EXPECT_FALSE(SetMenuItemInfoW(sub, 0, TRUE, &loop));
  EXPECT_EQ(GetMenuItemID(sub, 0), 5u);
}

TEST(MenuState, EnableAndCheckByCommandReachIntoSubmenusAndReportThePreviousState) {
  TestDevice device;
  HMENU bar = CreatePopupMenu();
  HMENU sendTo = CreatePopupMenu();
  AppendMenuW(bar, MF_STRING, 100, u"top");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(sendTo), u"送る");
  AppendMenuW(sendTo, MF_STRING, 101, u"ｼｮｰﾄｶｯﾄの貼り付け");
  AppendMenuW(sendTo, MF_STRING, 103, u"複数選択ﾓｰﾄﾞ");

  EXPECT_EQ(EnableMenuItem(bar, 101, MF_BYCOMMAND | MF_GRAYED), MF_ENABLED);
  EXPECT_EQ(EnableMenuItem(bar, 101, MF_BYCOMMAND | MF_ENABLED), MF_GRAYED);
  EXPECT_EQ(EnableMenuItem(bar, 101, MF_BYCOMMAND | MF_GRAYED), MF_ENABLED);
  EXPECT_EQ(GetMenuState(sendTo, 101, MF_BYCOMMAND) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));

  EXPECT_EQ(CheckMenuItem(bar, 103, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(MF_UNCHECKED));
  EXPECT_EQ(CheckMenuItem(bar, 103, MF_BYCOMMAND | MF_UNCHECKED), static_cast<DWORD>(MF_CHECKED));
  EXPECT_EQ(CheckMenuItem(bar, 0, MF_BYPOSITION | MF_CHECKED), static_cast<DWORD>(MF_UNCHECKED));
  EXPECT_EQ(GetMenuState(bar, 100, MF_BYCOMMAND), static_cast<UINT>(MF_CHECKED));

  // A popup reports its submenu's item count in the high byte.
  EXPECT_EQ(GetMenuState(bar, 1, MF_BYPOSITION), static_cast<UINT>((2 << 8) | MF_POPUP));

  EXPECT_EQ(static_cast<UINT>(EnableMenuItem(bar, 555, MF_BYCOMMAND | MF_GRAYED)), kMissing);
  EXPECT_EQ(CheckMenuItem(bar, 555, MF_BYCOMMAND | MF_CHECKED), kMissing);
  EXPECT_EQ(CheckMenuItem(bar, 2, MF_BYPOSITION | MF_CHECKED), kMissing) << "past the last position";
}

TEST(MenuState, RadioItemsCheckExactlyOneOfTheirGroup) {
  TestDevice device;
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 40049, u"1つ上(&U)");
  AppendMenuW(menu, MF_STRING | MF_CHECKED, 40050, u"詳細(&R)");
  AppendMenuW(menu, MF_STRING, 40056, u"リスト(&L)");
  ASSERT_TRUE(CheckMenuRadioItem(menu, 40050, 40056, 40056, MF_BYCOMMAND));
  EXPECT_FALSE(GetMenuState(menu, 40050, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_TRUE(GetMenuState(menu, 40056, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_FALSE(CheckMenuRadioItem(menu, 1, 2, 0, MF_BYPOSITION)) << "the item to check lies outside the group";
  EXPECT_TRUE(GetMenuState(menu, 2, MF_BYPOSITION) & MF_CHECKED);
}

TEST(MenuEdit, InsertionPositionsAndCommandsFindTheirPlace) {
  TestDevice device;
  HMENU menu = CreatePopupMenu();
  HMENU sub = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 1, u"E0");
  AppendMenuW(menu, MF_STRING, 2, u"E1");
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), u"sub");
  AppendMenuW(sub, MF_STRING, 30, u"S0");

  ASSERT_TRUE(InsertMenuW(menu, 1, MF_BYPOSITION | MF_STRING, 101, u"paste"));
  ASSERT_TRUE(InsertMenuW(menu, 1000, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr));
  ASSERT_TRUE(InsertMenuW(menu, 30, MF_BYCOMMAND | MF_STRING, 29, u"before S0"));
  EXPECT_FALSE(InsertMenuW(menu, 777, MF_BYCOMMAND | MF_STRING, 5, u"nowhere"));

  auto items = *sim::DescribeMenu(menu);
  ASSERT_EQ(items.size(), 5u);
  EXPECT_EQ(items[0].text, u"E0");
  EXPECT_EQ(items[1].text, u"paste");
  EXPECT_EQ(items[2].text, u"E1");
  EXPECT_TRUE(items[4].separator);
  EXPECT_EQ(GetMenuItemID(sub, 0), 29u);
  EXPECT_EQ(GetMenuItemID(menu, 3), kMissing) << "a popup has no command";
  EXPECT_EQ(GetSubMenu(menu, 3), sub);

  // A menu can never become a submenu of itself, directly or further down.
  EXPECT_FALSE(AppendMenuW(sub, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), u"loop"));
  EXPECT_FALSE(AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), u"self"));
  EXPECT_EQ(GetMenuItemCount(sub), 2);
}

TEST(MenuLifetime, DeleteDestroysASubmenuRemoveKeepsItAndStaleHandlesAreFaults) {
  TestDevice device;
  HMENU menu = CreatePopupMenu();
  HMENU kept = CreatePopupMenu();
  HMENU dropped = CreatePopupMenu();
  HMENU nested = CreatePopupMenu();
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(kept), u"kept");
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(dropped), u"dropped");
  AppendMenuW(dropped, MF_POPUP, reinterpret_cast<UINT_PTR>(nested), u"nested");

  ASSERT_TRUE(RemoveMenu(menu, 0, MF_BYPOSITION));
  EXPECT_TRUE(IsMenu(kept));
  ASSERT_TRUE(DeleteMenu(menu, 0, MF_BYPOSITION));
  EXPECT_FALSE(IsMenu(dropped));
  EXPECT_FALSE(IsMenu(nested)) << "a destroyed menu takes its submenus with it";
  EXPECT_EQ(GetMenuItemCount(menu), 0);
  EXPECT_FALSE(DeleteMenu(menu, 0, MF_BYPOSITION)) << "the emptying loop ends";
  EXPECT_TRUE(device->faults().programFaults().empty()) << "IsMenu and item misses are no faults";

  ASSERT_TRUE(DestroyMenu(menu));
  {
    test_support::ExpectMisuse destroyed("DestroyMenu");
    test_support::ExpectMisuse counted("GetMenuItemCount");
    test_support::ExpectMisuse appended("InsertMenuW");
    EXPECT_FALSE(DestroyMenu(menu));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_MENU_HANDLE));
    EXPECT_EQ(GetMenuItemCount(dropped), -1);
    EXPECT_FALSE(AppendMenuW(kept, MF_POPUP, reinterpret_cast<UINT_PTR>(nested), u"stale submenu"));
    EXPECT_EQ(destroyed.faults().at(0).problem, "not a live menu");
  }

  HMENU fresh = CreatePopupMenu();
  EXPECT_NE(fresh, menu);
  EXPECT_NE(fresh, dropped);
  EXPECT_NE(fresh, nested);
}

TEST(MenuLifetime, ModifyingAPopupIntoACommandDestroysItsSubmenu) {
  TestDevice device;
  HMENU menu = CreatePopupMenu();
  HMENU sub = CreatePopupMenu();
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), u"popup");
  ASSERT_TRUE(ModifyMenuW(menu, 0, MF_BYPOSITION | MF_STRING | MF_GRAYED, 12, u"command"));
  EXPECT_FALSE(IsMenu(sub));
  EXPECT_EQ(GetMenuItemID(menu, 0), 12u);
  EXPECT_EQ(GetMenuState(menu, 12, MF_BYCOMMAND), static_cast<UINT>(MF_GRAYED));
}

// Item texts with their state marks: "-" a separator, "[x]" checked, "(g)" grayed,
// "{...}" a submenu's items.
std::u16string outline(HMENU menu) {
  std::u16string result;
  const auto items = sim::DescribeMenu(menu);
  if (!items) return u"<no menu>";
  for (const auto& item : *items) {
    if (!result.empty()) result += u", ";
    if (item.separator) {
      result += u"-";
      continue;
    }
    result += item.text;
    if (item.checked) result += u"[x]";
    if (item.grayed) result += u"(g)";
    if (item.submenu) result += u"{" + outline(item.submenu) + u"}";
  }
  return result;
}

TEST(MenuResource, LoadMenuBuildsClassicAndExtendedMenusFromTheProgramsResources) {
  TestDevice device;
  sim::ProgramImage image;
  image.path = u"\\Windows\\menus.exe";
  image.resources = test_support::Image();
  static std::u16string view, extended;
  static DWORD missingError = 0;
  image.main = [](HINSTANCE, HINSTANCE, LPWSTR, int) {
    HMENU menu = LoadMenuW(nullptr, MAKEINTRESOURCEW(IDM_VIEW));
    view = outline(menu);
    extended = outline(LoadMenuW(nullptr, MAKEINTRESOURCEW(IDM_EXTENDED)));
    EXPECT_EQ(GetMenuItemID(GetSubMenu(menu, 2), 0), 40049u);
    EXPECT_EQ(LoadMenuW(nullptr, MAKEINTRESOURCEW(999)), nullptr);
    missingError = GetLastError();
    return 0;
  };
  device->service<sim::ImageRegistry>().install(std::move(image));
  ASSERT_NE(sim::StartProgram(*device, u"\\Windows\\menus.exe", u""), nullptr);
  device.runUntilIdle();
  EXPECT_EQ(view, u"Ok, ｷｬﾝｾﾙ, 表示{1つ上(&U), -, 詳細(&R)[x], リスト(&L)(g), その他{新しいﾌｫﾙﾀﾞ}}");
  EXPECT_EQ(extended, u"ファイル{開く(g), -, 閉じる[x]}");
  EXPECT_EQ(missingError, static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
}

}  // namespace
