#include <gtest/gtest.h>

#include "window_test_support.h"

using namespace test_support;
using Strings = std::vector<std::string>;

namespace {

class Timers : public ::testing::Test {
 protected:
  void SetUp() override { ResetRecording(); }
  void TearDown() override { ResetRecording(); }
  TestDevice device;
};

// A one-shot timer: killed on its first tick, as programs do.
std::optional<LRESULT> OneShot(HWND hwnd, UINT msg, WPARAM wParam, LPARAM) {
  if (msg == WM_TIMER) {
    KillTimer(hwnd, wParam);
    Log().push_back("tick " + std::to_string(wParam) + " at " + std::to_string(GetTickCount()));
  }
  return std::nullopt;
}

TEST_F(Timers, AOneShotTimerRestartedWithinItsPeriodFiresOnceAfterTheRestart) {
  Behaviour() = OneShot;
  HWND hwnd = nullptr;
  device.launch(u"\\Windows\\t.exe", [&] {
    RegisterRecordingClass();
    hwnd = MakeWindow(u"t");
    RunMessageLoop();
    return 0;
  });
  device.settle();
  Log().clear();
  const DWORD start = static_cast<DWORD>(device->clock().now());
  int commands = 0;
  auto restart = [&] {
    std::u16string path = u"\\Windows\\cmd" + std::u16string(1, char16_t(u'0' + commands++)) + u".exe";
    device.launch(path, [hwnd] {
      SendMessageW(hwnd, WM_USER, 0, 0);
      return 0;
    });
  };
  Behaviour() = [](HWND h, UINT msg, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
    if (msg == WM_USER) SetTimer(h, 102, 200, nullptr);
    return OneShot(h, msg, w, l);
  };
  restart();
  device->scheduler().runUntil(start + 150);
  restart();
  device.settle();
  Strings ticks;
  for (const auto& entry : Log())
    if (entry.rfind("tick", 0) == 0) ticks.push_back(entry);
  EXPECT_EQ(ticks, Strings{"tick 102 at " + std::to_string(start + 350)});
}

TEST_F(Timers, KillTimerRemovesATimerThatIsAlreadyDue) {
  int ticks = 0;
  Behaviour() = [&](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_TIMER) ++ticks;
    return std::nullopt;
  };
  device.launch(u"\\Windows\\t.exe", [&] {
    RegisterRecordingClass();
    HWND hwnd = MakeWindow(u"t", nullptr, 0);  // hidden: no WM_PAINT comes before the timer
    SetTimer(hwnd, 1, 100, nullptr);
    SetTimer(hwnd, 2, 400, nullptr);
    Sleep(300);  // timer 1 is due now, nothing pulled it
    EXPECT_TRUE(KillTimer(hwnd, 1));
    EXPECT_FALSE(KillTimer(hwnd, 1));
    MSG msg;
    GetMessageW(&msg, nullptr, 0, 0);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(msg.wParam, 2u) << "the killed timer never arrives";
    EXPECT_EQ(GetTickCount(), 400u);
    DispatchMessageW(&msg);
    return 0;
  });
  device.settle();
  EXPECT_EQ(ticks, 1);
}

void CALLBACK CountingTimerProc(HWND, UINT, UINT_PTR id, DWORD time) {
  Log().push_back("proc " + std::to_string(id) + " at " + std::to_string(time));
}

TEST_F(Timers, TimersRepeatComeOnlyWhenIdleCallTheirProcedureAndDieWithTheWindow) {
  device.launch(u"\\Windows\\t.exe", [&] {
    RegisterRecordingClass();
    HWND hwnd = MakeWindow(u"t", nullptr, 0);  // hidden: no WM_PAINT comes before the timers
    Log().clear();
    SetTimer(hwnd, 5, 100, &CountingTimerProc);
    UINT_PTR threadTimer = SetTimer(nullptr, 0, 250, nullptr);
    EXPECT_NE(threadTimer, 0u);
    MSG msg;
    for (int i = 0; i < 2; ++i) {
      GetMessageW(&msg, nullptr, 0, 0);
      DispatchMessageW(&msg);
    }
    GetMessageW(&msg, nullptr, 0, 0);
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_EQ(msg.wParam, threadTimer);
    EXPECT_EQ(msg.time, 250u);
    KillTimer(nullptr, threadTimer);
    // A posted message waiting beats a due timer.
    Sleep(500);
    PostMessageW(hwnd, WM_USER, 0, 0);
    GetMessageW(&msg, nullptr, 0, 0);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    DestroyWindow(hwnd);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) << "the window's due timer went with it";
    return 0;
  });
  device.settle();
  EXPECT_EQ(Log(), (Strings{"proc 5 at 100", "proc 5 at 200", "t:DESTROY", "t:NCDESTROY"}))
      << Log().size();
}

}  // namespace
