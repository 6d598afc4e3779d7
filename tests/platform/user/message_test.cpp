#include <gtest/gtest.h>

#include "kernel/handles.h"
#include "window_test_support.h"

using namespace test_support;
using Strings = std::vector<std::string>;

namespace {

class Messages : public ::testing::Test {
 protected:
  void SetUp() override { ResetRecording(); }
  void TearDown() override { ResetRecording(); }

  // A program with one window and a message loop; gives the window once it exists.
  HWND startWindowProgram(const char16_t* path, const char16_t* title) {
    HWND hwnd = nullptr;
    device.launch(path, [&hwnd, title] {
      RegisterRecordingClass();
      hwnd = MakeWindow(title);
      RunMessageLoop();
      return 0;
    });
    device.settle();
    Log().clear();
    return hwnd;
  }

  TestDevice device;
};

TEST_F(Messages, ASentMessageReachesAThreadInsideANestedLoop) {
  Behaviour() = [](HWND hwnd, UINT msg, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_USER) {
      Log().push_back("nested:begin");
      MSG m;
      while (GetMessageW(&m, nullptr, 0, 0) > 0 && m.message != WM_USER + 2) DispatchMessageW(&m);
      Log().push_back("nested:end");
      return 0;
    }
    if (msg == WM_USER + 1) {
      Log().push_back(InSendMessage() ? "in-send" : "not-in-send");
      return static_cast<LRESULT>(wParam * 2);
    }
    return std::nullopt;
  };
  HWND a = startWindowProgram(u"\\Windows\\a.exe", u"a");
  PostMessageW(a, WM_USER, 0, 0);
  device.settle();
  device.launch(u"\\Windows\\b.exe", [a] {
    LRESULT r = SendMessageW(a, WM_USER + 1, 5, 0);
    Log().push_back("b:got " + std::to_string(r));
    PostMessageW(a, WM_USER + 2, 0, 0);
    return 0;
  });
  device.settle();
  EXPECT_EQ(Log(), (Strings{"a:USER", "nested:begin", "a:USER+1", "in-send", "b:got 10", "nested:end"}));
}

TEST_F(Messages, ABlockedSenderStillAnswersWhatIsSentToIt) {
  HWND b = nullptr;
  Behaviour() = [&b](HWND hwnd, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_USER && NameOf(hwnd) == "a") {
      LRESULT back = SendMessageW(b, WM_USER + 1, 0, 0);
      Log().push_back("a:got back " + std::to_string(back));
      return 7;
    }
    if (msg == WM_USER + 1) return 3;
    return std::nullopt;
  };
  HWND a = startWindowProgram(u"\\Windows\\a.exe", u"a");
  device.launch(u"\\Windows\\b.exe", [&] {
    RegisterRecordingClass();
    b = MakeWindow(u"b");
    Log().clear();
    LRESULT r = SendMessageW(a, WM_USER, 0, 0);
    Log().push_back("b:got " + std::to_string(r));
    return 0;
  });
  device.settle();
  // b's window lay over a's: when it goes, a paints what it uncovered.
  EXPECT_EQ(Log(), (Strings{"a:USER", "b:USER+1", "a:got back 3", "b:got 7", "b:DESTROY", "b:NCDESTROY", "a:PAINT",
                            "a:ERASEBKGND"}))
      << "b's window goes when its thread ends";
}

TEST_F(Messages, GetMessageTakesSentThenPostedThenInputThenTimerThenQuit) {
  HWND a = nullptr;
  bool returnedZeroForQuit = false;
  device.launch(u"\\Windows\\a.exe", [&] {
    RegisterRecordingClass();
    a = MakeWindow(u"a");
    Log().clear();
    SetTimer(a, 1, 10, nullptr);
    PostQuitMessage(3);
    keybd_event('K', 0, 0, 0);
    PostMessageW(a, WM_USER, 0, 0);
    Sleep(50);  // meanwhile the other program sends, and the timer comes due
    MSG msg;
    BOOL got;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0) DispatchMessageW(&msg);
    returnedZeroForQuit = got == 0 && msg.message == WM_QUIT && msg.wParam == 3;
    return 0;
  });
  device.launch(u"\\Windows\\b.exe", [&] {
    SendMessageW(a, WM_USER + 1, 0, 0);
    return 0;
  });
  device.settle();
  // The new window has everything to paint: WM_PAINT comes when nothing sent,
  // posted or typed waits, and before the due timer.
  EXPECT_EQ(Log(), (Strings{"a:USER+1", "a:USER", "a:KEYDOWN", "a:PAINT", "a:ERASEBKGND", "a:TIMER", "a:DESTROY",
                            "a:NCDESTROY"}));
  EXPECT_TRUE(returnedZeroForQuit);
}

TEST_F(Messages, SendingToAWindowWhoseThreadEndsGivesZero) {
  Behaviour() = [](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_USER) return 77;
    return std::nullopt;
  };
  HWND a = nullptr;
  device.launch(u"\\Windows\\a.exe", [&] {
    RegisterRecordingClass();
    a = MakeWindow(u"a");
    Sleep(100);  // never pulls messages, then ends
    return 0;
  });
  LRESULT result = -1;
  bool senderEnded = false;
  device.launch(u"\\Windows\\b.exe", [&] {
    result = SendMessageW(a, WM_USER, 0, 0);
    senderEnded = true;
    return 0;
  });
  device.settle();
  EXPECT_TRUE(senderEnded);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(std::count(Log().begin(), Log().end(), "a:USER"), 0);
}

TEST_F(Messages, PeekMessageHonoursRemovalAndFilters) {
  device.launch(u"\\Windows\\a.exe", [&] {
    RegisterRecordingClass();
    // Hidden windows: nothing to paint comes between the posted messages.
    HWND a = MakeWindow(u"a", nullptr, 0);
    HWND b = MakeWindow(u"b", nullptr, 0);
    PostMessageW(a, WM_USER, 1, 0);
    PostMessageW(b, WM_USER + 1, 2, 0);
    PostMessageW(nullptr, WM_APP, 3, 0);
    MSG msg{};
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 1u);
    EXPECT_TRUE(PeekMessageW(&msg, b, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 2u) << "a window filter skips other windows' messages";
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_APP, WM_APP, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 1u);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    return 0;
  });
  device.settle();
}

// A second program replaces a window's procedure, passes every message on, and puts
// the original back when the window is destroyed. It lives on meanwhile: its
// procedure is its code.
WNDPROC g_previous = nullptr;
DWORD g_hookThread = 0;

LRESULT CALLBACK HookProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (Recorded(msg)) Log().push_back("hook:" + MessageName(msg));
  g_hookThread = GetCurrentThreadId();
  WNDPROC next = g_previous;
  if (msg == WM_DESTROY) {
    SetWindowLongW(hwnd, GWL_WNDPROC, reinterpret_cast<LONG>(g_previous));
    g_previous = nullptr;
  }
  return CallWindowProcW(next, hwnd, msg, wParam, lParam);
}

TEST_F(Messages, AnotherProgramsReplacementProcedureRunsOnTheWindowsThread) {
  g_previous = nullptr;
  g_hookThread = 0;
  HWND fx = startWindowProgram(u"\\Windows\\fx.exe", u"fx");
  const DWORD windowThread = GetWindowThreadProcessId(fx, nullptr);
  device.launch(u"\\Windows\\companion.exe", [fx] {
    g_previous = reinterpret_cast<WNDPROC>(GetWindowLongW(fx, GWL_WNDPROC));
    SetWindowLongW(fx, GWL_WNDPROC, reinterpret_cast<LONG>(&HookProc));
    Sleep(INFINITE);
    return 0;
  });
  device.settle();
  Log().clear();
  LRESULT length = -1;
  device.launch(u"\\Windows\\other.exe", [fx, &length] {
    length = SendMessageW(fx, WM_GETTEXTLENGTH, 0, 0);
    PostMessageW(fx, WM_CLOSE, 0, 0);
    return 0;
  });
  device.settle();
  EXPECT_EQ(length, 2) << "the result comes back through the replacement";
  EXPECT_EQ(g_hookThread, windowThread);
  EXPECT_EQ(g_previous, nullptr);
  EXPECT_EQ(Log(), (Strings{"hook:GETTEXTLENGTH", "fx:GETTEXTLENGTH", "hook:CLOSE", "fx:CLOSE", "hook:DESTROY", "fx:DESTROY",
                            "fx:NCDESTROY"}));
}

WNDPROC g_chainNext = nullptr;

LRESULT CALLBACK ChainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(g_chainNext, hwnd, msg, wParam, lParam);
}

// On the device a procedure of an ended program is code that is gone: a message to
// it is reported once as misuse and reaches nothing, and so does a call passed on
// to it down a chain. A program that puts the original back before it ends leaves
// the window whole.
TEST_F(Messages, AProcedureLeftBehindByAnEndedProgramIsMisuse) {
  HWND fx = startWindowProgram(u"\\Windows\\fx.exe", u"fx");
  HWND kept = startWindowProgram(u"\\Windows\\kept.exe", u"kept");
  HWND chained = startWindowProgram(u"\\Windows\\chained.exe", u"chained");
  device.launch(u"\\Windows\\hooker.exe", [=] {
    g_previous = reinterpret_cast<WNDPROC>(GetWindowLongW(fx, GWL_WNDPROC));
    SetWindowLongW(fx, GWL_WNDPROC, reinterpret_cast<LONG>(&HookProc));
    SetWindowLongW(chained, GWL_WNDPROC, reinterpret_cast<LONG>(&HookProc));
    LONG original = SetWindowLongW(kept, GWL_WNDPROC, reinterpret_cast<LONG>(&HookProc));
    SetWindowLongW(kept, GWL_WNDPROC, original);
    return 0;
  });
  device.settle();
  device.launch(u"\\Windows\\lasting.exe", [=] {
    g_chainNext = reinterpret_cast<WNDPROC>(SetWindowLongW(chained, GWL_WNDPROC, reinterpret_cast<LONG>(&ChainProc)));
    Sleep(INFINITE);
    return 0;
  });
  device.settle();
  Log().clear();
  test_support::ExpectMisuse gone("window procedure");
  test_support::ExpectMisuse passedOn("CallWindowProcW");
  LRESULT lengths[4] = {-1, -1, -1, -1};
  device.launch(u"\\Windows\\other.exe", [&] {
    lengths[0] = SendMessageW(fx, WM_GETTEXTLENGTH, 0, 0);
    lengths[1] = SendMessageW(fx, WM_GETTEXTLENGTH, 0, 0);
    lengths[2] = SendMessageW(kept, WM_GETTEXTLENGTH, 0, 0);
    lengths[3] = SendMessageW(chained, WM_GETTEXTLENGTH, 0, 0);
    return 0;
  });
  device.settle();
  EXPECT_EQ(lengths[0], 0);
  EXPECT_EQ(lengths[1], 0);
  EXPECT_EQ(lengths[2], 4) << "the original procedure is the window's own program's";
  EXPECT_EQ(lengths[3], 0);
  EXPECT_EQ(Log(), Strings{"kept:GETTEXTLENGTH"}) << "the hook never ran";
  EXPECT_EQ(passedOn.faults().at(0).handle, sim::HandleText(chained));
  ASSERT_EQ(gone.faults().size(), 1u);
  const sim::ProgramFault& fault = gone.faults()[0];
  EXPECT_EQ(fault.program, "\\Windows\\fx.exe") << "the window's thread makes the call";
  EXPECT_EQ(fault.handle, sim::HandleText(fx));
  EXPECT_EQ(fault.problem, "message 0x000E to a procedure of ended \\Windows\\hooker.exe");
}

}  // namespace
