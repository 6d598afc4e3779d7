// A device running one program with a host window that records what its common
// controls tell it.
#pragma once

#include <gtest/gtest.h>

#include <commctrl.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/test_device.h"

namespace test_support {

// What the host window heard, one line per notification: "NAME item details".
inline std::vector<std::string>& Heard() {
  static std::vector<std::string> heard;
  return heard;
}
// The host's answer to a notification; unset answers 0.
inline std::function<LRESULT(NMHDR*)>& Answer() {
  static std::function<LRESULT(NMHDR*)> answer;
  return answer;
}
// Notifications the tests look at; others are not recorded.
inline std::string NotificationName(UINT code) {
  static const std::map<UINT, std::string> names = {
      {NM_CLICK, "NM_CLICK"},
      {NM_DBLCLK, "NM_DBLCLK"},
      {NM_RCLICK, "NM_RCLICK"},
      {LVN_ITEMCHANGING, "LVN_ITEMCHANGING"},
      {LVN_ITEMCHANGED, "LVN_ITEMCHANGED"},
      {LVN_BEGINLABELEDITW, "LVN_BEGINLABELEDITW"},
      {LVN_ENDLABELEDITW, "LVN_ENDLABELEDITW"},
      {LVN_KEYDOWN, "LVN_KEYDOWN"},
      {TVN_SELCHANGINGW, "TVN_SELCHANGINGW"},
      {TVN_SELCHANGEDW, "TVN_SELCHANGEDW"},
      {TVN_ITEMEXPANDINGW, "TVN_ITEMEXPANDINGW"},
      {TVN_ITEMEXPANDEDW, "TVN_ITEMEXPANDEDW"},
      {TVN_DELETEITEMW, "TVN_DELETEITEMW"},
  };
  auto it = names.find(code);
  return it == names.end() ? std::string() : it->second;
}

inline std::string Narrow(const WCHAR* text) {
  if (!text) return "(null)";
  std::string out;
  for (; *text; ++text) out += static_cast<char>(*text);  // test texts are ASCII
  return out;
}

inline std::string Describe(NMHDR* header) {
  std::string name = NotificationName(header->code);
  switch (header->code) {
    case LVN_ITEMCHANGING:
    case LVN_ITEMCHANGED: {
      auto* change = reinterpret_cast<NMLISTVIEW*>(header);
      return name + " " + std::to_string(change->iItem) + " " + std::to_string(change->uOldState) + "->" +
             std::to_string(change->uNewState);
    }
    case LVN_BEGINLABELEDITW:
    case LVN_ENDLABELEDITW: {
      auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
      return name + " " + std::to_string(info->item.iItem) + " " + Narrow(info->item.pszText);
    }
    case NM_CLICK:
    case NM_DBLCLK:
    case NM_RCLICK:
      return name;
    case LVN_KEYDOWN:
      return name + " " + std::to_string(reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey);
    default:
      return name;
  }
}

inline LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_APP:
      (*reinterpret_cast<std::function<void()>*>(lParam))();
      return 0;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (!NotificationName(header->code).empty()) Heard().push_back(Describe(header));
      return Answer() ? Answer()(header) : 0;
    }
    case WM_COMMAND:
      Heard().push_back("WM_COMMAND " + std::to_string(LOWORD(wParam)) + " " + std::to_string(HIWORD(wParam)));
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

// A device running one program with a host window that records what its common
// controls tell it. Taps let the device settle: controls start timers on them.
class ControlHost : public TestDevice {
 public:
  ControlHost() {
    settleAfterGestures();
    Heard().clear();
    Answer() = nullptr;
  }
  ~ControlHost() { Answer() = nullptr; }

  // Starts the program: a host window (240 x 268 at the top of the work area) in
  // which `setup` creates the controls; then the program pulls messages until it ends.
  void start(std::function<void(HWND host)> setup) {
    launch(u"\\Windows\\comctltest.exe", [this, setup] {
      InitCommonControls();
      WNDCLASSW wc{};
      wc.lpfnWndProc = HostProc;
      wc.lpszClassName = u"ComctlHost";
      RegisterClassW(&wc);
      host_ = CreateWindowExW(0, u"ComctlHost", u"host", WS_VISIBLE, 0, 26, 240, 268, nullptr, nullptr, nullptr,
                              nullptr);
      setup(host_);
      MSG msg;
      while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      return 0;
    });
    runUntilIdle();
  }

  // Runs `body` on the program's thread, between its messages; fails the test when
  // the program did not take it.
  void call(std::function<void()> body) {
    bool ran = false;
    std::function<void()> marked = [&] {
      ran = true;
      body();
    };
    PostMessageW(host_, WM_APP, 0, reinterpret_cast<LPARAM>(&marked));
    runUntilIdle();
    if (!ran) ADD_FAILURE() << "the host program did not run the call";
  }

  HWND host() const { return host_; }

 private:
  HWND host_ = nullptr;
};

inline POINT Middle(const RECT& rect) { return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

inline std::u16string WindowText(HWND hwnd) {
  WCHAR buffer[256] = {};
  GetWindowTextW(hwnd, buffer, 256);
  return buffer;
}

}  // namespace test_support
