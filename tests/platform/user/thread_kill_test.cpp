// A process ended while its thread is deep in sent messages and a modal loop: its
// frames unwind, and the other side of the conversation returns normally.
#include <gtest/gtest.h>

#include <exception>
#include <vector>

#include "kernel/process.h"
#include "window_test_support.h"

using namespace test_support;

namespace {

constexpr WPARAM kDeepest = 20;  // even: the first program's window gets it
constexpr UINT kAnswer = WM_USER + 1;

struct Conversation {
  HWND windows[2] = {};
  // Per window: frames of its procedure that returned, and that were unwound.
  int returned[2] = {};
  int unwound[2] = {};
};
Conversation* talk = nullptr;

// Counts how a frame of the procedure is left: by returning or by unwinding.
struct Frame {
  int side;
  ~Frame() { ++(std::uncaught_exceptions() > 0 ? talk->unwound : talk->returned)[side]; }
};

// WM_USER(depth): sends depth + 1 to the other window, so the two threads nest
// sent messages in each other; the deepest one runs a modal loop that never ends.
LRESULT CALLBACK TalkProc(HWND hwnd, UINT msg, WPARAM depth, LPARAM lParam) {
  if (msg == kAnswer) return 42;
  if (msg != WM_USER) return DefWindowProcW(hwnd, msg, depth, lParam);
  Frame frame{hwnd == talk->windows[0] ? 0 : 1};
  if (depth == kDeepest) {
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) DispatchMessageW(&m);
    return 0;
  }
  return SendMessageW(talk->windows[1 - frame.side], WM_USER, depth + 1, 0) + 1;
}

int TalkingProgram(int side) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = TalkProc;
  wc.lpszClassName = u"Talk";
  RegisterClassW(&wc);
  talk->windows[side] =
      CreateWindowExW(0, u"Talk", u"talk", WS_VISIBLE, 0, 26, 240, 268, nullptr, nullptr, nullptr, nullptr);
  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) DispatchMessageW(&m);
  return 0;
}

TEST(ThreadEnd, AProcessKilledDeepInSentMessagesAndAModalLoopUnwindsAndItsPeerGoesOn) {
  Conversation conversation;
  talk = &conversation;
  {
    TestDevice device;
    sim::Process& first = sim::StartFunction(*device, u"\\Windows\\first.exe", [] { return TalkingProgram(0); });
    sim::Process& second = sim::StartFunction(*device, u"\\Windows\\second.exe", [] { return TalkingProgram(1); });
    device.settle();
    PostMessageW(conversation.windows[0], WM_USER, 0, 0);
    device.settle();
    EXPECT_EQ(conversation.returned[0] + conversation.returned[1], 0) << "everyone waits deep in the talk";

    device->service<sim::ProcessTable>().terminate(first, 7);
    device.settle();
    EXPECT_TRUE(first.ended);
    EXPECT_EQ(first.exitCode, 7u);
    EXPECT_EQ(conversation.unwound[0], static_cast<int>(kDeepest / 2 + 1));
    EXPECT_EQ(conversation.returned[0], 0);
    EXPECT_EQ(conversation.returned[1], static_cast<int>(kDeepest / 2)) << "the peer's sends return";
    EXPECT_EQ(conversation.unwound[1], 0);
    EXPECT_FALSE(second.ended);
    EXPECT_EQ(SendMessageW(conversation.windows[1], kAnswer, 0, 0), 42) << "the peer still answers";
    EXPECT_EQ((*device).scheduler().stackCount(), 1u);
  }
  talk = nullptr;
}

}  // namespace
