// Fault switches: only the operations of the table can be armed, a switch lets the
// calls before it pass, and an armed operation fails as the device fails it, with
// its failure value and the error of the table.
#include <gtest/gtest.h>

#include <aygshell.h>
#include <commctrl.h>

#include <functional>
#include <stdexcept>

#include "kernel/fault_operations.h"
#include "window_test_support.h"

using namespace test_support;

namespace {

TEST(FaultSwitches, OnlyTheTableNamesOperationsAndASwitchCountsTheCallsItLetsPass) {
  TestDevice device;
  sim::Faults& faults = device->faults();
  EXPECT_THROW(faults.arm("GetClipboardDta"), std::invalid_argument);
  EXPECT_FALSE(faults.armed("GetClipboardDta"));

  faults.arm("SetTimer", 2, 0, 1);
  std::vector<UINT_PTR> timers;
  device.launch(u"\\Windows\\t.exe", [&] {
    for (int i = 0; i < 4; ++i) timers.push_back(SetTimer(nullptr, 0, 10, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY)) << "the last failure's error stays";
    return 0;
  });
  device.settle();
  ASSERT_EQ(timers.size(), 4u);
  EXPECT_NE(timers[0], 0u);
  EXPECT_EQ(timers[1], 0u);
  EXPECT_EQ(timers[2], 0u);
  EXPECT_NE(timers[3], 0u);
}

// One call of each operation with good arguments: true when it gave its failure value.
struct Call {
  const char* operation;
  std::function<bool(HWND window)> fails;
};

TEST(FaultSwitches, EachOperationTheSuiteCallsFailsWithItsValueAndError) {
  TestDevice device;
  const std::vector<Call> calls = {
      {"GetProcAddressW", [](HWND) { return !GetProcAddressW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1)); }},
      {"GetModuleFileNameW", [](HWND) { WCHAR path[MAX_PATH]; return GetModuleFileNameW(nullptr, path, MAX_PATH) == 0; }},
      {"LoadResource", [](HWND) { return !LoadResource(nullptr, nullptr); }},
      {"FindResourceW", [](HWND) { return !FindResourceW(nullptr, MAKEINTRESOURCEW(1), RT_DIALOG); }},
      {"GetClipboardData", [](HWND window) {
         OpenClipboard(window);
         HANDLE data = GetClipboardData(CF_UNICODETEXT);
         DWORD error = GetLastError();
         CloseClipboard();
         SetLastError(error);
         return !data;
       }},
      {"RegisterClipboardFormatW", [](HWND) { return RegisterClipboardFormatW(u"Some Format") == 0; }},
      {"RegisterClassW", [](HWND) {
         WNDCLASSW wc{};
         wc.lpfnWndProc = DefWindowProcW;
         wc.lpszClassName = u"Fresh";
         return RegisterClassW(&wc) == 0;
       }},
      {"CreateWindowExW", [](HWND) { return !CreateWindowExW(0, u"STATIC", u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr); }},
      {"DialogBoxIndirectParamW", [](HWND window) { return DialogBoxIndirectParamW(nullptr, nullptr, window, nullptr, 0) == -1; }},
      {"MessageBoxW", [](HWND window) { return MessageBoxW(window, u"text", u"caption", MB_OK) == 0; }},
      {"SetWindowTextW", [](HWND window) { return !SetWindowTextW(window, u"new"); }},
      {"SetDlgItemTextW", [](HWND window) { return !SetDlgItemTextW(window, 7, u"new"); }},
      {"PostMessageW", [](HWND window) { return !PostMessageW(window, WM_USER, 0, 0); }},
      {"SetTimer", [](HWND window) { return SetTimer(window, 1, 100, nullptr) == 0; }},
      {"CreatePopupMenu", [](HWND) { return !CreatePopupMenu(); }},
      {"AppendMenuW", [](HWND) { return !AppendMenuW(CreatePopupMenu(), MF_STRING, 1, u"item"); }},
      {"InsertMenuW", [](HWND) { return !InsertMenuW(CreatePopupMenu(), 0, MF_BYPOSITION | MF_STRING, 1, u"item"); }},
      {"TrackPopupMenuEx", [](HWND window) { return !TrackPopupMenuEx(CreatePopupMenu(), TPM_RETURNCMD, 0, 0, window, nullptr); }},
      {"LoadImageW", [](HWND) { return !LoadImageW(nullptr, MAKEINTRESOURCEW(32512), IMAGE_ICON, 16, 16, 0); }},
      {"ImageList_ReplaceIcon", [](HWND) { return ImageList_ReplaceIcon(ImageList_Create(16, 16, 0, 1, 0), -1, nullptr) == -1; }},
      {"CommandBar_AddBitmap", [](HWND window) { return CommandBar_AddBitmap(window, nullptr, 1, 3, 16, 16) == -1; }},
      {"SHCreateMenuBar", [](HWND window) {
         SHMENUBARINFO info{};
         info.cbSize = SHMENUBARINFO_DEVICE_SIZE;
         info.hwndParent = window;
         info.dwFlags = SHCMBF_EMPTYBAR;
         return !SHCreateMenuBar(&info);
       }},
      {"SHGetFileInfo", [](HWND) {
         SHFILEINFO info{};
         return SHGetFileInfo(u"\\", 0, &info, sizeof(info), SHGFI_DISPLAYNAME) == 0;
       }},
  };
  std::vector<std::string> wrong;
  device.launch(u"\\Windows\\calls.exe", [&] {
    HWND window = CreateWindowExW(0, u"STATIC", u"w", WS_VISIBLE | WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                  nullptr, nullptr);
    CreateWindowExW(0, u"STATIC", u"item", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, window, reinterpret_cast<HMENU>(7),
                    nullptr, nullptr);
    for (const Call& call : calls) {
      device->faults().arm(call.operation);
      SetLastError(0);
      bool failed = call.fails(window);
      DWORD error = GetLastError();
      if (!failed || error != sim::FindFaultOperation(call.operation)->naturalError ||
          device->faults().armed(call.operation))
        wrong.push_back(std::string(call.operation) + " gave error " + std::to_string(error));
    }
    DestroyWindow(window);
    return 0;
  });
  device.settle();
  EXPECT_EQ(wrong, std::vector<std::string>{});
}

}  // namespace
