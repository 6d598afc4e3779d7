// A dialog compiled from a resource script by the resource compiler, run as the suite
// runs its dialogs: FindResourceW, LoadResource, DialogBoxIndirectParamW.
#include <string>
#include <vector>

#include "dialog_test_support.h"
#include "user/static.h"
#include "user/window.h"

// Linked in when the build compiles res/dialog_test.rc; absent otherwise.
extern "C" const unsigned char dialog_test_resources[] __attribute__((weak));
extern "C" const std::size_t dialog_test_resources_size __attribute__((weak));

namespace {

struct SetupSeen {
  HWND dialog = nullptr;
  std::vector<int> commands;
};
SetupSeen* setupSeen = nullptr;

INT_PTR CALLBACK SetupProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      setupSeen->dialog = dialog;
      SendMessageW(GetDlgItem(dialog, 1000), BM_SETCHECK, BST_CHECKED, 0);
      SendMessageW(GetDlgItem(dialog, 1001), BM_SETCHECK, BST_CHECKED, 0);
      return TRUE;
    case WM_COMMAND:
      setupSeen->commands.push_back(LOWORD(wParam));
      if (LOWORD(wParam) <= 3) EndDialog(dialog, LOWORD(wParam));
      return LOWORD(wParam) <= 3;
    default:
      return FALSE;
  }
}

TEST(DialogResource, CompiledTemplateWithRadioGroupsAndCheckBoxDrivenByTaps) {
  if (!&dialog_test_resources_size) GTEST_SKIP() << "res/dialog_test.rc is not compiled into this build";
  test_support::TestDevice device;
  SetupSeen seen;
  setupSeen = &seen;
  INT_PTR result = 0;
  sim::ProgramImage image;
  image.path = u"\\Windows\\setuptest.exe";
  image.resources = std::span<const unsigned char>(dialog_test_resources, dialog_test_resources_size);
  image.main = [&](HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(101), RT_DIALOG);
    auto tmpl = static_cast<LPCDLGTEMPLATEW>(LoadResource(instance, found));
    result = DialogBoxIndirectParamW(instance, tmpl, nullptr, SetupProc, 0);
    return 0;
  };
  device.device().service<sim::ImageRegistry>().install(std::move(image));
  ASSERT_NE(sim::StartProgram(device.device(), u"\\Windows\\setuptest.exe", u""), nullptr);
  device.runUntilIdle();

  HWND d = seen.dialog;
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(test_support::TextOf(d), u"Brackenway 設定");
  EXPECT_EQ(test_support::TextOf(GetDlgItem(d, 1003)), u"プログラムフォルダ\n（\\Program Files\\）");
  WCHAR className[32] = {};
  GetClassNameW(GetDlgItem(d, 1005), className, 32);
  EXPECT_EQ(std::u16string(className), u"BUTTON") << "windres upper-cases named classes; lookup ignores case";
  // The icon static took its image from the dialog's module.
  HWND icon = nullptr;
  for (HWND child = GetWindow(d, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    GetClassNameW(child, className, 32);
    if (std::u16string(className) == u"STATIC" && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
      icon = child;
  }
  ASSERT_NE(icon, nullptr);
  EXPECT_NE(SendMessageW(icon, STM_GETICON, 0, 0), 0);
  // A client area of 137 × 155 dialog units with the System font's base units; the
  // caption and the frame lie around it.
  RECT rect{};
  GetClientRect(d, &rect);
  LONG base = GetDialogBaseUnits();
  EXPECT_EQ(rect.right - rect.left, 137 * LOWORD(base) / 4);
  EXPECT_EQ(rect.bottom - rect.top, 155 * HIWORD(base) / 8);

  device.tap(GetDlgItem(d, 1003));
  EXPECT_EQ(IsDlgButtonChecked(d, 1000), BST_UNCHECKED);
  EXPECT_EQ(IsDlgButtonChecked(d, 1003), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(d, 1001), BST_CHECKED) << "the second group keeps its mark";
  device.tap(GetDlgItem(d, 1004));
  EXPECT_EQ(IsDlgButtonChecked(d, 1001), BST_UNCHECKED);
  EXPECT_EQ(IsDlgButtonChecked(d, 1003), BST_CHECKED);
  device.tap(GetDlgItem(d, 1005));
  EXPECT_EQ(IsDlgButtonChecked(d, 1005), BST_CHECKED);
  device.tap(GetDlgItem(d, 1));
  EXPECT_EQ(result, 1);
  EXPECT_EQ(seen.commands, (std::vector<int>{1003, 1004, 1005, 1}));
  setupSeen = nullptr;
}

}  // namespace
