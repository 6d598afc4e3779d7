// The user by position on the whole handheld: what is drawn at a pixel, and taps
// there through hit-testing, in the companion's File Explorer and the setup tool.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <filesystem>

#include "gdi/png.h"
#include "handheld.h"
#include "kernel/process.h"
#include "shell/shell_screen.h"
#include "user.h"
#include "user/menu_tracker.h"
#include "user/msgbox.h"

namespace {

POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// Pictures for a developer who sets HANDHELD_SCREENS_DIR; nothing otherwise.
void Keep(sim::User& user, const char* name) {
  if (const char* dir = std::getenv("HANDHELD_SCREENS_DIR"))
    sim::WritePng(user.screen(), std::filesystem::path(dir) / name);
}

TEST(ScreenTaps, TheEditMenuAndItsSubmenuOpenAndCloseWhereTheyAreDrawn) {
  sim::Handheld handheld;
  sim::User user(handheld);
  ASSERT_NE(sim::StartProgram(handheld.device(), u"\\Program Files\\Brackenway\\Brackenway.exe", u"\\Temp\\"), nullptr);
  user.settle();
  HWND toolbar = user.menuBarToolbar();
  ASSERT_NE(toolbar, nullptr);
  RECT button{};
  SendMessageW(toolbar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&button));
  MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&button), 2);
  ASSERT_FALSE(user.tapAt(Centre(button)));
  ASSERT_TRUE(sim::MenuTracker::get().isOpen()) << "the tap reached the 編集 button";
  auto boxes = sim::MenuTracker::get().layout();
  ASSERT_EQ(boxes.size(), 1u);
  std::optional<POINT> sendTo;
  for (const RECT& item : boxes[0].items)
    if (user.whatIsAt(Centre(item)) == u"menu: 送る >") sendTo = Centre(item);
  ASSERT_TRUE(sendTo) << "the companion's 送る is drawn in the menu";
  ASSERT_FALSE(user.tapAt(*sendTo));
  EXPECT_EQ(sim::MenuTracker::get().layout().size(), 2u) << "a tap on 送る opened its submenu";
  Keep(user, "explorer-edit-menu.png");
  EXPECT_EQ(user.whatIsAt(POINT{120, 5}), u"outside the open menu (a tap closes it)");
  ASSERT_FALSE(user.tapAt(POINT{GetSystemMetrics(SM_CXSCREEN) - 2, 40}));
  EXPECT_FALSE(sim::MenuTracker::get().isOpen()) << "a tap outside the menus closes them";
  EXPECT_TRUE(handheld.device().faults().programFaults().empty());
}

TEST(ScreenTaps, TheSetupToolIsAnsweredByPositionAlone) {
  sim::Handheld handheld;
  sim::User user(handheld);
  ASSERT_NE(sim::StartProgram(handheld.device(), u"\\Program Files\\Brackenway\\BrackenwayConf.exe", u""), nullptr);
  user.settle();
  HWND root = user.findControl(u"ルートフォルダ（\\）");
  ASSERT_NE(root, nullptr);
  RECT radio{};
  GetWindowRect(root, &radio);
  EXPECT_EQ(user.whatIsAt(Centre(radio)).rfind(u"BUTTON #", 0), 0u);
  ASSERT_FALSE(user.tapAt(POINT{radio.left + 4, Centre(radio).y}));
  EXPECT_EQ(SendMessageW(root, BM_GETCHECK, 0, 0), BST_CHECKED) << "the tap on its circle chose it";
  Keep(user, "setup-dialog.png");
  RECT ok{};
  GetWindowRect(user.findControl(u"OK"), &ok);
  ASSERT_FALSE(user.tapAt(Centre(ok)));
  ASSERT_NE(sim::MessageBoxes::get().top(), nullptr);
  Keep(user, "setup-done.png");
  const sim::OpenMessageBox* box = sim::MessageBoxes::get().top();
  RECT answer{};
  GetWindowRect(box->buttons.front().hwnd, &answer);
  ASSERT_FALSE(user.tapAt(Centre(answer)));
  EXPECT_EQ(sim::MessageBoxes::get().top(), nullptr) << "the message box's OK took the tap";
  EXPECT_EQ(user.whatIsAt(POINT{-1, 0}), u"off the screen");
  EXPECT_TRUE(user.tapAt(POINT{400, 10}).has_value()) << "a tap off the screen goes nowhere";
}

}  // namespace
