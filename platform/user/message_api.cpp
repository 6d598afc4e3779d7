// The message API: sending, posting, pulling and dispatching.
#include <windows.h>

#include "kernel/device.h"
#include "kernel/scheduler.h"
#include "user/message_queue.h"
#include "user/window.h"

namespace {

using sim::MessageQueue;
using sim::MessageQueues;
using sim::WindowSystem;

constexpr DWORD kErrorInvalidThreadId = 1444;

DWORD deviceTime() { return static_cast<DWORD>(sim::Device::current().clock().now()); }

MSG makeMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, const MessageQueue* sender) {
  return MSG{hwnd, message, wParam, lParam, deviceTime(), sender ? sender->lastMessagePos : POINT{}};
}

bool validFilter(HWND filter, const char* operation) {
  return !filter || WindowSystem::get().checked(filter, operation);
}

void noteRetrieved(MessageQueue& queue, const MSG& msg) {
  queue.lastMessageTime = msg.time;
  queue.lastMessagePos = msg.pt;
}

// The character a key makes, given the thread's key state; 0 for none.
WCHAR characterOf(const MessageQueue& queue, WPARAM vk) {
  const bool control = queue.keyState(VK_CONTROL) & 0x8000;
  const bool shift = queue.keyState(VK_SHIFT) & 0x8000;
  if (vk >= 'A' && vk <= 'Z') {
    if (control) return static_cast<WCHAR>(vk - 'A' + 1);
    return static_cast<WCHAR>(shift ? vk : vk - 'A' + 'a');
  }
  if (vk >= '0' && vk <= '9' && !control) return static_cast<WCHAR>(vk);
  switch (vk) {
    case VK_SPACE: return u' ';
    case VK_RETURN: return u'\r';
    case VK_BACK: return 8;
    case VK_TAB: return u'\t';
    case VK_ESCAPE: return 27;
    default: return 0;
  }
}

}  // namespace

LRESULT SendMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (hwnd == HWND_BROADCAST) {
    std::vector<HWND> targets;
    for (sim::Window* w : WindowSystem::get().topLevel()) targets.push_back(w->handle);
    for (HWND target : targets)
      if (WindowSystem::get().find(target)) sim::SendMessageToWindow(target, msg, wParam, lParam);
    return 0;
  }
  return sim::SendMessageToWindow(hwnd, msg, wParam, lParam);
}

BOOL PostMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (sim::FailsByInjection("PostMessageW")) return FALSE;
  auto& queues = MessageQueues::get();
  MessageQueue* self = queues.current();
  if (!hwnd) {
    if (!self) return sim::Fail(ERROR_INVALID_WINDOW_HANDLE, FALSE);
    self->post(makeMessage(nullptr, msg, wParam, lParam, self));
    return TRUE;
  }
  auto& windows = WindowSystem::get();
  if (hwnd == HWND_BROADCAST) {
    for (sim::Window* w : windows.topLevel())
      if (w->thread) queues.of(*w->thread).post(makeMessage(w->handle, msg, wParam, lParam, self));
    return TRUE;
  }
  if (!windows.checked(hwnd, "PostMessageW")) return FALSE;
  return sim::PostFromSystem(hwnd, msg, wParam, lParam);
}

namespace sim {

bool PostFromSystem(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* window = WindowSystem::get().find(hwnd);
  if (!window) return false;
  if (!window->thread || window->thread->state() == ThreadState::Finished) return true;
  MessageQueues& queues = MessageQueues::get();
  queues.of(*window->thread).post(makeMessage(hwnd, msg, wParam, lParam, queues.current()));
  return true;
}

}  // namespace sim

BOOL PostThreadMessageW(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto& queues = MessageQueues::get();
  MessageQueue* target = queues.findById(threadId);
  if (!target) return sim::Fail(kErrorInvalidThreadId, FALSE);
  target->post(makeMessage(nullptr, msg, wParam, lParam, queues.current()));
  return TRUE;
}

void PostQuitMessage(int exitCode) {
  if (MessageQueue* self = MessageQueues::get().current()) self->postQuit(exitCode);
}

BOOL GetMessageW(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax) {
  MessageQueue* queue = MessageQueues::get().current();
  if (!msg || !queue) return sim::Fail(ERROR_INVALID_PARAMETER, -1);
  if (!validFilter(hwnd, "GetMessageW")) return -1;
  for (;;) {
    queue->handleSentMessages();
    if (queue->pull(*msg, hwnd, filterMin, filterMax, true)) {
      noteRetrieved(*queue, *msg);
      return msg->message != WM_QUIT;
    }
    queue->waitForWork();
  }
}

BOOL PeekMessageW(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg) {
  MessageQueue* queue = MessageQueues::get().current();
  if (!msg || !queue) return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
  if (!validFilter(hwnd, "PeekMessageW")) return FALSE;
  queue->handleSentMessages();
  if (queue->pull(*msg, hwnd, filterMin, filterMax, (removeMsg & PM_REMOVE) != 0)) {
    if (removeMsg & PM_REMOVE) noteRetrieved(*queue, *msg);
    return TRUE;
  }
  // A program polling in a loop must still let the others run.
  sim::Device::current().scheduler().yield();
  return FALSE;
}

BOOL TranslateMessage(const MSG* msg) {
  if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return FALSE;
  MessageQueue* queue = MessageQueues::get().current();
  if (!queue) return FALSE;
  WCHAR ch = characterOf(*queue, msg->wParam);
  if (!ch) return FALSE;
  UINT charMessage = msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
  queue->post(MSG{msg->hwnd, charMessage, ch, msg->lParam, msg->time, msg->pt});
  return TRUE;
}

LRESULT DispatchMessageW(const MSG* msg) {
  if (!msg) return sim::Fail(ERROR_INVALID_PARAMETER, 0);
  if (msg->message == WM_TIMER && msg->lParam) {
    auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
    proc(msg->hwnd, WM_TIMER, msg->wParam, deviceTime());
    return 0;
  }
  if (!msg->hwnd) return 0;
  if (!WindowSystem::get().checked(msg->hwnd, "DispatchMessageW")) return 0;
  return sim::CallWindowProcedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL InSendMessage() {
  MessageQueue* queue = MessageQueues::get().current();
  return queue && queue->sendNesting > 0;
}

LONG GetMessageTime() {
  MessageQueue* queue = MessageQueues::get().current();
  return queue ? static_cast<LONG>(queue->lastMessageTime) : 0;
}
