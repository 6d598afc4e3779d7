// Pictures of the screen on both screen sizes: a message box, a dialog with every
// kind of button and an edit box with selected text, an open menu with a submenu,
// the navigation bar with a dialog's OK button, and a menu bar with the input
// panel raised. Each checks what a person would check by eye.
#include <aygshell.h>
#include <commctrl.h>

#include <vector>

#include "../resources/test_resource_ids.h"
#include "../user/dialog_test_support.h"
#include "screen_test_support.h"
#include "shell/menu_bar.h"
#include "shell/shell_screen.h"
#include "user/menu_tracker.h"

namespace {

using screentest::ScreenDevice;
using screentest::ScreenSize;
using screentest::Shown;
using screentest::Sys;

class Screens : public ::testing::TestWithParam<ScreenSize> {
 public:

  // A full-screen window titled `title`, as a program's main window.
  static HWND MainWindow(HINSTANCE instance, LPCWSTR title) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = u"ScreensMain";
    RegisterClassW(&wc);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return CreateWindowExW(0, u"ScreensMain", title, WS_VISIBLE, work.left, work.top, work.right - work.left,
                           work.bottom - work.top, nullptr, nullptr, instance, nullptr);
  }


 protected:
  Screens() : handheld_(GetParam()) {}
  int s() const { return GetParam().scale(); }

  // The navigation bar shows what drawing all of it afresh would show.
  void ExpectBarAsRedrawnWhole() {
    const RECT bar = sim::LayOutNavigationBar().bar;
    auto pixels = [&] {
      const sim::PixelBuffer& screen = handheld_.screen();
      std::vector<COLORREF> out;
      for (LONG y = bar.top; y < bar.bottom; ++y)
        for (LONG x = bar.left; x < bar.right; ++x) out.push_back(screen.color(x, y));
      return out;
    };
    const std::vector<COLORREF> shown = pixels();
    sim::ScreenLayout& layout = sim::ScreenLayout::get();
    layout.repaintSurface(*layout.surfaceAt(POINT{bar.left + 1, bar.top + 1}));
    EXPECT_TRUE(pixels() == shown) << "the bar kept pixels a whole redraw does not draw";
  }

  ScreenDevice handheld_;
};

TEST_P(Screens, MessageBox) {
  int answer = 0;
  handheld_.start([&](HINSTANCE instance) -> HWND {
    HWND main = MainWindow(instance, u"メモ");
    answer = MessageBoxW(main, u"「報告書.txt」を削除しますか? 削除したファイルは元に戻せません。", u"削除の確認",
                         MB_YESNOCANCEL | MB_ICONQUESTION);
    return nullptr;
  });
  handheld_.picture("messagebox");
  sim::Window* box = sim::WindowSystem::get().foreground();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->text, u"削除の確認");
  EXPECT_EQ(handheld_.at(120 * s(), 2 * s()), Sys(COLOR_ACTIVECAPTION)) << "the navigation bar";
}

INT_PTR CALLBACK PlainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    DestroyWindow(dialog);
    return TRUE;
  }
  return FALSE;
}

test_support::TemplateBuilder EveryButton() {
  test_support::TemplateBuilder t(WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME | DS_CENTER, u"ファイルの設定", 150, 122);
  t.item(0x82, u"名前:", -1, SS_LEFT, 4, 5, 30, 10)
      .item(0x81, u"ファイル名.txt", 10, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 36, 3, 108, 13)
      .item(0x80, u"表示", -1, BS_GROUPBOX, 4, 20, 142, 50)
      .item(0x80, u"一覧", 20, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 10, 32, 60, 12)
      .item(0x80, u"詳細", 21, BS_AUTORADIOBUTTON, 10, 48, 60, 12)
      .item(0x80, u"隠しファイル", 22, BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP, 74, 32, 68, 12)
      .item(0x80, u"拡張子", 23, BS_AUTO3STATE | WS_TABSTOP, 74, 48, 68, 12)
      .item(0x80, u"", 24, BS_PUSHBUTTON | BS_ICON | WS_TABSTOP, 4, 76, 22, 22)
      .item(0x80, u"削除", 25, BS_PUSHBUTTON | WS_DISABLED, 32, 80, 50, 14)
      .item(0x80, u"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 40, 104, 50, 14)
      .item(0x80, u"キャンセル", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 96, 104, 50, 14);
  return t;
}

TEST_P(Screens, DialogWithEveryKindOfButtonAndASelection) {
  HWND dialog = nullptr;
  auto t = EveryButton();
  handheld_.start([&](HINSTANCE instance) -> HWND {
    MainWindow(instance, u"設定");
    dialog = CreateDialogIndirectParamW(instance, t.get(), nullptr, PlainDialogProc, 0);
    CheckDlgButton(dialog, 20, BST_CHECKED);
    CheckDlgButton(dialog, 22, BST_CHECKED);
    CheckDlgButton(dialog, 23, BST_INDETERMINATE);
    SendDlgItemMessageW(dialog, 24, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(LoadIconW(nullptr, IDI_ASTERISK)));
    HWND edit = GetDlgItem(dialog, 10);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, 5);
    return dialog;
  });
  handheld_.picture("dialog");
  RECT ok{};
  GetWindowRect(GetDlgItem(dialog, IDOK), &ok);
  RECT cancel{};
  GetWindowRect(GetDlgItem(dialog, IDCANCEL), &cancel);
  EXPECT_EQ(handheld_.at(ok.left + s(), ok.top + s()), Sys(COLOR_WINDOWFRAME))
      << "the default button's frame is twice as thick";
  EXPECT_EQ(handheld_.at(cancel.left + s(), cancel.top + s()), Sys(COLOR_BTNFACE)) << "as another button's";
  EXPECT_EQ(handheld_.at((cancel.left + cancel.right) / 2, cancel.top + 3 * s()), Sys(COLOR_BTNFACE));
  RECT edit{};
  GetWindowRect(GetDlgItem(dialog, 10), &edit);
  EXPECT_EQ(handheld_.at(edit.left + 3 * s(), (edit.top + edit.bottom) / 2), Sys(COLOR_HIGHLIGHT))
      << "the selection starts the box's text";
  EXPECT_EQ(handheld_.at(edit.right - 4 * s(), (edit.top + edit.bottom) / 2), Sys(COLOR_WINDOW));
}

// A window with the test resources' menu bar ("Ok" and a "表示" menu), an edit box
// that has the focus, and the input panel as the test wants it.
HWND MenuBarWindow(HINSTANCE instance, bool inputPanel, HWND* edit) {
  HWND main = Screens::MainWindow(instance, u"エクスプローラ");
  SHMENUBARINFO info{};
  info.cbSize = SHMENUBARINFO_DEVICE_SIZE;
  info.hwndParent = main;
  info.nToolBarId = IDM_VIEW;
  info.hInstRes = instance;
  SHCreateMenuBar(&info);
  RECT client{};
  GetClientRect(main, &client);
  *edit = CreateWindowExW(0, u"EDIT", u"", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 4, 4,
                          client.right - 8, GetSystemMetrics(SM_CYCAPTION), main, nullptr, instance, nullptr);
  SetFocus(*edit);
  if (inputPanel) SipShowIM(SIPF_ON);
  return nullptr;
}

TEST_P(Screens, MenuWithASubmenuACheckMarkAndAGrayedItem) {
  HWND edit = nullptr;
  handheld_.start([&](HINSTANCE instance) { return MenuBarWindow(instance, false, &edit); });
  HWND toolbar = sim::MenuBarToolbar(sim::FindMenuBarOf(GetParent(edit)));
  RECT button{};
  SendMessageW(toolbar, TB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&button));
  MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&button), 2);
  const int x = (button.left + button.right) / 2, y = (button.top + button.bottom) / 2;
  EXPECT_EQ(handheld_.hit(x, y).window, toolbar) << "the menu bar's button is where it is drawn";
  handheld_.tapAt(x, y);
  ASSERT_TRUE(sim::MenuTracker::get().isOpen());
  EXPECT_EQ(handheld_.at(x, button.top + 2 * s()), Sys(COLOR_HIGHLIGHT)) << "the open menu's button shows pressed";
  ASSERT_EQ(sim::MenuTracker::get().openSubmenu(4), sim::MenuActionStatus::Accepted);
  handheld_.settle();
  handheld_.picture("menu");
  auto boxes = sim::MenuTracker::get().layout();
  ASSERT_EQ(boxes.size(), 2u);
  RECT bar{};
  GetWindowRect(GetParent(toolbar), &bar);
  EXPECT_EQ(boxes[0].rect.bottom, bar.top) << "the menu opens upwards from the menu bar";
  EXPECT_EQ(boxes[0].rect.left, button.left) << "at its button";
  const RECT& grayed = boxes[0].items[3];
  EXPECT_EQ(handheld_.hit(grayed.left + 30 * s(), (grayed.top + grayed.bottom) / 2).what, u"menu: リスト(&L) (grayed)");
  const RECT& submenuItem = boxes[0].items[4];
  EXPECT_EQ(handheld_.at(submenuItem.left + 20 * s(), submenuItem.top + 1), Sys(COLOR_HIGHLIGHT))
      << "the item whose submenu is open is highlighted";
  // A tap on the submenu's item chooses it, as a finger would.
  const RECT& newFolder = boxes[1].items[0];
  handheld_.tapAt((newFolder.left + newFolder.right) / 2, (newFolder.top + newFolder.bottom) / 2);
  EXPECT_FALSE(sim::MenuTracker::get().isOpen());
}

TEST_P(Screens, NavigationBarWithADialogsOkButton) {
  HWND dialog = nullptr;
  test_support::TemplateBuilder t(WS_POPUP | WS_VISIBLE | WS_CAPTION, u"設定", 140, 100);
  t.item(0x82, u"変更はすぐに使われます。", -1, SS_LEFT, 4, 4, 130, 20);
  handheld_.start([&](HINSTANCE instance) -> HWND {
    MainWindow(instance, u"メモ");
    dialog = CreateDialogIndirectParamW(instance, t.get(), nullptr, PlainDialogProc, 0);
    SHINITDLGINFO init{SHIDIM_FLAGS, dialog, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN};
    SHInitDialog(&init);
    return dialog;
  });
  handheld_.picture("navbar-ok");
  RECT client{};
  GetClientRect(dialog, &client);
  RECT window{};
  GetWindowRect(dialog, &window);
  EXPECT_EQ(client.right, window.right - window.left) << "a full-screen dialog leaves its caption to the bar";
  sim::NavigationBarLayout bar = sim::LayOutNavigationBar();
  const int x = (bar.ok.left + bar.ok.right) / 2, y = (bar.ok.top + bar.ok.bottom) / 2;
  EXPECT_EQ(handheld_.hit(x, y).what, u"navigation bar: OK");
  handheld_.tapAt(x, y);
  EXPECT_FALSE(IsWindow(dialog)) << "the OK button sent the dialog IDOK";
  ExpectBarAsRedrawnWhole();  // without the button, the title back to the main window's
}

TEST_P(Screens, NavigationBarRedrawsAChangedTitleAsAWholeRedrawWould) {
  handheld_.start([&](HINSTANCE instance) -> HWND {
    HWND main = MainWindow(instance, u"メモ");
    SetWindowTextW(main, u"とても長いタイトルのメモ帳とその説明");
    SetWindowTextW(main, u"メモ");
    return nullptr;
  });
  EXPECT_EQ(handheld_.hit(60 * s(), 8 * s()).what, u"navigation bar: title \"メモ\"");
  ExpectBarAsRedrawnWhole();
}

TEST_P(Screens, MenuBarWithTheInputPanelRaised) {
  HWND edit = nullptr;
  handheld_.start([&](HINSTANCE instance) { return MenuBarWindow(instance, true, &edit); });
  handheld_.picture("menubar-input-panel");
  RECT bar{};
  GetWindowRect(sim::FindMenuBarOf(GetParent(edit)), &bar);
  RECT button = sim::InputPanelButtonRect(bar);
  EXPECT_EQ(handheld_.at(button.left + 3 * s(), button.top + 4 * s()), Sys(COLOR_HIGHLIGHT))
      << "the input panel button shows the panel up";
  // Keys of the panel type into the box that has the focus.
  const int lettersAToM = bar.top - 50 * s();
  for (int x = 12 * s(); x < GetParam().width; x += 18 * s()) {  // the middle of each key
    std::u16string what = handheld_.hit(x, lettersAToM).what;
    if (what == u"input panel: key h" || what == u"input panel: key i") handheld_.tapAt(x, lettersAToM);
  }
  WCHAR typed[16] = {};
  GetWindowTextW(edit, typed, 16);
  EXPECT_EQ(std::u16string(typed), u"hi");
  handheld_.tapAt((button.left + button.right) / 2, (button.top + button.bottom) / 2);
  EXPECT_FALSE(sim::WindowSystem::get().inputPanel().raised);
}

INSTANTIATE_TEST_SUITE_P(BothSizes, Screens, ::testing::Values(ScreenSize{240, 320}, ScreenSize{480, 640}),
                         [](const auto& info) { return info.param.name(); });

}  // namespace
