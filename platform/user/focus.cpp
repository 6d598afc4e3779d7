// Foreground, activation, keyboard focus and mouse capture.
//
// The foreground window is one for the device; each thread keeps its own active
// and focus window in its queue. Activation of another thread's window happens on
// that thread, in input order, when it next pulls messages.
#include <windows.h>

#include "kernel/device.h"
#include "kernel/scheduler.h"
#include "user/menu_tracker.h"
#include "user/message_queue.h"
#include "user/window.h"

namespace {
using sim::MessageQueue;
using sim::MessageQueues;
using sim::Window;
using sim::WindowSystem;

MessageQueue* queueOf(const Window& window) {
  return window.thread ? &MessageQueues::get().of(*window.thread) : nullptr;
}

// Another window coming to the front closes the open menu, as the device cancels a
// menu whose window loses the foreground; a choice from it could no longer be meant
// for the window the person sees.
void CloseMenuBehind(Window& top) {
  auto* tracker = sim::Device::current().findService<sim::MenuTracker>();
  if (!tracker || !tracker->isOpen()) return;
  Window* owner = WindowSystem::get().find(tracker->openMenu()->owner);
  if (owner && &sim::TopLevelOf(*owner) == &top) return;
  tracker->dismiss();
}
}  // namespace

namespace sim {

void ActivateTopLevel(Window& window) {
  auto& windows = WindowSystem::get();
  Window& top = TopLevelOf(window);
  CloseMenuBehind(top);
  windows.setForegroundHandle(top.handle);
  windows.bringToTop(top);
  if (top.thread == Scheduler::current() && top.thread) {
    ActivateOnOwnThread(top.handle);
  } else if (MessageQueue* queue = queueOf(top)) {
    InputEvent event;
    event.kind = InputEvent::Kind::Activate;
    event.hwnd = top.handle;
    queue->postInput(event);
  }
}

void ActivateOnOwnThread(HWND hwnd) {
  auto& windows = WindowSystem::get();
  Window* window = windows.find(hwnd);
  MessageQueue* queue = MessageQueues::get().current();
  if (!window || !queue || window->thread != &queue->thread()) return;
  HWND old = queue->active;
  if (old == hwnd) return;
  queue->active = hwnd;
  // The thread in front keeps the device's foreground in step with its activation.
  Window* foreground = windows.foreground();
  if (!foreground || foreground->thread == window->thread) {
    windows.setForegroundHandle(hwnd);
    windows.bringToTop(*window);
  }
  if (windows.find(old)) SendMessageToWindow(old, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(hwnd));
  // The focus never stays in a window that is not active: the window taking the
  // activation gives it to itself or to one of its own, or nothing has it.
  if (HWND lost = queue->focus; lost && lost != hwnd && !IsChild(hwnd, lost)) {
    queue->focus = nullptr;
    if (windows.find(lost)) SendMessageToWindow(lost, WM_KILLFOCUS, 0, 0);
  }
  if (windows.find(hwnd)) SendMessageToWindow(hwnd, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(old));
}

}  // namespace sim

BOOL SetForegroundWindow(HWND hwnd) {
  Window* window = WindowSystem::get().checked(hwnd, "SetForegroundWindow");
  if (!window) return FALSE;
  sim::ActivateTopLevel(*window);
  return TRUE;
}

HWND GetForegroundWindow() {
  Window* window = WindowSystem::get().foreground();
  return window ? window->handle : nullptr;
}

HWND SetActiveWindow(HWND hwnd) {
  Window* window = WindowSystem::get().checked(hwnd, "SetActiveWindow");
  MessageQueue* queue = MessageQueues::get().current();
  if (!window || !queue) return nullptr;
  Window& top = sim::TopLevelOf(*window);
  if (top.thread != &queue->thread()) return sim::Fail<HWND>(ERROR_ACCESS_DENIED, nullptr);
  HWND old = queue->active;
  sim::ActivateOnOwnThread(top.handle);
  return WindowSystem::get().find(old) ? old : nullptr;
}

HWND GetActiveWindow() {
  MessageQueue* queue = MessageQueues::get().current();
  return queue && WindowSystem::get().find(queue->active) ? queue->active : nullptr;
}

HWND SetFocus(HWND hwnd) {
  auto& windows = WindowSystem::get();
  MessageQueue* queue = MessageQueues::get().current();
  if (!queue) return nullptr;
  Window* window = nullptr;
  if (hwnd) {
    window = windows.checked(hwnd, "SetFocus");
    if (!window) return nullptr;
    // Focus belongs to the thread's own windows.
    if (window->thread != &queue->thread()) return sim::Fail<HWND>(ERROR_ACCESS_DENIED, nullptr);
    // A window inside a disabled one (the owner of a modal dialog) takes no focus.
    for (Window* w = window; w; w = w->isChild() ? w->parent : nullptr)
      if (w->style & WS_DISABLED) return nullptr;
  }
  HWND old = windows.find(queue->focus) ? queue->focus : nullptr;
  if (old == hwnd) return old;
  if (window) {
    Window& top = sim::TopLevelOf(*window);
    if (queue->active != top.handle) {
      sim::ActivateOnOwnThread(top.handle);
      if (queue->focus == hwnd) return old;  // activation gave it the focus already
      old = windows.find(queue->focus) ? queue->focus : nullptr;
    }
  }
  queue->focus = hwnd;
  if (old) sim::SendMessageToWindow(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  if (hwnd && windows.find(hwnd) && queue->focus == hwnd)
    sim::SendMessageToWindow(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  return old;
}

HWND GetFocus() {
  MessageQueue* queue = MessageQueues::get().current();
  return queue && WindowSystem::get().find(queue->focus) ? queue->focus : nullptr;
}

HWND SetCapture(HWND hwnd) {
  auto& windows = WindowSystem::get();
  if (!windows.checked(hwnd, "SetCapture")) return nullptr;
  Window* old = windows.capture();
  windows.setCaptureHandle(hwnd);
  HWND previous = old ? old->handle : nullptr;
  if (previous && previous != hwnd)
    sim::SendMessageToWindow(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
  return previous;
}

BOOL ReleaseCapture() {
  auto& windows = WindowSystem::get();
  Window* old = windows.capture();
  windows.setCaptureHandle(nullptr);
  if (old) sim::SendMessageToWindow(old->handle, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() {
  Window* window = WindowSystem::get().capture();
  return window ? window->handle : nullptr;
}
