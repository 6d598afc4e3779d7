// Moving between a dialog's controls, the default button, and what the dialog
// functions answer for a handle that is not a window.
#include <string>
#include <vector>

#include "dialog_test_support.h"
#include "kernel/scheduler.h"

namespace {

using test_support::FocusOnThreadOf;
using test_support::TemplateBuilder;
using test_support::TestDevice;

struct Heard {
  HWND dialog;
  int id;
  int code;
};
std::vector<Heard>* heard = nullptr;

INT_PTR CALLBACK QuietProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
  if (msg == WM_INITDIALOG) return TRUE;
  if (msg == WM_COMMAND && heard && HIWORD(wParam) == BN_CLICKED) {
    heard->push_back({dialog, LOWORD(wParam), HIWORD(wParam)});
    return TRUE;
  }
  return FALSE;
}

HWND Control(HWND parent, LPCWSTR cls, int id, DWORD style) {
  return CreateWindowExW(0, cls, u"", WS_CHILD | WS_VISIBLE | style, 0, 0, 40, 12, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

// A: edit | [child dialog: B button, C edit] | D disabled | E hidden | [plain
// window with the desktop's control-parent bit: G] | F button. Every control but
// the plain window has WS_TABSTOP.
struct Layout {
  HWND dialog, a, child, b, c, d, e, plain, g, f;
};

Layout BuildLayout(HINSTANCE instance) {
  Layout l{};
  TemplateBuilder outer(WS_POPUP | WS_CAPTION | WS_VISIBLE, u"移動");
  outer.edit(10, WS_TABSTOP);
  l.dialog = CreateDialogIndirectParamW(instance, outer.get(), nullptr, QuietProc, 0);
  l.a = GetDlgItem(l.dialog, 10);
  TemplateBuilder inner(WS_CHILD | WS_VISIBLE | DS_CONTROL, u"");
  inner.button(u"B", 2, BS_PUSHBUTTON | WS_TABSTOP).edit(3, WS_TABSTOP);
  l.child = CreateDialogIndirectParamW(instance, inner.get(), l.dialog, QuietProc, 0);
  l.b = GetDlgItem(l.child, 2);
  l.c = GetDlgItem(l.child, 3);
  l.d = Control(l.dialog, u"BUTTON", 4, WS_TABSTOP | WS_DISABLED);
  l.e = Control(l.dialog, u"BUTTON", 5, WS_TABSTOP);
  ShowWindow(l.e, SW_HIDE);
  l.plain = CreateWindowExW(0x00010000, u"STATIC", u"", WS_CHILD | WS_VISIBLE, 0, 0, 40, 40, l.dialog,
                            reinterpret_cast<HMENU>(8), nullptr, nullptr);
  l.g = Control(l.plain, u"BUTTON", 7, WS_TABSTOP);
  l.f = Control(l.dialog, u"BUTTON", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP);
  return l;
}

TEST(DialogNavigation, TabOrderWrapsSkipsWhatCannotTakeTheFocusAndEntersChildDialogs) {
  TestDevice device;
  Layout l{};
  device.start([&](HINSTANCE instance) {
    l = BuildLayout(instance);
    test_support::PumpMessages(l.dialog);
    return 0;
  });
  auto next = [&](HWND from, BOOL previous) { return GetNextDlgTabItem(l.dialog, from, previous); };
  // From nothing, forward gives the first tab stop and backward the last.
  EXPECT_EQ(next(nullptr, FALSE), l.a);
  EXPECT_EQ(next(nullptr, TRUE), l.f);
  // Every dialog is a control parent on this device: B and C are reached inside the
  // child dialog; D (disabled), E (hidden) are passed over; the desktop's
  // control-parent bit on a window of another class is not a style here, so G
  // inside it is never reached.
  std::vector<HWND> forward{l.a};
  while (forward.size() < 5) forward.push_back(next(forward.back(), FALSE));
  EXPECT_EQ(forward, (std::vector<HWND>{l.a, l.b, l.c, l.f, l.a}));
  EXPECT_EQ(next(l.a, TRUE), l.f) << "backward wraps too";
  EXPECT_EQ(next(l.b, TRUE), l.a);
  // A hidden child dialog takes its controls out of the order.
  ShowWindow(l.child, SW_HIDE);
  EXPECT_EQ(next(l.a, FALSE), l.f);
  // Without any tab stop left, the starting control comes back.
  for (HWND h : {l.a, l.f}) EnableWindow(h, FALSE);
  EXPECT_EQ(next(l.a, FALSE), l.a);
}

TEST(DialogNavigation, GroupsRunFromOneWsGroupToTheNextSkippingDisabledControls) {
  TestDevice device;
  HWND dialog = nullptr;
  device.start([&](HINSTANCE instance) {
    TemplateBuilder t(WS_POPUP | WS_VISIBLE, u"群");
    t.button(u"R1", 11, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP)
        .button(u"R2", 12, BS_AUTORADIOBUTTON)
        .button(u"R3", 13, BS_AUTORADIOBUTTON | WS_DISABLED)
        .button(u"X", 21, BS_AUTORADIOBUTTON | WS_GROUP)
        .button(u"Y", 22, BS_AUTORADIOBUTTON);
    dialog = CreateDialogIndirectParamW(instance, t.get(), nullptr, QuietProc, 0);
    test_support::PumpMessages(dialog);
    return 0;
  });
  auto item = [&](int id) { return GetDlgItem(dialog, id); };
  EXPECT_EQ(GetNextDlgGroupItem(dialog, item(12), FALSE), item(11)) << "R3 is disabled: the group wraps to R1";
  EXPECT_EQ(GetNextDlgGroupItem(dialog, item(11), TRUE), item(12));
  EXPECT_EQ(GetNextDlgGroupItem(dialog, item(21), FALSE), item(22));
  EXPECT_EQ(GetNextDlgGroupItem(dialog, item(22), FALSE), item(21));
  // From nothing: the first control of the first group, or the last of the last.
  EXPECT_EQ(GetNextDlgGroupItem(dialog, nullptr, FALSE), item(11));
  EXPECT_EQ(GetNextDlgGroupItem(dialog, nullptr, TRUE), item(22));
}

// WM_NEXTDLGCTL moves the focus like Tab, by handle or by direction, and the push
// button that gets it looks like the default button until the focus leaves it;
// the dialog's default id stays.
TEST(DialogNavigation, NextDlgCtlMovesTheFocusAndTheDefaultButtonsLook) {
  TestDevice device;
  HWND dialog = nullptr;
  std::vector<std::pair<UINT, std::u16string>> reads;  // GetDlgItemTextW: count and text
  device.start([&](HINSTANCE instance) {
    TemplateBuilder t(WS_POPUP | WS_VISIBLE, u"次");
    t.edit(10, WS_TABSTOP).button(u"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP).button(u"他", 3, WS_TABSTOP);
    dialog = CreateDialogIndirectParamW(instance, t.get(), nullptr, QuietProc, 0);
    SetDlgItemTextW(dialog, 10, u"名前");
    WCHAR text[8] = {u'?'};
    for (auto [id, capacity] : {std::pair{10, 8}, std::pair{10, 2}, std::pair{99, 8}}) {
      UINT count = GetDlgItemTextW(dialog, id, text, capacity);
      reads.emplace_back(count, text);
    }
    test_support::PumpMessages(dialog);
    return 0;
  });
  EXPECT_EQ(reads, (std::vector<std::pair<UINT, std::u16string>>{{2, u"名前"}, {1, u"名"}, {0, u""}}))
      << "a cut text ends in a zero; no item, no text";
  auto item = [&](int id) { return GetDlgItem(dialog, id); };
  auto looksDefault = [&](int id) { return (GetWindowLongW(item(id), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON; };
  SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item(3)), TRUE);
  EXPECT_EQ(FocusOnThreadOf(dialog), item(3));
  EXPECT_TRUE(looksDefault(3));
  EXPECT_FALSE(looksDefault(IDOK));
  EXPECT_EQ(SendMessageW(dialog, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));
  SendMessageW(dialog, WM_NEXTDLGCTL, 0, FALSE);  // the next tab stop, wrapping to the edit box
  EXPECT_EQ(FocusOnThreadOf(dialog), item(10));
  EXPECT_FALSE(looksDefault(3));
  EXPECT_TRUE(looksDefault(IDOK)) << "leaving the push buttons gives the look back to the default";
  DWORD start = 9, end = 0;
  SendMessageW(item(10), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(end - start, 2u) << "an edit box reached this way has its text selected";
  SendMessageW(dialog, WM_NEXTDLGCTL, 1, FALSE);  // the previous one
  EXPECT_EQ(FocusOnThreadOf(dialog), item(3));
}

TEST(DialogDefaultButton, DefDlgProcKeepsTheDefaultIdOfAnyDialogClassWindow) {
  TestDevice device;
  HWND dialog = nullptr, button = nullptr;
  device.start([&](HINSTANCE) {
    dialog = CreateWindowExW(0, u"Dialog", u"手作り", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                             nullptr, nullptr);
    button = Control(dialog, u"BUTTON", 5, BS_PUSHBUTTON);
    test_support::PumpMessages(nullptr);
    return 0;
  });
  EXPECT_EQ(SendMessageW(dialog, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID))
      << "without a default of its own a dialog's default id is IDOK";
  EXPECT_EQ(SendMessageW(dialog, DM_SETDEFID, 5, 0), TRUE);
  EXPECT_EQ(SendMessageW(dialog, DM_GETDEFID, 0, 0), MAKELRESULT(5, DC_HASDEFID));
  EXPECT_EQ(GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
}

TEST(DialogDefaultButton, EnterPressesTheDefaultButtonInsideAChildDialog) {
  TestDevice device;
  std::vector<Heard> seen;
  heard = &seen;
  Layout l{};
  device.start([&](HINSTANCE instance) {
    l = BuildLayout(instance);
    SendMessageW(l.dialog, DM_SETDEFID, 2, 0);  // B, inside the child dialog
    SetFocus(l.a);
    test_support::PumpMessages(l.dialog);
    return 0;
  });
  device.press(VK_RETURN);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].dialog, l.child) << "the button's own dialog hears it, as when it is tapped";
  EXPECT_EQ(seen[0].id, 2);
  EXPECT_EQ(seen[0].code, BN_CLICKED);
  heard = nullptr;
}

// Nothing is made for an owner that is not a window: the device answers -1 where
// the desktop answers 0, and every dialog function names the bad handle.
TEST(DialogErrors, BadWindowsAndMissingResourcesFailWithTheirErrors) {
  TestDevice device;
  std::vector<std::string> results;
  std::size_t windowsBefore = 0, windowsAfter = 0;
  device.start([&](HINSTANCE instance) {
    HWND gone = CreateWindowExW(0, u"STATIC", u"", 0, 0, 0, 1, 1, nullptr, nullptr, instance, nullptr);
    DestroyWindow(gone);
    windowsBefore = sim::WindowSystem::get().windowsOfThread(sim::Scheduler::current()).size();
    TemplateBuilder t(WS_POPUP, u"x");
    t.button(u"OK", IDOK, BS_DEFPUSHBUTTON);
    auto note = [&](const char* what, long long result) {
      results.push_back(std::string(what) + " " + std::to_string(result) + " " + std::to_string(GetLastError()));
    };
    note("DialogBoxIndirectParamW", DialogBoxIndirectParamW(instance, t.get(), gone, QuietProc, 0));
    note("DialogBoxParamW", DialogBoxParamW(instance, MAKEINTRESOURCEW(1), gone, QuietProc, 0));
    note("CreateDialogIndirectParamW", CreateDialogIndirectParamW(instance, t.get(), gone, QuietProc, 0) != nullptr);
    note("CreateDialogParamW", CreateDialogParamW(instance, MAKEINTRESOURCEW(1), gone, QuietProc, 0) != nullptr);
    windowsAfter = sim::WindowSystem::get().windowsOfThread(sim::Scheduler::current()).size();
    note("DefDlgProcW", DefDlgProcW(gone, DM_GETDEFID, 0, 0));
    note("EndDialog", EndDialog(gone, 1));
    note("GetDlgItem", GetDlgItem(gone, 1) != nullptr);
    note("SetDlgItemTextW", SetDlgItemTextW(gone, 1, u"x"));
    note("CheckDlgButton", CheckDlgButton(gone, 1, BST_CHECKED));
    note("GetNextDlgTabItem", GetNextDlgTabItem(gone, nullptr, FALSE) != nullptr);
    note("IsDialogMessageW", [&] {
      MSG msg{gone, WM_KEYDOWN, VK_TAB, 0, 0, {}};
      return IsDialogMessageW(gone, &msg);
    }());
    SetLastError(0);
    note("missing name", DialogBoxParamW(instance, MAKEINTRESOURCEW(999), nullptr, QuietProc, 0));
    note("missing name", CreateDialogParamW(instance, u"NOSUCHDIALOG", nullptr, QuietProc, 0) != nullptr);
    return 0;
  });
  const std::vector<std::string> expected = {
      "DialogBoxIndirectParamW -1 1400", "DialogBoxParamW -1 1400", "CreateDialogIndirectParamW 0 1400",
      "CreateDialogParamW 0 1400",       "DefDlgProcW 0 1400",      "EndDialog 0 1400",
      "GetDlgItem 0 1400",               "SetDlgItemTextW 0 1400",  "CheckDlgButton 0 1400",
      "GetNextDlgTabItem 0 1400",        "IsDialogMessageW 0 1400", "missing name -1 1814",
      "missing name 0 1814"};
  EXPECT_EQ(results, expected);
  EXPECT_EQ(windowsAfter, windowsBefore) << "nothing was created for the bad owner";
  // A window that is gone is not misuse on the device: another program's window may go
  // at any time, so each call just fails with ERROR_INVALID_WINDOW_HANDLE.
  EXPECT_TRUE(device.device().faults().programFaults().empty());
}

// A module with resources but no dialog among them.
std::vector<unsigned char> StringsOnlyResources() {
  std::vector<unsigned char> bytes;
  auto put16 = [&](unsigned value) {
    bytes.push_back(static_cast<unsigned char>(value & 0xFF));
    bytes.push_back(static_cast<unsigned char>(value >> 8));
  };
  auto put32 = [&](unsigned value) { put16(value & 0xFFFF), put16(value >> 16); };
  auto entry = [&](unsigned type, unsigned name, std::size_t size) {
    put32(static_cast<unsigned>(size)), put32(32);
    put16(0xFFFF), put16(type), put16(0xFFFF), put16(name);
    put32(0), put16(0x1030), put16(0x411), put32(0), put32(0);
    bytes.insert(bytes.end(), size, 0);  // a string block of sixteen empty strings
  };
  entry(0, 0, 0);
  entry(6, 1, 32);
  return bytes;
}

TEST(DialogErrors, AModuleWithoutDialogsReportsTheMissingType) {
  TestDevice device;
  static const std::vector<unsigned char> resources = StringsOnlyResources();
  INT_PTR result = 0;
  DWORD error = 0;
  sim::ProgramImage image;
  image.path = u"\\Windows\\nodialogs.exe";
  image.resources = resources;
  image.main = [&](HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    result = DialogBoxParamW(instance, MAKEINTRESOURCEW(1), nullptr, QuietProc, 0);
    error = GetLastError();
    return 0;
  };
  device.device().service<sim::ImageRegistry>().install(std::move(image));
  ASSERT_NE(sim::StartProgram(device.device(), u"\\Windows\\nodialogs.exe", u""), nullptr);
  device.runUntilIdle();
  EXPECT_EQ(result, -1);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
}

}  // namespace
