// How a dialog starts: when a modal dialog appears, who gets the focus after
// WM_INITDIALOG, and how a dialog gives the focus back.
#include <string>
#include <vector>

#include "dialog_test_support.h"

namespace {

using test_support::FocusOnThreadOf;
using test_support::TemplateBuilder;
using test_support::TestDevice;

struct StartRecord {
  std::vector<std::string> lines;
  HWND dialog = nullptr;
  HWND focusParam = nullptr;
  BOOL initResult = TRUE;
  int disableInInit = 0;  // a control the procedure disables before answering
};
StartRecord* record = nullptr;

INT_PTR CALLBACK StartProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      record->dialog = dialog;
      record->focusParam = reinterpret_cast<HWND>(wParam);
      record->lines.push_back("init");
      PostMessageW(dialog, WM_APP, 0, 0);
      if (record->disableInInit) EnableWindow(GetDlgItem(dialog, record->disableInInit), FALSE);
      return record->initResult;
    case WM_APP:
      record->lines.push_back(std::string("posted visible=") + (IsWindowVisible(dialog) ? "1" : "0"));
      return TRUE;
    case WM_SHOWWINDOW:
      record->lines.push_back(wParam ? "shown" : "hidden");
      return FALSE;
    case WM_ACTIVATE:
      record->lines.push_back(LOWORD(wParam) == WA_INACTIVE ? "deactivated" : "activated");
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
      return TRUE;
    default:
      return FALSE;
  }
}

class DialogStartTest : public ::testing::Test {
 protected:
  void SetUp() override { record = &record_; }
  void TearDown() override { record = nullptr; }

  // Runs a modal dialog of `t` and leaves it waiting in its loop.
  void runModal(TemplateBuilder& t) {
    device_.start([&](HINSTANCE instance) {
      DialogBoxIndirectParamW(instance, t.get(), nullptr, StartProc, 0);
      return 0;
    });
  }
  HWND item(int id) { return GetDlgItem(record_.dialog, id); }

  static TemplateBuilder EditAndButtons() {
    TemplateBuilder t(WS_POPUP | WS_CAPTION, u"開始");
    t.label(u"名前", 10).edit(11, WS_TABSTOP).edit(12, WS_TABSTOP).button(u"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP);
    return t;
  }

  StartRecord record_;
  TestDevice device_;
};

// The dialog appears only once its loop finds nothing waiting: what WM_INITDIALOG
// posted runs first, on a dialog nobody can see yet. The template's WS_VISIBLE does
// not matter for a modal dialog.
TEST_F(DialogStartTest, ModalDialogAppearsWhenItsLoopFirstFindsTheQueueEmpty) {
  record_.initResult = FALSE;  // no focus, so activation waits for the dialog to be shown
  TemplateBuilder t = EditAndButtons();
  runModal(t);
  const std::vector<std::string> expected = {"init", "posted visible=0", "shown", "activated"};
  EXPECT_EQ(record_.lines, expected);
  EXPECT_TRUE(IsWindowVisible(record_.dialog));
  EXPECT_EQ(GetForegroundWindow(), record_.dialog);
  device_.press(VK_ESCAPE);
  EXPECT_FALSE(IsWindow(record_.dialog));
}

TEST_F(DialogStartTest, TrueFromInitDialogFocusesTheFirstTabStopBeforeTheDialogAppears) {
  TemplateBuilder t = EditAndButtons();
  runModal(t);
  const std::vector<std::string> expected = {"init", "activated", "posted visible=0", "shown"};
  EXPECT_EQ(record_.lines, expected);
  EXPECT_EQ(record_.focusParam, item(11)) << "wParam names the first visible, enabled tab stop";
  EXPECT_EQ(FocusOnThreadOf(record_.dialog), item(11));
  device_.press(VK_ESCAPE);
}

TEST_F(DialogStartTest, FalseFromInitDialogLeavesTheFocusUnset) {
  record_.initResult = FALSE;
  TemplateBuilder t = EditAndButtons();
  runModal(t);
  EXPECT_EQ(FocusOnThreadOf(record_.dialog), nullptr) << "neither the start nor the activation sets a focus";
  // Keys still reach the dialog: Tab finds the first tab stop.
  device_.press(VK_TAB);
  EXPECT_EQ(FocusOnThreadOf(record_.dialog), item(11));
  device_.press(VK_ESCAPE);
}

TEST_F(DialogStartTest, FalseFromInitDialogAlsoTakesTheFocusFromAnotherWindowOfTheProgram) {
  record_.initResult = FALSE;
  HWND mainEdit = nullptr;
  device_.start([&](HINSTANCE instance) {
    HWND main = CreateWindowExW(0, u"EDIT", u"main", WS_VISIBLE, 0, 0, 240, 100, nullptr, nullptr, instance, nullptr);
    mainEdit = main;
    SetFocus(main);
    auto t = EditAndButtons();
    DialogBoxIndirectParamW(instance, t.get(), nullptr, StartProc, 0);  // no owner: main stays enabled
    DestroyWindow(main);
    return 0;
  });
  EXPECT_NE(FocusOnThreadOf(record_.dialog), mainEdit) << "the focus never stays in a window that is not active";
  EXPECT_EQ(FocusOnThreadOf(record_.dialog), nullptr);
  device_.press(VK_ESCAPE);
}

TEST_F(DialogStartTest, ADisabledFirstTabStopIsPassedOverAndWithoutTabStopsTheFirstControlGetsTheFocus) {
  record_.disableInInit = 11;
  TemplateBuilder t = EditAndButtons();
  runModal(t);
  EXPECT_EQ(FocusOnThreadOf(record_.dialog), item(12)) << "the procedure disabled the first tab stop";
  device_.press(VK_ESCAPE);

  StartRecord second;
  record = &second;
  TemplateBuilder plain(WS_POPUP | WS_CAPTION, u"開始");
  plain.edit(21, 0).button(u"OK", IDOK, BS_DEFPUSHBUTTON);
  device_.start([&](HINSTANCE instance) {
    DialogBoxIndirectParamW(instance, plain.get(), nullptr, StartProc, 0);
    return 0;
  });
  HWND edit = GetDlgItem(second.dialog, 21);
  EXPECT_EQ(second.focusParam, edit);
  EXPECT_EQ(FocusOnThreadOf(second.dialog), edit) << "no control has WS_TABSTOP: the first one gets the focus";
  device_.press(VK_ESCAPE);
  record = &record_;
}

// A child dialog made hidden leaves the focus where it is; once shown, its
// WM_SETFOCUS hands the focus to its first control.
TEST_F(DialogStartTest, AnInvisibleChildDialogTakesNoFocusUntilItIsFocused) {
  HWND parent = nullptr, child = nullptr, parentEdit = nullptr;
  HWND focusAfterCreate = nullptr;
  device_.start([&](HINSTANCE instance) {
    TemplateBuilder outer(WS_POPUP | WS_CAPTION | WS_VISIBLE, u"外");
    outer.edit(11, WS_TABSTOP);
    parent = CreateDialogIndirectParamW(instance, outer.get(), nullptr, StartProc, 0);
    parentEdit = GetDlgItem(parent, 11);
    TemplateBuilder inner(WS_CHILD | DS_CONTROL, u"");
    inner.edit(31, WS_TABSTOP);
    child = CreateDialogIndirectParamW(instance, inner.get(), parent, StartProc, 0);
    focusAfterCreate = GetFocus();
    SetDlgItemTextW(child, 31, u"abc");
    ShowWindow(child, SW_SHOW);
    SetFocus(child);
    test_support::PumpMessages(parent);
    return 0;
  });
  EXPECT_EQ(focusAfterCreate, parentEdit);
  HWND childEdit = GetDlgItem(child, 31);
  EXPECT_EQ(FocusOnThreadOf(parent), childEdit);
  DWORD start = 9, end = 0;
  SendMessageW(childEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 3u) << "the edit box's text is selected, as at a dialog's start";
}

TEST_F(DialogStartTest, WmSetFocusReturnsTheFocusToTheControlThatHadIt) {
  HWND dialog = nullptr, other = nullptr;
  std::vector<HWND> focusAfter;
  DWORD selStart = 9, selEnd = 0;
  device_.start([&](HINSTANCE instance) {
    auto t = EditAndButtons();
    dialog = CreateDialogIndirectParamW(instance, t.get(), nullptr, StartProc, 0);
    ShowWindow(dialog, SW_SHOW);
    HWND second = GetDlgItem(dialog, 12);
    SetWindowTextW(second, u"abcd");
    SetFocus(second);
    SendMessageW(second, EM_SETSEL, 1, 1);
    SetFocus(dialog);  // the control loses the focus to the dialog, which hands it back
    focusAfter.push_back(GetFocus());
    SendMessageW(second, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
    // Another window of the program takes the activation; coming back restores it.
    other = CreateWindowExW(0, u"STATIC", u"", WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, instance, nullptr);
    SetActiveWindow(other);
    focusAfter.push_back(GetFocus());
    SetActiveWindow(dialog);
    focusAfter.push_back(GetFocus());
    test_support::PumpMessages(dialog);
    return 0;
  });
  HWND second = GetDlgItem(dialog, 12);
  EXPECT_EQ(focusAfter, (std::vector<HWND>{second, other, second}));
  EXPECT_EQ(selStart, 0u);
  EXPECT_EQ(selEnd, 4u) << "WM_SETFOCUS selects the edit box's text as the dialog's start does";
}

}  // namespace
