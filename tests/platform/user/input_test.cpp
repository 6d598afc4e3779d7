#include <gtest/gtest.h>

#include "user/input.h"
#include "window_test_support.h"

using namespace test_support;
using Strings = std::vector<std::string>;

namespace {

class InputPaths : public ::testing::Test {
 protected:
  void SetUp() override { ResetRecording(); }
  void TearDown() override { ResetRecording(); }
  TestDevice device;
};

std::string Describe(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  std::string text = NameOf(hwnd) + ":" + MessageName(msg);
  if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST)
    text += " " + std::to_string(GET_X_LPARAM(lParam)) + "," + std::to_string(GET_Y_LPARAM(lParam)) +
            ((wParam & MK_CONTROL) ? " ctrl" : "");
  else
    text += " " + std::to_string(wParam);
  return text;
}

TEST_F(InputPaths, KeystrokesMadeInsideAProcedureArriveOnlyAfterItReturns) {
  // The window procedure presses Ctrl+C for its own thread, pausing between the
  // strokes, as a program asking its own window to copy does.
  SHORT controlInside = -1;
  Behaviour() = [&](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
    if (msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_CHAR) Log().back() = Describe(hwnd, msg, wParam, lParam);
    if (msg == WM_KEYDOWN && wParam == 'C')
      Log().push_back("control " + std::string((GetKeyState(VK_CONTROL) & 0x8000) ? "down" : "up"));
    if (msg == WM_COMMAND) {
      keybd_event(VK_CONTROL, 0, 0, 0);
      Sleep(100);
      keybd_event('C', 0, 0, 0);
      Sleep(100);
      keybd_event('C', 0, KEYEVENTF_KEYUP, 0);
      Sleep(100);
      keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
      controlInside = GetKeyState(VK_CONTROL);
      Log().push_back("command done");
      return 0;
    }
    return std::nullopt;
  };
  HWND hwnd = nullptr;
  device.launch(u"\\Windows\\k.exe", [&] {
    RegisterRecordingClass();
    hwnd = MakeWindow(u"k");
    RunMessageLoop();
    return 0;
  });
  device.settle();
  Log().clear();
  device.launch(u"\\Windows\\menu.exe", [&] {
    SendMessageW(hwnd, WM_COMMAND, 101, 0);
    return 0;
  });
  device.settle();
  EXPECT_EQ(controlInside, 0) << "the thread's key state changes only when it takes the key";
  EXPECT_EQ(Log(), (Strings{"k:COMMAND", "command done", "k:KEYDOWN 17", "k:KEYDOWN 67", "control down",
                            "k:CHAR 3", "k:KEYUP 67", "k:KEYUP 17"}));
  EXPECT_FALSE(sim::Input::get().asyncKeyDown(VK_CONTROL));
}

TEST_F(InputPaths, AKeyHeldDownStaysDownUntilItsKeyUp) {
  SHORT afterFirst = 0, afterSecond = 0, afterUp = 0;
  device.launch(u"\\Windows\\k.exe", [&] {
    RegisterRecordingClass();
    HWND hwnd = MakeWindow(u"k");
    MSG msg;
    keybd_event(VK_CONTROL, 0, 0, 0);
    EXPECT_TRUE(GetAsyncKeyState(VK_CONTROL) & 0x8000) << "the asynchronous state changes at once";
    EXPECT_FALSE(GetKeyState(VK_CONTROL) & 0x8000);
    GetMessageW(&msg, nullptr, 0, 0);
    afterFirst = GetKeyState(VK_CONTROL);
    PostMessageW(hwnd, WM_USER, 0, 0);
    GetMessageW(&msg, nullptr, 0, 0);
    afterSecond = GetKeyState(VK_CONTROL);
    keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
    GetMessageW(&msg, nullptr, 0, 0);
    afterUp = GetKeyState(VK_CONTROL);
    return 0;
  });
  device.settle();
  EXPECT_TRUE(afterFirst & 0x8000);
  EXPECT_TRUE(afterSecond & 0x8000);
  EXPECT_FALSE(afterUp & 0x8000);
}

TEST_F(InputPaths, TypedCharactersLeaveTheKeyStateAlone) {
  // 我 is U+6211: its low byte is the code of Control (0x11). Typing it presses and
  // releases nothing, with Control held or not.
  std::vector<std::pair<std::string, bool>> seen;
  Behaviour() = [&](HWND, UINT msg, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_CHAR) seen.emplace_back(std::to_string(wParam), (GetKeyState(VK_CONTROL) & 0x8000) != 0);
    return std::nullopt;
  };
  device.launch(u"\\Windows\\t.exe", [&] {
    RegisterRecordingClass();
    MakeWindow(u"t");
    RunMessageLoop();
    return 0;
  });
  device.settle();
  auto& input = sim::Input::get();
  input.key(VK_CONTROL, false);
  input.character(u'我');
  input.character(u'我');
  device.settle();
  input.key(VK_CONTROL, true);
  input.character(u'我');
  device.settle();
  EXPECT_EQ(seen, (std::vector<std::pair<std::string, bool>>{{"25105", true}, {"25105", true}, {"25105", false}}));
  EXPECT_FALSE(input.asyncKeyDown(VK_CONTROL));
}

TEST_F(InputPaths, TapsReachTheDeepestEnabledVisibleWindowWithClientPointsAndControlState) {
  HWND main = nullptr, panel = nullptr, button = nullptr, disabled = nullptr, other = nullptr;
  Behaviour() = [](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
    if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) Log().back() = Describe(hwnd, msg, wParam, lParam);
    if (msg == WM_LBUTTONDOWN && sim::Input::holding()) Log().push_back("hold");
    return std::nullopt;
  };
  device.launch(u"\\Windows\\main.exe", [&] {
    RegisterRecordingClass(CS_DBLCLKS, 0, u"Dbl");
    RegisterRecordingClass();
    main = MakeWindow(u"main");
    panel = MakeWindow(u"panel", main, WS_VISIBLE, 1, RECT{0, 0, 240, 100});
    button = MakeWindow(u"button", panel, WS_VISIBLE, 2, RECT{10, 10, 60, 30}, u"Dbl");
    disabled = MakeWindow(u"off", panel, WS_VISIBLE | WS_DISABLED, 3, RECT{100, 10, 150, 30});
    RunMessageLoop();
    return 0;
  });
  device.launch(u"\\Windows\\other.exe", [&] {
    RegisterRecordingClass();
    other = MakeWindow(u"other", nullptr, WS_VISIBLE, 0, RECT{0, 200, 240, 294});
    RunMessageLoop();
    return 0;
  });
  device.settle();
  auto& input = sim::Input::get();
  auto taps = [&](auto action) {
    Log().clear();
    action();
    device.settle();
    Strings mouse;
    for (const auto& e : Log())
      if (e.find("BUTTON") != std::string::npos || e == "hold") mouse.push_back(e);
    return mouse;
  };
  ASSERT_EQ(GetForegroundWindow(), other);
  EXPECT_EQ(taps([&] { input.tap(POINT{15, 26 + 12}); }),
            (Strings{"button:LBUTTONDOWN 5,2", "button:LBUTTONUP 5,2"}));
  EXPECT_EQ(GetForegroundWindow(), main) << "tapping an inactive window brings it forward";
  keybd_event(VK_CONTROL, 0, 0, 0);
  EXPECT_EQ(taps([&] { input.tap(POINT{110, 26 + 12}); }),
            (Strings{"panel:LBUTTONDOWN 110,12 ctrl", "panel:LBUTTONUP 110,12 ctrl"}))
      << "a disabled child lets its parent take the tap";
  keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
  EXPECT_EQ(taps([&] { input.doubleTapWindow(button, POINT{1, 1}); }),
            (Strings{"button:LBUTTONDOWN 1,1", "button:LBUTTONUP 1,1", "button:LBUTTONDBLCLK 1,1",
                     "button:LBUTTONUP 1,1"}));
  EXPECT_EQ(taps([&] { input.doubleTapWindow(panel, POINT{200, 50}); }),
            (Strings{"panel:LBUTTONDOWN 200,50", "panel:LBUTTONUP 200,50", "panel:LBUTTONDOWN 200,50",
                     "panel:LBUTTONUP 200,50"}))
      << "without CS_DBLCLKS a double tap is two taps";
  EXPECT_EQ(taps([&] { input.holdWindow(main, POINT{20, 15}); }),
            (Strings{"button:LBUTTONDOWN 10,5", "hold", "button:LBUTTONUP 10,5"}));
  EXPECT_EQ(taps([&] { input.tapWindow(main, POINT{20, 15}); }),
            (Strings{"button:LBUTTONDOWN 10,5", "button:LBUTTONUP 10,5"}))
      << "a plain tap after a hold is no hold";
  // The gestures at a screen point go to the window there, in its client points.
  EXPECT_EQ(taps([&] { input.doubleTap(POINT{15, 26 + 12}); }),
            (Strings{"button:LBUTTONDOWN 5,2", "button:LBUTTONUP 5,2", "button:LBUTTONDBLCLK 5,2",
                     "button:LBUTTONUP 5,2"}));
  EXPECT_EQ(taps([&] { input.hold(POINT{30, 26 + 60}); }),
            (Strings{"panel:LBUTTONDOWN 30,60", "hold", "panel:LBUTTONUP 30,60"}));
  EXPECT_FALSE(input.doubleTap(POINT{-5, 10})) << "no window there";
  EXPECT_FALSE(input.hold(POINT{-5, 10}));
}

TEST_F(InputPaths, KeysFollowTheFocusAtTheMomentTheyAreTaken) {
  HWND first = nullptr, second = nullptr;
  Behaviour() = [&](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
    if (msg == WM_KEYDOWN) Log().back() = Describe(hwnd, msg, wParam, lParam);
    if (msg == WM_KEYDOWN && wParam == VK_TAB) SetFocus(second);
    return std::nullopt;
  };
  device.launch(u"\\Windows\\f.exe", [&] {
    RegisterRecordingClass();
    HWND main = MakeWindow(u"main");
    first = MakeWindow(u"first", main, WS_VISIBLE, 1, RECT{0, 0, 10, 10});
    second = MakeWindow(u"second", main, WS_VISIBLE, 2, RECT{0, 20, 10, 30});
    SetFocus(first);
    RunMessageLoop();
    return 0;
  });
  device.settle();
  Log().clear();
  keybd_event(VK_TAB, 0, 0, 0);
  keybd_event('X', 0, 0, 0);
  device.settle();
  Strings keys;
  for (const auto& e : Log())
    if (e.find("KEYDOWN") != std::string::npos || e.find("FOCUS") != std::string::npos) keys.push_back(e);
  EXPECT_EQ(keys, (Strings{"first:KEYDOWN 9", "first:KILLFOCUS", "second:SETFOCUS", "second:KEYDOWN 88"}));
}

// A program disabling another program's window (its modal dialog's owner) takes the
// focus from the child that had it, on that window's own thread: keys no longer
// reach the disabled window, and its child cannot take the focus back.
TEST_F(InputPaths, AWindowDisabledFromAnotherThreadLosesTheFocusInsideIt) {
  HWND main = nullptr, child = nullptr, focusAfter = reinterpret_cast<HWND>(1);
  BOOL refocused = TRUE;
  device.launch(u"\\Windows\\owner.exe", [&] {
    RegisterRecordingClass();
    main = MakeWindow(u"main");
    child = MakeWindow(u"child", main, WS_VISIBLE, 1, RECT{0, 0, 10, 10});
    SetFocus(child);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      if (msg.message == WM_APP) {
        focusAfter = GetFocus();
        SetFocus(child);
        refocused = GetFocus() == child;
      }
      DispatchMessageW(&msg);
    }
    return 0;
  });
  device.settle();
  Log().clear();
  device.launch(u"\\Windows\\dialog.exe", [&] {
    EnableWindow(main, FALSE);
    PostMessageW(main, WM_APP, 0, 0);
    return 0;
  });
  device.settle();
  EXPECT_EQ(focusAfter, nullptr);
  EXPECT_FALSE(refocused);
  Strings focus;
  for (const auto& e : Log())
    if (e.find("FOCUS") != std::string::npos) focus.push_back(e);
  EXPECT_EQ(focus, Strings{"child:KILLFOCUS"});
}

}  // namespace
