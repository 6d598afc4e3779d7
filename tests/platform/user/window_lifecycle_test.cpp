#include <gtest/gtest.h>

#include "window_test_support.h"

using namespace test_support;
using Strings = std::vector<std::string>;

namespace {

class WindowLifecycle : public ::testing::Test {
 protected:
  void SetUp() override { ResetRecording(); }
  void TearDown() override { ResetRecording(); }
  TestDevice device;
};

TEST_F(WindowLifecycle, CreationAndDestructionFollowTheDevicesMessageOrder) {
  CREATESTRUCTW seen{};
  std::u16string seenName;
  RECT childScreen{}, childClient{};
  bool stillUsableInDestroy = false;
  Behaviour() = [&](HWND hwnd, UINT msg, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
    if (msg == WM_CREATE && NameOf(hwnd) == "child") {
      seen = *reinterpret_cast<CREATESTRUCTW*>(lParam);
      seenName = seen.lpszName;
    }
    if (msg == WM_DESTROY && NameOf(hwnd) == "main")
      stillUsableInDestroy = GetWindow(hwnd, GW_CHILD) != nullptr && GetWindowLongW(hwnd, GWL_ID) == 0;
    return std::nullopt;
  };
  device.launch(u"\\Windows\\lifecycle.exe", [&] {
    RegisterRecordingClass();
    HWND main = MakeWindow(u"main", nullptr, WS_VISIBLE, 0, RECT{0, 26, 240, 294});
    HWND child = MakeWindow(u"child", main, WS_VISIBLE, 42, RECT{10, 20, 110, 60});
    HWND grandchild = MakeWindow(u"grandchild", child, WS_VISIBLE, 7, RECT{1, 2, 11, 12});
    GetWindowRect(child, &childScreen);
    GetClientRect(child, &childClient);
    EXPECT_EQ(GetWindowLongW(child, GWL_ID), 42);
    EXPECT_EQ(GetParent(grandchild), child);
    Log().clear();
    EXPECT_TRUE(DestroyWindow(main));
    EXPECT_FALSE(IsWindow(main));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(IsWindow(grandchild));
    return 0;
  });
  device.settle();
  EXPECT_EQ(seen.x, 10);
  EXPECT_EQ(seen.cy, 40);
  EXPECT_EQ(seenName, u"child");
  EXPECT_TRUE(seen.style & WS_CHILD);
  EXPECT_EQ(childScreen.left, 10);
  EXPECT_EQ(childScreen.top, 46) << "a child's position is relative to its parent's client area";
  EXPECT_EQ(childClient.right, 100);
  EXPECT_TRUE(stillUsableInDestroy);
  const Strings expected = {"main:DESTROY",         "child:DESTROY",     "grandchild:DESTROY",
                            "grandchild:NCDESTROY", "child:NCDESTROY",   "main:NCDESTROY"};
  Strings destruction;
  for (const auto& entry : Log())
    if (entry.find("DESTROY") != std::string::npos) destruction.push_back(entry);
  EXPECT_EQ(destruction, expected);
}

// A child destroyed on its own tells its parent first (WM_PARENTNOTIFY with
// WM_DESTROY, its id and handle), before its own WM_DESTROY; one made with
// WS_EX_NOPARENTNOTIFY does not, nor do children that go down with their parent
// (the program's end takes the main window last).
TEST_F(WindowLifecycle, AChildTellsItsParentBeforeItIsDestroyed) {
  WPARAM notifyWParam = 0;
  LPARAM notifyLParam = 0;
  Behaviour() = [&](HWND, UINT msg, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
    if (msg == WM_PARENTNOTIFY) {
      notifyWParam = wParam;
      notifyLParam = lParam;
    }
    return std::nullopt;
  };
  HWND child = nullptr;
  sim::StartFunction(*device, u"\\Windows\\lifecycle.exe", [&] {
    RegisterRecordingClass();
    HWND main = MakeWindow(u"main", nullptr, WS_VISIBLE, 0);
    child = MakeWindow(u"child", main, WS_VISIBLE, 42);
    HWND quiet = CreateWindowExW(WS_EX_NOPARENTNOTIFY, u"Recorder", u"quiet", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, main,
                                 nullptr, nullptr, nullptr);
    MakeWindow(u"inner", child, WS_VISIBLE, 7);
    Log().clear();
    DestroyWindow(child);
    DestroyWindow(quiet);
    return 0;
  });
  device.settle();
  const Strings expected = {"main:0x0210", "child:DESTROY", "inner:DESTROY", "inner:NCDESTROY", "child:NCDESTROY",
                            "quiet:DESTROY", "quiet:NCDESTROY", "main:DESTROY", "main:NCDESTROY"};
  EXPECT_EQ(Log(), expected);
  EXPECT_EQ(notifyWParam, MAKEWPARAM(WM_DESTROY, 42));
  EXPECT_EQ(reinterpret_cast<HWND>(notifyLParam), child);
}

// SetWindowLongW tells the window of a new style afterwards, with both styles.
TEST_F(WindowLifecycle, ChangingAStyleSendsStyleChanged) {
  STYLESTRUCT seen{};
  WPARAM which = 0;
  Behaviour() = [&](HWND, UINT msg, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
    if (msg == WM_STYLECHANGED) {
      seen = *reinterpret_cast<STYLESTRUCT*>(lParam);
      which = wParam;
    }
    return std::nullopt;
  };
  sim::StartFunction(*device, u"\\Windows\\lifecycle.exe", [&] {
    RegisterRecordingClass();
    HWND main = MakeWindow(u"main", nullptr, WS_VISIBLE, 0);
    EXPECT_EQ(SetWindowLongW(main, GWL_STYLE, WS_VISIBLE | WS_BORDER), static_cast<LONG>(WS_VISIBLE));
    EXPECT_EQ(GetWindowLongW(main, GWL_STYLE), static_cast<LONG>(WS_VISIBLE | WS_BORDER));
    return 0;
  });
  device.settle();
  EXPECT_EQ(static_cast<int>(which), GWL_STYLE);
  EXPECT_EQ(seen.styleOld, static_cast<DWORD>(WS_VISIBLE));
  EXPECT_EQ(seen.styleNew, static_cast<DWORD>(WS_VISIBLE | WS_BORDER));
}

TEST_F(WindowLifecycle, CreateFailingInWmCreateDestroysTheWindowAndGivesNull) {
  Behaviour() = [](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_CREATE) return -1;
    return std::nullopt;
  };
  HWND made = reinterpret_cast<HWND>(1);
  device.launch(u"\\Windows\\fail.exe", [&] {
    RegisterRecordingClass();
    made = MakeWindow(u"doomed");
    return 0;
  });
  device.settle();
  EXPECT_EQ(made, nullptr);
  EXPECT_EQ(Log(), (Strings{"doomed:NCCREATE", "doomed:CREATE", "doomed:DESTROY", "doomed:NCDESTROY"}));
  EXPECT_TRUE(sim::WindowSystem::get().topLevel().empty());
}

// As on the device, a window handle that is gone makes the call fail; it is not a
// misuse (another program's window may go at any time).
TEST_F(WindowLifecycle, DeadHandlesFailWithoutMisuseAndAreNeverReused) {
  std::vector<std::uintptr_t> handles;
  DWORD error = 0;
  LONG value = -1;
  device.launch(u"\\Windows\\stale.exe", [&] {
    RegisterRecordingClass();
    for (int i = 0; i < 3; ++i) {
      HWND hwnd = MakeWindow(u"w");
      handles.push_back(reinterpret_cast<std::uintptr_t>(hwnd));
      DestroyWindow(hwnd);
    }
    SetLastError(0);
    value = GetWindowLongW(reinterpret_cast<HWND>(handles.front()), GWL_STYLE);
    error = GetLastError();
    EXPECT_EQ(SendMessageW(reinterpret_cast<HWND>(handles.back()), WM_USER, 0, 0), 0);
    EXPECT_FALSE(DestroyWindow(reinterpret_cast<HWND>(handles.back())));
    return 0;
  });
  device.settle();
  EXPECT_EQ(value, 0);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  std::sort(handles.begin(), handles.end());
  EXPECT_EQ(std::unique(handles.begin(), handles.end()), handles.end());
  EXPECT_TRUE(device->faults().programFaults().empty());
}

TEST_F(WindowLifecycle, OnlyTheOwningThreadMayDestroyAWindow) {
  HWND hwnd = nullptr;
  device.launch(u"\\Windows\\owner.exe", [&] {
    RegisterRecordingClass();
    hwnd = MakeWindow(u"owned");
    RunMessageLoop();
    return 0;
  });
  device.settle();
  DWORD error = 0;
  device.launch(u"\\Windows\\intruder.exe", [&] {
    EXPECT_FALSE(DestroyWindow(hwnd));
    error = GetLastError();
    EXPECT_TRUE(IsWindow(hwnd));
    Log().clear();
    PostMessageW(hwnd, WM_CLOSE, 0, 0);  // the polite way: the owner destroys it
    return 0;
  });
  device.settle();
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(Log(), (Strings{"owned:CLOSE", "owned:DESTROY", "owned:NCDESTROY"}));
}

TEST_F(WindowLifecycle, AThreadThatEndsTakesItsWindowsAlong) {
  HWND hwnd = nullptr;
  sim::Process& process = device.launch(u"\\Windows\\leaver.exe", [&] {
    RegisterRecordingClass();
    hwnd = MakeWindow(u"left");
    MakeWindow(u"kid", hwnd, WS_VISIBLE, 1, RECT{0, 0, 10, 10});
    return 0;  // ends without destroying them
  });
  device.settle();
  EXPECT_TRUE(process.ended);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(Log().back(), "left:NCDESTROY");
  EXPECT_EQ(GetForegroundWindow(), nullptr);
}

// A window owned by a window of another thread goes with its owner, but is
// destroyed by its own thread, where its procedure always runs; a loop on that
// thread waiting on the window wakes and finds it gone.
TEST_F(WindowLifecycle, AnOwnedWindowOfAnotherThreadIsDestroyedOnItsOwnThread) {
  HWND owner = nullptr, owned = nullptr;
  DWORD ownedThread = 0, destroyedOn = 0;
  Behaviour() = [&](HWND hwnd, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_DESTROY && hwnd == owned) destroyedOn = GetCurrentThreadId();
    return std::nullopt;
  };
  sim::StartFunction(*device, u"\\Windows\\owner.exe", [&] {
    RegisterRecordingClass();
    owner = MakeWindow(u"owner");
    RunMessageLoop();
    return 0;
  });
  device.settle();
  sim::Process& other = sim::StartFunction(*device, u"\\Windows\\other.exe", [&] {
    RegisterRecordingClass();
    ownedThread = GetCurrentThreadId();
    owned = MakeWindow(u"owned", owner, WS_POPUP | WS_VISIBLE);
    MSG msg;
    while (IsWindow(owned) && GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
  });
  device.settle();
  ASSERT_TRUE(IsWindow(owned));
  sim::StartFunction(*device, u"\\Windows\\closer.exe", [&] { return PostMessageW(owner, WM_CLOSE, 0, 0) ? 0 : 1; });
  device.settle();
  EXPECT_FALSE(IsWindow(owner));
  EXPECT_FALSE(IsWindow(owned));
  EXPECT_EQ(destroyedOn, ownedThread);
  EXPECT_TRUE(other.ended) << "the loop waiting on the owned window ended";
  EXPECT_EQ(other.remains.windows, 0u);
}

TEST_F(WindowLifecycle, WindowExtraValuesKeepTheirOwnSlots) {
  device.launch(u"\\Windows\\extra.exe", [&] {
    RegisterRecordingClass(0, 12, u"Dialogish");
    HWND hwnd = MakeWindow(u"d", nullptr, WS_VISIBLE, 0, RECT{0, 26, 240, 294}, u"dialogish");
    SetWindowLongW(hwnd, DWL_MSGRESULT, 0x1111'2222'3333'4444L);
    SetWindowLongW(hwnd, DWL_DLGPROC, 5);
    EXPECT_EQ(SetWindowLongW(hwnd, DWL_USER, 6), 0);
    EXPECT_EQ(GetWindowLongW(hwnd, DWL_MSGRESULT), 0x1111'2222'3333'4444L) << "8-byte values must not overlap";
    EXPECT_EQ(GetWindowLongW(hwnd, DWL_DLGPROC), 5);
    EXPECT_EQ(GetWindowLongW(hwnd, DWL_USER), 6);
    SetLastError(0);
    EXPECT_EQ(GetWindowLongW(hwnd, 12), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
    EXPECT_EQ(SetWindowLongW(hwnd, GWL_USERDATA, 9), 0);
    EXPECT_EQ(GetWindowLongW(hwnd, GWL_USERDATA), 9);
    return 0;
  });
  device.settle();
}

TEST_F(WindowLifecycle, ClassesAreFoundIgnoringCaseAndStayPrivateToTheirProcess) {
  device.launch(u"\\Windows\\first.exe", [&] {
    RegisterRecordingClass(0, 0, u"Private");
    RegisterRecordingClass(CS_GLOBALCLASS, 0, u"Shared");
    EXPECT_EQ(RegisterClassW(nullptr), 0);
    WNDCLASSW again{};
    again.lpfnWndProc = RecordingProc;
    again.lpszClassName = u"PRIVATE";
    EXPECT_EQ(RegisterClassW(&again), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
    HWND hwnd = MakeWindow(u"p", nullptr, WS_VISIBLE, 0, RECT{0, 26, 240, 294}, u"pRiVaTe");
    EXPECT_NE(hwnd, nullptr);
    WCHAR name[4];
    EXPECT_EQ(GetClassNameW(hwnd, name, 4), 3) << "bounded copy";
    EXPECT_EQ(std::u16string(name), u"Pri");
    EXPECT_FALSE(UnregisterClassW(u"Private", nullptr)) << "a class with windows stays";
    Sleep(1000);  // still running while the second program looks
    return 0;
  });
  device->scheduler().runUntilIdle();
  device.launch(u"\\Windows\\second.exe", [&] {
    WNDCLASSW info{};
    EXPECT_FALSE(GetClassInfoW(nullptr, u"Private", &info));
    EXPECT_TRUE(GetClassInfoW(nullptr, u"SHARED", &info));
    EXPECT_EQ(info.lpfnWndProc, &RecordingProc);
    EXPECT_EQ(MakeWindow(u"x", nullptr, WS_VISIBLE, 0, RECT{0, 26, 240, 294}, u"Private"), nullptr);
    return 0;
  });
  device.settle();
  device.launch(u"\\Windows\\third.exe", [&] {
    WNDCLASSW info{};
    EXPECT_FALSE(GetClassInfoW(nullptr, u"Shared", &info)) << "a program's classes end with it";
    return 0;
  });
  device.settle();
}

TEST_F(WindowLifecycle, TreeAndZOrderQueries) {
  device.launch(u"\\Windows\\tree.exe", [&] {
    RegisterRecordingClass();
    HWND back = MakeWindow(u"back");
    HWND front = MakeWindow(u"front");
    HWND popup = MakeWindow(u"popup", back, WS_POPUP | WS_VISIBLE, 0, RECT{0, 290, 10, 294});
    EXPECT_EQ(GetWindow(popup, GW_OWNER), back) << "a top-level window made with a parent is owned by it";
    EXPECT_EQ(GetParent(popup), back);
    EXPECT_FALSE(IsChild(back, popup));
    EXPECT_EQ(GetWindow(front, GW_HWNDFIRST), popup);
    EXPECT_EQ(GetWindow(popup, GW_HWNDNEXT), front);
    EXPECT_EQ(GetWindow(front, GW_HWNDNEXT), back);
    EXPECT_EQ(GetWindow(back, GW_HWNDPREV), front);
    EXPECT_EQ(GetWindow(back, GW_HWNDLAST), back);

    HWND a = MakeWindow(u"a", back, WS_VISIBLE, 1, RECT{0, 0, 100, 100});
    HWND b = MakeWindow(u"b", back, WS_VISIBLE, 2, RECT{50, 50, 150, 150});
    HWND hidden = MakeWindow(u"h", back, 0, 3, RECT{0, 0, 240, 268});
    EXPECT_EQ(GetWindow(back, GW_CHILD), a) << "the first child created comes first";
    EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
    EXPECT_TRUE(IsChild(back, b));
    EXPECT_FALSE(IsWindowVisible(hidden));
    EXPECT_EQ(FindWindowW(u"recorder", u"back"), back);
    EXPECT_EQ(FindWindowW(nullptr, u"a"), nullptr) << "children are not top-level";
    EXPECT_EQ(FindWindowW(u"NoSuchClass", nullptr), nullptr);

    SetForegroundWindow(back);
    EXPECT_EQ(GetWindow(back, GW_HWNDFIRST), popup) << "owned windows stay above their owner";
    EXPECT_EQ(WindowFromPoint(POINT{60, 26 + 60}), a);
    EXPECT_EQ(WindowFromPoint(POINT{120, 26 + 120}), b);
    POINT p{5, 6};
    MapWindowPoints(b, a, &p, 1);
    EXPECT_EQ(p.x, 55);
    EXPECT_EQ(p.y, 56);
    POINT screen{120, 26 + 120};
    ScreenToClient(b, &screen);
    EXPECT_EQ(screen.x, 70);
    EXPECT_EQ(screen.y, 70);
    ClientToScreen(b, &screen);
    EXPECT_EQ(screen.y, 26 + 120) << "the two conversions undo each other";
    EXPECT_EQ(ChildWindowFromPoint(back, POINT{200, 200}), hidden) << "hidden children count here";
    MoveWindow(b, 10, 10, 30, 40, TRUE);
    RECT r;
    GetWindowRect(b, &r);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.bottom, 26 + 50);
    return 0;
  });
  device.settle();
}

TEST_F(WindowLifecycle, ScreenAndWorkAreaFollowTheDeviceAndTheInputPanel) {
  RECT work{};
  device.launch(u"\\Windows\\screen.exe", [&] {
    RegisterRecordingClass();
    MakeWindow(u"top");
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 240);
    Log().clear();
    sim::WindowSystem::get().setInputPanel(true);
    return 0;
  });
  device.settle();
  EXPECT_EQ(work.top, 26);
  EXPECT_EQ(work.bottom, 320 - 26);
  EXPECT_EQ(Log(), (Strings{"top:SETTINGCHANGE", "top:DESTROY", "top:NCDESTROY"}));
  EXPECT_EQ(sim::WindowSystem::get().workArea().bottom, 320 - 26 - 80);
}

TEST_F(WindowLifecycle, ClosingAnOwnedWindowHandsTheForegroundBackToItsOwner) {
  HWND owner = nullptr, popup = nullptr;
  device.launch(u"\\Windows\\modal.exe", [&] {
    RegisterRecordingClass();
    owner = MakeWindow(u"owner");
    HWND field = MakeWindow(u"field", owner, WS_VISIBLE, 5, RECT{0, 0, 50, 20});
    EnableWindow(owner, FALSE);
    popup = MakeWindow(u"popup", owner, WS_POPUP | WS_VISIBLE, 0, RECT{20, 60, 220, 200});
    EXPECT_EQ(GetForegroundWindow(), popup);
    EXPECT_EQ(GetFocus(), popup);
    EXPECT_EQ(SetFocus(field), nullptr) << "a disabled window's child takes no focus";
    Log().clear();
    EnableWindow(owner, TRUE);
    DestroyWindow(popup);
    EXPECT_EQ(GetForegroundWindow(), owner);
    EXPECT_EQ(GetActiveWindow(), owner);
    EXPECT_EQ(GetFocus(), owner);
    return 0;
  });
  device.settle();
  Strings head(Log().begin(), Log().begin() + std::min<std::size_t>(Log().size(), 6));
  EXPECT_EQ(head, (Strings{"owner:ENABLE", "popup:DESTROY", "popup:NCDESTROY", "owner:ACTIVATE", "owner:SETFOCUS",
                           "owner:DESTROY"}));
}

TEST(WindowScreen, VgaDoublesBarsAndPanel) {
  TestDevice vga(480, 640);
  auto& windows = sim::WindowSystem::get();
  EXPECT_EQ(windows.workArea().top, 52);
  EXPECT_EQ(windows.workArea().bottom, 640 - 52);
  EXPECT_EQ(windows.inputPanel().height, 160);
}

}  // namespace
