#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "kernel/process.h"
#include "menu_test_support.h"
#include "user/input.h"
#include "user/menu_tracker.h"

namespace {

using test_support::TestDevice;
using test_support::Trace;
using sim::MenuActionStatus;
using sim::MenuTracker;

// The window procedures are plain functions; they report to the running test here.
struct Scene {
  Trace trace;
  HMENU menu = nullptr;
  HMENU submenu = nullptr;
  HWND owner = nullptr;
  UINT trackFlags = 0;
  bool grayInSubmenu = false;  // the owner grays the submenu's first item when it opens
};
Scene* scene = nullptr;

std::string menuName(WPARAM menu) {
  if (reinterpret_cast<HMENU>(menu) == scene->menu) return "menu";
  if (reinterpret_cast<HMENU>(menu) == scene->submenu) return "submenu";
  return "other";
}

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITMENUPOPUP:
      scene->trace.add("init " + menuName(wParam) + " " + std::to_string(LOWORD(lParam)));
      if (scene->grayInSubmenu && reinterpret_cast<HMENU>(wParam) == scene->submenu)
        EnableMenuItem(scene->submenu, 0, MF_BYPOSITION | MF_GRAYED);
      return 0;
    case WM_COMMAND:
      scene->trace.add("command " + std::to_string(LOWORD(wParam)));
      return 0;
    case WM_TIMER:
      scene->trace.add("timer");
      KillTimer(hwnd, wParam);
      return 0;
    case WM_APP:
      scene->trace.add("posted");
      return 0;
    case WM_KEYDOWN:
      scene->trace.add("key " + std::to_string(wParam));
      return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// The folder button of a file manager: a click opens the folder menu of its parent.
LRESULT CALLBACK FolderButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN: {
      scene->trace.add("button down");
      BOOL result = TrackPopupMenu(scene->menu, TPM_LEFTALIGN, 5, 5, 0, GetParent(hwnd), nullptr);
      scene->trace.add("track returned " + std::to_string(result));
      return 0;
    }
    case WM_LBUTTONUP:
      scene->trace.add("button up");
      return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Reads the folder menu's levels as a hooked procedure does, then empties it.
LRESULT CALLBACK EmptyingOwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_INITMENUPOPUP) return DefWindowProcW(hwnd, message, wParam, lParam);
  HMENU menu = reinterpret_cast<HMENU>(wParam);
  std::string levels;
  WCHAR text[MAX_PATH];
  UINT position = 1;
  for (;; ++position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_TYPE;
    info.dwTypeData = text;
    info.cch = MAX_PATH;
    if (!GetMenuItemInfoW(menu, position, TRUE, &info)) break;
    levels += "|" + std::to_string(info.cch);
  }
  for (UINT i = 0; i < position; ++i) DeleteMenu(menu, 0, MF_BYPOSITION);
  scene->trace.add("init " + menuName(wParam) + " " + std::to_string(LOWORD(lParam)) + " read" + levels);
  return 0;
}

void registerClass(LPCWSTR name, WNDPROC proc) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = proc;
  wc.lpszClassName = name;
  RegisterClassW(&wc);
}

HWND createOwner(WNDPROC proc) {
  registerClass(u"MenuOwner", proc);
  return CreateWindowExW(0, u"MenuOwner", u"owner", WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr, nullptr, nullptr);
}

// The owner's program: builds the menu, tracks it, then pulls its messages until the
// posted WM_COMMAND (if any) has been handled.
int trackingProgram() {
  scene->owner = createOwner(OwnerProc);
  scene->menu = CreatePopupMenu();
  scene->submenu = CreatePopupMenu();
  AppendMenuW(scene->menu, MF_STRING, 10, u"ｺﾋﾟｰ");
  AppendMenuW(scene->menu, MF_POPUP, reinterpret_cast<UINT_PTR>(scene->submenu), u"送る");
  AppendMenuW(scene->menu, MF_STRING | MF_GRAYED, 12, u"貼り付け");
  AppendMenuW(scene->menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(scene->submenu, MF_STRING, 120, u"Notes");
  AppendMenuW(scene->submenu, MF_STRING, 105, u"ﾊﾟｽをｸﾘｯﾌﾟﾎﾞｰﾄﾞへ");
  SetTimer(scene->owner, 1, 100, nullptr);
  BOOL result = TrackPopupMenu(scene->menu, scene->trackFlags, 0, 0, 0, scene->owner, nullptr);
  scene->trace.add("track returned " + std::to_string(result));
  PostMessageW(scene->owner, WM_CLOSE, 0, 0);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    DispatchMessageW(&msg);
    if (!IsWindow(scene->owner)) break;
  }
  return 0;
}

class MenuTracking : public ::testing::Test {
 protected:
  void SetUp() override { scene = &scene_; }
  void TearDown() override { scene = nullptr; }
  void start() { device_.launch(u"\\Windows\\menutest.exe", trackingProgram); }

  TestDevice device_;
  Scene scene_;
};

TEST_F(MenuTracking, AMenuEmptiedWhileAnnouncedReturnsAtOnceInsideTheClick) {
  device_.launch(u"\\Windows\\fexplore.exe", [] {
    HWND owner = createOwner(EmptyingOwnerProc);
    registerClass(u"FolderButton", FolderButtonProc);
    HWND button = CreateWindowExW(0, u"FolderButton", u"", WS_CHILD | WS_VISIBLE, 0, 0, 40, 20, owner,
                                  reinterpret_cast<HMENU>(1), nullptr, nullptr);
    scene->menu = CreatePopupMenu();
    AppendMenuW(scene->menu, MF_STRING, 1, u"ﾏｲ ﾃﾞﾊﾞｲｽ");
    AppendMenuW(scene->menu, MF_STRING, 2, u"\u2022 My Documents");
    AppendMenuW(scene->menu, MF_STRING, 3, u"  \u2022 Personal");
    SendMessageW(button, WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
    scene->trace.add("down sent");
    SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    scene->trace.add("up sent, " + std::to_string(GetMenuItemCount(scene->menu)) + " items left");
    return 0;
  });
  device_.runUntilIdle();
  const std::vector<std::string> expected = {
      "button down", "init menu 0 read|14|12", "track returned 0", "down sent", "button up", "up sent, 0 items left",
  };
  EXPECT_EQ(scene_.trace.lines, expected);
  EXPECT_FALSE(MenuTracker::get().isOpen());
}

TEST_F(MenuTracking, TheUsersChoiceThroughASubmenuIsPostedAsACommandWhileTheLoopKeepsRunning) {
  start();
  device_.runUntilIdle();
  auto& tracker = MenuTracker::get();
  ASSERT_TRUE(tracker.isOpen());
  auto open = *tracker.openMenu();
  EXPECT_EQ(open.owner, scene_.owner);
  ASSERT_EQ(open.levels.size(), 1u);
  auto items = *tracker.innermostItems();
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(items[1].text, u"送る");
  EXPECT_EQ(items[1].submenu, scene_.submenu);
  EXPECT_TRUE(items[2].grayed);
  EXPECT_TRUE(items[3].separator);

  // The owner's timer and posted messages are still handled while the menu is open.
  PostMessageW(scene_.owner, WM_APP, 0, 0);
  device_.runFor(150);
  ASSERT_TRUE(tracker.isOpen());

  EXPECT_EQ(tracker.choosePath({1, 1}), MenuActionStatus::Accepted);
  device_.runUntilIdle();
  EXPECT_FALSE(tracker.isOpen());
  const std::vector<std::string> expected = {
      "init menu 0", "posted", "timer", "init submenu 1", "track returned 1", "command 105",
  };
  EXPECT_EQ(scene_.trace.lines, expected);
}

TEST_F(MenuTracking, GrayedItemsAndSeparatorsCannotBeChosenAndDismissalReturnsZero) {
  scene_.trackFlags = TPM_RETURNCMD;
  scene_.grayInSubmenu = true;
  start();
  device_.runUntilIdle();
  auto& tracker = MenuTracker::get();
  ASSERT_TRUE(tracker.isOpen());

  EXPECT_EQ(tracker.choose(2), MenuActionStatus::Grayed);
  EXPECT_EQ(tracker.choose(3), MenuActionStatus::Separator);
  EXPECT_EQ(tracker.choose(1), MenuActionStatus::OpensSubmenu);
  EXPECT_EQ(tracker.choose(9), MenuActionStatus::NoSuchItem);
  EXPECT_EQ(tracker.openSubmenu(0), MenuActionStatus::NotASubmenu);

  // Grayed by the owner only as the submenu opens: the loop refuses the choice then.
  EXPECT_EQ(tracker.choosePath({1, 0}), MenuActionStatus::Accepted);
  device_.runUntilIdle();
  ASSERT_TRUE(tracker.isOpen());
  EXPECT_EQ(tracker.lastRefusal(), MenuActionStatus::Grayed);
  EXPECT_EQ(tracker.openMenu()->levels.size(), 2u) << "the submenu stays open";

  EXPECT_EQ(tracker.dismiss(), MenuActionStatus::Accepted);
  device_.runUntilIdle();
  EXPECT_FALSE(tracker.isOpen());
  EXPECT_EQ(tracker.dismiss(), MenuActionStatus::NoMenuOpen);
  const std::vector<std::string> expected = {"init menu 0", "init submenu 1", "track returned 0"};
  EXPECT_EQ(scene_.trace.lines, expected) << "no command after a dismissal";
}

TEST_F(MenuTracking, ChoosingWithReturnCmdGivesTheIdAndPostsNothing) {
  scene_.trackFlags = TPM_RETURNCMD;
  start();
  device_.runUntilIdle();
  EXPECT_EQ(MenuTracker::get().choose(0), MenuActionStatus::Accepted);
  device_.runUntilIdle();
  const std::vector<std::string> expected = {"init menu 0", "track returned 10"};
  EXPECT_EQ(scene_.trace.lines, expected);
}

TEST_F(MenuTracking, EscapeClosesTheMenuAndNoWindowSeesTheKey) {
  start();
  device_.runUntilIdle();
  ASSERT_TRUE(MenuTracker::get().isOpen());
  sim::Input::get().key(VK_ESCAPE, false);
  sim::Input::get().key(VK_ESCAPE, true);
  device_.runUntilIdle();
  EXPECT_FALSE(MenuTracker::get().isOpen());
  const std::vector<std::string> expected = {"init menu 0", "track returned 0"};
  EXPECT_EQ(scene_.trace.lines, expected);
}

TEST_F(MenuTracking, DestroyingTheOpenMenuClosesIt) {
  start();
  device_.runUntilIdle();
  ASSERT_TRUE(MenuTracker::get().isOpen());
  // Another program destroys the menu behind the owner's back; the loop notices when
  // its thread next runs.
  device_.launch(u"\\Windows\\other.exe", [] {
    DestroyMenu(scene->menu);
    PostMessageW(scene->owner, WM_APP, 0, 0);
    return 0;
  });
  device_.runUntilIdle();
  EXPECT_FALSE(MenuTracker::get().isOpen());
  const std::vector<std::string> expected = {"init menu 0", "track returned 0", "posted"};
  EXPECT_EQ(scene_.trace.lines, expected);
}

}  // namespace
