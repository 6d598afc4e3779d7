#include <string>
#include <vector>

#include "dialog_test_support.h"
#include "user/dialog.h"

namespace {

using test_support::TemplateBuilder;
using test_support::TestDevice;

// What a test's dialog procedure saw; the procedures are plain functions.
struct Seen {
  std::vector<std::string> lines;
  HWND dialog = nullptr;
  HWND initFocusParam = nullptr;
  int initResult = TRUE;
  int focusOther = 0;  // with initResult FALSE: the control the procedure focuses
  bool endInInit = false;
  int ticks = 0;
};
Seen* seen = nullptr;

INT_PTR CALLBACK RecordingProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      seen->dialog = dialog;
      seen->initFocusParam = reinterpret_cast<HWND>(wParam);
      seen->lines.push_back("init param=" + std::to_string(lParam) + " items=" +
                            std::to_string(GetDlgItem(dialog, IDOK) != nullptr));
      if (seen->endInInit) EndDialog(dialog, 77);
      if (seen->focusOther) SetFocus(GetDlgItem(dialog, seen->focusOther));
      return seen->initResult;
    case WM_SHOWWINDOW:
      seen->lines.push_back(wParam ? "shown" : "hidden");
      return FALSE;
    case WM_COMMAND:
      seen->lines.push_back("command " + std::to_string(LOWORD(wParam)) + " code " + std::to_string(HIWORD(wParam)));
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == 3)
        EndDialog(dialog, LOWORD(wParam) + 100);
      return TRUE;
    case WM_NOTIFY:
      SetWindowLongW(dialog, DWL_MSGRESULT, 4242);
      return TRUE;
    default:
      return FALSE;
  }
}

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override { seen = &seen_; }
  void TearDown() override { seen = nullptr; }

  // Label, an edit box, OK (default), Cancel and a button 3: the first tab stop is
  // the edit box.
  static TemplateBuilder ThreeButtons() {
    TemplateBuilder t(WS_POPUP | WS_CAPTION, u"確認");
    t.label(u"名前", 10)
        .edit(11, WS_TABSTOP | WS_BORDER)
        .button(u"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP)
        .button(u"キャンセル", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP)
        .button(u"他", 3, BS_PUSHBUTTON | WS_TABSTOP);
    return t;
  }

  Seen seen_;
  TestDevice device_;
};

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_TIMER && seen) {
    seen->lines.push_back(std::string("tick owner-enabled=") + (IsWindowEnabled(hwnd) ? "1" : "0"));
    if (++seen->ticks == 2 && seen->dialog) EndDialog(seen->dialog, 9);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND MakeOwner(HINSTANCE instance) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = OwnerProc;
  wc.hInstance = instance;
  wc.lpszClassName = u"DlgTestOwner";
  RegisterClassW(&wc);
  HWND owner = CreateWindowExW(0, u"DlgTestOwner", u"owner", WS_VISIBLE, 0, 0, 240, 294, nullptr, nullptr, instance,
                               nullptr);
  ShowWindow(owner, SW_SHOW);
  return owner;
}

// Inside the modal loop (after the dialog is shown) records where the focus is.
HWND focusInLoop = nullptr;
void CALLBACK ProbeFocus(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  focusInLoop = GetFocus();
  PostMessageW(seen->dialog, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(DialogTest, InitDialogFocusRule) {
  HWND firstTabStop[2] = {}, focused[2] = {}, wParamSeen[2] = {}, other = nullptr;
  device_.start([&](HINSTANCE instance) {
    auto t = ThreeButtons();
    for (int round = 0; round < 2; ++round) {
      seen_.initResult = round == 0 ? TRUE : FALSE;
      seen_.focusOther = round == 0 ? 0 : 3;
      SetTimer(nullptr, 0, 10, ProbeFocus);
      EXPECT_EQ(DialogBoxIndirectParamW(instance, t.get(), nullptr, RecordingProc, 5), IDCANCEL + 100);
      focused[round] = focusInLoop;
      wParamSeen[round] = seen_.initFocusParam;
    }
    return 0;
  });
  device_.runFor(100);
  // The dialogs are gone; their handles still tell which control was which by order.
  EXPECT_NE(wParamSeen[0], nullptr);
  EXPECT_EQ(focused[0], wParamSeen[0]) << "TRUE from WM_INITDIALOG puts the focus on the first tab stop";
  EXPECT_NE(focused[1], wParamSeen[1]) << "FALSE leaves the focus where the procedure put it";
  EXPECT_NE(focused[1], nullptr);
  (void)firstTabStop;
  (void)other;
  EXPECT_EQ(seen_.lines.front(), "init param=5 items=1") << "controls exist when WM_INITDIALOG arrives";
}

TEST_F(DialogTest, EndDialogInsideInitDialogNeverShowsAndFreesTheOwner) {
  INT_PTR result = 0;
  bool ownerEnabledAfter = false;
  seen_.endInInit = true;
  device_.start([&](HINSTANCE instance) {
    HWND owner = MakeOwner(instance);
    auto t = ThreeButtons();
    result = DialogBoxIndirectParamW(instance, t.get(), owner, RecordingProc, 0);
    ownerEnabledAfter = IsWindowEnabled(owner);
    return 0;
  });
  EXPECT_EQ(result, 77);
  EXPECT_TRUE(ownerEnabledAfter);
  for (const auto& line : seen_.lines) EXPECT_NE(line, "shown");
}

TEST_F(DialogTest, ModalLoopDisablesOwnerWhileTimersKeepArriving) {
  INT_PTR result = 0;
  bool enabledAfter = false;
  bool ownerInFront = false;
  HWND owner = nullptr;
  device_.start([&](HINSTANCE instance) {
    owner = MakeOwner(instance);
    SetTimer(owner, 1, 1000, nullptr);
    auto t = ThreeButtons();
    result = DialogBoxIndirectParamW(instance, t.get(), owner, RecordingProc, 0);
    enabledAfter = IsWindowEnabled(owner);
    ownerInFront = GetForegroundWindow() == owner;
    KillTimer(owner, 1);
    return 0;
  });
  EXPECT_TRUE(IsWindowVisible(seen_.dialog)) << "the modal dialog is on screen";
  EXPECT_EQ(GetForegroundWindow(), seen_.dialog);
  device_.runFor(3500);
  EXPECT_EQ(result, 9) << "EndDialog from the owner's timer ended the modal loop";
  EXPECT_TRUE(enabledAfter);
  EXPECT_TRUE(ownerInFront) << "the owner comes back in front";
  std::vector<std::string> ticks;
  for (const auto& line : seen_.lines)
    if (line.rfind("tick", 0) == 0) ticks.push_back(line);
  EXPECT_EQ(ticks, (std::vector<std::string>{"tick owner-enabled=0", "tick owner-enabled=0"}));
}

TEST_F(DialogTest, EnterEscapeCloseAndTheDefaultButton) {
  std::vector<INT_PTR> results;
  device_.start([&](HINSTANCE instance) {
    auto t = ThreeButtons();
    for (int round = 0; round < 4; ++round)
      results.push_back(DialogBoxIndirectParamW(instance, t.get(), nullptr, RecordingProc, 0));
    return 0;
  });
  device_.press(VK_RETURN);  // the default push button, OK
  device_.press(VK_ESCAPE);
  PostMessageW(seen_.dialog, WM_CLOSE, 0, 0);
  device_.runUntilIdle();
  HWND last = seen_.dialog;
  EXPECT_EQ(SendMessageW(last, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));
  SendMessageW(last, DM_SETDEFID, 3, 0);
  EXPECT_EQ(SendMessageW(GetDlgItem(last, IDOK), WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON, 0);
  device_.press(VK_RETURN);
  EXPECT_EQ(results, (std::vector<INT_PTR>{IDOK + 100, IDCANCEL + 100, IDCANCEL + 100, 3 + 100}));
}

TEST_F(DialogTest, TabMovesTheFocusAlongTabStops) {
  device_.start([&](HINSTANCE instance) {
    auto t = ThreeButtons();
    DialogBoxIndirectParamW(instance, t.get(), nullptr, RecordingProc, 0);
    return 0;
  });
  HWND ok = GetDlgItem(seen_.dialog, IDOK);
  EXPECT_EQ(SendMessageW(ok, BM_GETSTATE, 0, 0) & BST_FOCUS, 0);
  device_.press(VK_TAB);
  EXPECT_EQ(SendMessageW(ok, BM_GETSTATE, 0, 0) & BST_FOCUS, BST_FOCUS);
  EXPECT_EQ(GetNextDlgTabItem(seen_.dialog, GetDlgItem(seen_.dialog, 3), FALSE), GetDlgItem(seen_.dialog, 11))
      << "the tab order wraps and skips the label";
  device_.press(VK_ESCAPE);
}

TEST_F(DialogTest, AutoRadioGroupsAndCheckBoxDrivenByTaps) {
  device_.start([&](HINSTANCE instance) {
    TemplateBuilder t(WS_POPUP | WS_CAPTION, u"設定");
    t.button(u"A", 20, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP)
        .button(u"B", 21, BS_AUTORADIOBUTTON)
        .button(u"C", 22, BS_AUTORADIOBUTTON)
        .button(u"X", 30, BS_AUTORADIOBUTTON | WS_GROUP)
        .button(u"Y", 31, BS_AUTORADIOBUTTON)
        .button(u"枠", -1, BS_GROUPBOX)
        .button(u"作成", 40, BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP)
        .button(u"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP);
    DialogBoxIndirectParamW(instance, t.get(), nullptr, RecordingProc, 0);
    return 0;
  });
  HWND d = seen_.dialog;
  CheckRadioButton(d, 20, 22, 20);
  CheckDlgButton(d, 30, BST_CHECKED);
  seen_.lines.clear();
  device_.tap(GetDlgItem(d, 22));
  EXPECT_EQ(IsDlgButtonChecked(d, 20), BST_UNCHECKED);
  EXPECT_EQ(IsDlgButtonChecked(d, 22), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(d, 30), BST_CHECKED) << "another group is left alone";
  device_.tap(GetDlgItem(d, 31));
  EXPECT_EQ(IsDlgButtonChecked(d, 30), BST_UNCHECKED);
  EXPECT_EQ(IsDlgButtonChecked(d, 22), BST_CHECKED);
  device_.tap(GetDlgItem(d, 40));
  EXPECT_EQ(IsDlgButtonChecked(d, 40), BST_CHECKED);
  device_.tap(GetDlgItem(d, 40));
  EXPECT_EQ(IsDlgButtonChecked(d, 40), BST_UNCHECKED);
  EXPECT_EQ(seen_.lines, (std::vector<std::string>{"command 22 code 0", "command 31 code 0", "command 40 code 0",
                                                   "command 40 code 0"}));
  // Arrow keys walk a group, wrapping at its ends, and mark the radio button reached.
  device_.tap(GetDlgItem(d, 20));
  device_.press(VK_UP);
  EXPECT_EQ(IsDlgButtonChecked(d, 22), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(d, 20), BST_UNCHECKED);
  device_.press(VK_DOWN);
  device_.press(VK_DOWN);
  EXPECT_EQ(IsDlgButtonChecked(d, 21), BST_CHECKED);
  EXPECT_EQ(SendMessageW(GetDlgItem(d, 21), BM_GETSTATE, 0, 0) & BST_FOCUS, BST_FOCUS);
  EXPECT_EQ(IsDlgButtonChecked(d, 31), BST_CHECKED) << "arrows stay inside their group";
  device_.press(VK_RETURN);
  EXPECT_FALSE(IsWindow(d));
}

TEST_F(DialogTest, NotifyAnswersTravelThroughMsgResult) {
  device_.start([&](HINSTANCE instance) {
    auto t = ThreeButtons();
    DialogBoxIndirectParamW(instance, t.get(), nullptr, RecordingProc, 0);
    return 0;
  });
  NMHDR header{GetDlgItem(seen_.dialog, 11), 11, 0};
  EXPECT_EQ(SendMessageW(seen_.dialog, WM_NOTIFY, 11, reinterpret_cast<LPARAM>(&header)), 4242);
  EXPECT_EQ(SendMessageW(seen_.dialog, WM_USER + 5, 0, 0), 0);
  device_.press(VK_ESCAPE);
}

TEST_F(DialogTest, UnusableTemplatesFailWithMinusOne) {
  std::vector<INT_PTR> results;
  bool ownerEnabled = false;
  device_.start([&](HINSTANCE instance) {
    HWND owner = MakeOwner(instance);
    results.push_back(DialogBoxIndirectParamW(instance, nullptr, owner, RecordingProc, 0));
    TemplateBuilder unknownClass(WS_POPUP, u"x");
    unknownClass.item(0x87, u"?", 5, 0);
    results.push_back(DialogBoxIndirectParamW(instance, unknownClass.get(), owner, RecordingProc, 0));
    results.push_back(DialogBoxParamW(instance, MAKEINTRESOURCEW(999), owner, RecordingProc, 0));
    ownerEnabled = IsWindowEnabled(owner);
    return 0;
  });
  EXPECT_EQ(results, (std::vector<INT_PTR>{-1, -1, -1}));
  EXPECT_TRUE(ownerEnabled);
  EXPECT_EQ(seen_.dialog, nullptr) << "no WM_INITDIALOG for a dialog that could not be built";
}

TEST_F(DialogTest, DialogUnitsUseTheSystemFont) {
  RECT rect{4, 8, 40, 16};
  RECT window{};
  bool visible = true;
  device_.start([&](HINSTANCE instance) {
    auto t = ThreeButtons();
    CreateDialogIndirectParamW(instance, t.get(), nullptr, RecordingProc, 0);
    MapDialogRect(seen_.dialog, &rect);
    GetClientRect(seen_.dialog, &window);  // the template sizes the client area
    visible = IsWindowVisible(seen_.dialog);
    return 0;
  });
  LONG base = GetDialogBaseUnits();
  EXPECT_EQ(rect.left, 1 * LOWORD(base));
  EXPECT_EQ(rect.right, 10 * LOWORD(base));
  EXPECT_EQ(rect.top, 1 * HIWORD(base));
  EXPECT_EQ(rect.bottom, 2 * HIWORD(base));
  EXPECT_EQ(window.right - window.left, 140 * LOWORD(base) / 4);
  EXPECT_FALSE(visible) << "a modeless dialog without WS_VISIBLE stays hidden";
}

}  // namespace
