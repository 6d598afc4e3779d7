// The pocket shell's menu bar built from a windres-compiled resource: a plain button
// sends its command to the owner (not while the owner is disabled), a drop-down button
// opens its submenu announced with its index; and SHInitDialog's title-bar OK and sizing.
#include <gtest/gtest.h>

#include <aygshell.h>
#include <commctrl.h>

#include <filesystem>
#include <string>
#include <vector>

#include "../resources/test_image.h"
#include "../resources/test_resource_ids.h"
#include "comctl/toolbar.h"
#include "kernel/device.h"
#include "tests/support/test_device.h"
#include "kernel/image_registry.h"
#include "kernel/process.h"
#include "shell/menu_bar.h"
#include "user/input.h"
#include "user/menu_tracker.h"
#include "user/window.h"

namespace {

struct Seen {
  std::vector<UINT> commands;
  std::vector<int> announcedIndexes;
};
Seen* seen = nullptr;

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) seen->commands.push_back(LOWORD(wParam));
  if (message == WM_INITMENUPOPUP) seen->announcedIndexes.push_back(LOWORD(lParam));
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

class MenuBarTest : public ::testing::Test {
 protected:
  MenuBarTest() { seen = &seen_; }
  ~MenuBarTest() override { seen = nullptr; }

  // Starts a program with the test resources that makes a window with a menu bar and
  // then waits for messages.
  void startOwner(DWORD flags, bool imageButtons = false) {
    sim::ProgramImage image;
    image.path = u"\\Windows\\owner.exe";
    image.resources = test_support::Image();
    image.main = [this, flags, imageButtons](HINSTANCE instance, HINSTANCE, LPWSTR, int) {
      WNDCLASSW wc{};
      wc.lpfnWndProc = OwnerProc;
      wc.hInstance = instance;
      wc.lpszClassName = u"Owner";
      RegisterClassW(&wc);
      owner_ = CreateWindowExW(0, u"Owner", u"owner", WS_VISIBLE, 0, 26, 240, 268, nullptr, nullptr, instance, nullptr);
      SHMENUBARINFO info{};
      info.cbSize = SHMENUBARINFO_DEVICE_SIZE;
      info.hwndParent = owner_;
      info.dwFlags = flags;
      info.nToolBarId = IDM_VIEW;
      info.hInstRes = instance;
      created_ = SHCreateMenuBar(&info);
      menuBar_ = info.hwndMB;
      if (imageButtons) AddImageButtons(instance);
      MSG msg;
      while (GetMessageW(&msg, nullptr, 0, 0)) DispatchMessageW(&msg);
      return 0;
    };
    device_->service<sim::ImageRegistry>().install(std::move(image));
    sim::StartProgram(*device_, u"\\Windows\\owner.exe", u"");
    settle();
  }
  void settle() { device_->scheduler().settle(10000, 3600 * 1000); }

  // Two buttons of the 16-pixel images of a command-bar bitmap, after a separator.
  void AddImageButtons(HINSTANCE instance) {
    CommandBar_AddBitmap(menuBar_, instance, IDB_STRIP, 4, 16, 16);
    TBBUTTON buttons[3] = {};
    for (int i = 0; i < 3; ++i) {
      buttons[i].iBitmap = i;
      buttons[i].idCommand = i == 0 ? 0 : 500 + i;
      buttons[i].fsState = TBSTATE_ENABLED;
      buttons[i].fsStyle = i == 0 ? TBSTYLE_SEP : TBSTYLE_BUTTON;
      buttons[i].iString = -1;
    }
    SendMessageW(menuBar_, TB_ADDBUTTONSW, 3, reinterpret_cast<LPARAM>(buttons));
  }
  int buttonWidth(int index) {
    RECT rect{};
    SendMessageW(sim::MenuBarToolbar(menuBar_), TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
    return rect.right - rect.left;
  }

  void tapButton(const std::u16string& label) {
    HWND toolbar = sim::MenuBarToolbar(menuBar_);
    auto buttons = sim::ToolbarButtons(toolbar);
    for (size_t i = 0; i < buttons.size(); ++i) {
      if (buttons[i].label != label) continue;
      RECT rect{};
      SendMessageW(toolbar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rect));
      sim::Input::get().tapWindow(toolbar, POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
      settle();
      return;
    }
    ADD_FAILURE() << "no button with that label";
  }

  test_support::TestDevice device_;
  Seen seen_;
  HWND owner_ = nullptr;
  HWND menuBar_ = nullptr;
  BOOL created_ = FALSE;
};

TEST_F(MenuBarTest, PlainButtonsSendTheirCommandAndDropDownsOpenTheirSubmenu) {
  startOwner(0);
  ASSERT_TRUE(created_);
  ASSERT_EQ(sim::FindMenuBarOf(owner_), menuBar_);
  std::vector<std::u16string> labels;
  for (const auto& button : sim::ToolbarButtons(sim::MenuBarToolbar(menuBar_))) labels.push_back(button.label);
  EXPECT_EQ(labels, (std::vector<std::u16string>{u"Ok", u"", u"表示"}));
  EXPECT_EQ(sim::WindowSystem::get().foreground()->handle, owner_) << "the menu bar does not take the front";

  tapButton(u"Ok");
  EXPECT_EQ(seen_.commands, std::vector<UINT>{IDOK});
  // While its window is disabled (it owns a modal box) the bar takes no taps.
  EnableWindow(owner_, FALSE);
  tapButton(u"Ok");
  EXPECT_EQ(seen_.commands, std::vector<UINT>{IDOK});
  EnableWindow(owner_, TRUE);

  tapButton(u"表示");
  auto& tracker = sim::MenuTracker::get();
  ASSERT_TRUE(tracker.isOpen());
  EXPECT_EQ(seen_.announcedIndexes, std::vector<int>{2}) << "the submenu is announced with its index";
  auto items = tracker.innermostItems();
  ASSERT_TRUE(items.has_value());
  ASSERT_EQ(items->size(), 5u);
  EXPECT_EQ((*items)[0].text, u"1つ上(&U)");
  EXPECT_TRUE((*items)[1].separator);
  EXPECT_TRUE((*items)[2].checked);
  EXPECT_TRUE((*items)[3].grayed);
  EXPECT_EQ(tracker.choose(0), sim::MenuActionStatus::Accepted);
  settle();
  EXPECT_FALSE(tracker.isOpen());
  EXPECT_EQ(seen_.commands, (std::vector<UINT>{IDOK, 40049}));
}

// A text button is as wide as its label needs, an image button as its image and a
// margin: a bar of labels and command-bar images fits beside the input panel button.
TEST_F(MenuBarTest, TextButtonsFitTheirLabelsAndImageButtonsTheirImages) {
  startOwner(0, true);
  ASSERT_TRUE(created_);
  ASSERT_EQ(sim::ToolbarButtons(sim::MenuBarToolbar(menuBar_)).size(), 6u);
  EXPECT_EQ(buttonWidth(2), 36) << "表示: two characters of 12 pixels and a margin";
  EXPECT_EQ(buttonWidth(4), 24);
  EXPECT_EQ(buttonWidth(5), 24);
  EXPECT_LT(buttonWidth(0), buttonWidth(2)) << "Ok needs less than 表示";
}

TEST_F(MenuBarTest, AnEmptyBarHasNoButtonsAndAMissingResourceMakesNone) {
  startOwner(SHCMBF_EMPTYBAR);
  ASSERT_TRUE(created_);
  EXPECT_TRUE(sim::ToolbarButtons(sim::MenuBarToolbar(menuBar_)).empty());

  BOOL missing = TRUE;
  sim::StartFunction(*device_, u"\\Windows\\other.exe", [&] {
    HWND window = CreateWindowExW(0, u"STATIC", u"", WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    SHMENUBARINFO info{};
    info.cbSize = SHMENUBARINFO_DEVICE_SIZE_WITH_COLOR;
    info.hwndParent = window;
    info.nToolBarId = 999;
    missing = SHCreateMenuBar(&info);
    DestroyWindow(window);
    return 0;
  });
  settle();
  EXPECT_FALSE(missing);
}

TEST_F(MenuBarTest, InitDialogAddsTheTitleBarOkAndFillsTheWorkArea) {
  LONG exStyle = 0;
  RECT rect{};
  sim::StartFunction(*device_, u"\\Windows\\dialog.exe", [&] {
    HWND dialog = CreateWindowExW(0, u"STATIC", u"", WS_VISIBLE | WS_POPUP, 10, 10, 50, 50, nullptr, nullptr, nullptr,
                                  nullptr);
    SHINITDLGINFO init{};
    init.dwMask = SHIDIM_FLAGS;
    init.hDlg = dialog;
    init.dwFlags = SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN;
    SHInitDialog(&init);
    exStyle = GetWindowLongW(dialog, GWL_EXSTYLE);
    GetWindowRect(dialog, &rect);
    DestroyWindow(dialog);
    return 0;
  });
  settle();
  EXPECT_TRUE(exStyle & WS_EX_CAPTIONOKBTN);
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 26);
  EXPECT_EQ(rect.right, 240);
  EXPECT_EQ(rect.bottom, 294);
}

// Where SHInitDialog puts a dialog with the input panel raised, and where
// SHHandleWMSettingChange puts it afterwards, as (top, bottom).
TEST_F(MenuBarTest, FullScreenDialogsIgnoreARaisedInputPanelUntilTheyAskToFollowIt) {
  std::vector<std::pair<LONG, LONG>> places;
  std::vector<UINT> sipUp;
  sim::StartFunction(*device_, u"\\Windows\\dialog.exe", [&] {
    auto place = [&](HWND window) {
      RECT rect{};
      GetWindowRect(window, &rect);
      places.emplace_back(rect.top, rect.bottom);
    };
    auto dialog = [&](DWORD flags) {
      HWND window = CreateWindowExW(0, u"STATIC", u"", WS_VISIBLE | WS_POPUP, 10, 10, 50, 50, nullptr, nullptr,
                                    nullptr, nullptr);
      SHINITDLGINFO init{SHIDIM_FLAGS, window, flags};
      SHInitDialog(&init);
      place(window);
      return window;
    };
    SipShowIM(SIPF_ON);
    HWND sized = dialog(SHIDIF_SIZEDLG);
    HWND full = dialog(SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN);
    HWND whole = dialog(SHIDIF_FULLSCREENNOMENUBAR);
    SHACTIVATEINFO info{};
    SHHandleWMSettingChange(full, SPI_SETWORKAREA, 0, &info);
    place(full);
    SHHandleWMSettingChange(full, static_cast<WPARAM>(-1), 0, &info);
    place(full);
    sipUp.push_back(info.fSipUp);
    SipShowIM(SIPF_OFF);
    SHHandleWMSettingChange(full, SPI_SETSIPINFO, 0, &info);
    place(full);
    sipUp.push_back(info.fSipUp);
    for (HWND window : {sized, full, whole}) DestroyWindow(window);
    return 0;
  });
  settle();
  // Below the 26-pixel navigation bar; the menu bar takes the last 26 of 320, the
  // raised panel 80 more.
  EXPECT_EQ(places, (std::vector<std::pair<LONG, LONG>>{{26, 214}, {26, 294}, {26, 320}, {26, 294}, {26, 214},
                                                         {26, 294}}));
  EXPECT_EQ(sipUp, (std::vector<UINT>{1, 0}));
}

}  // namespace
