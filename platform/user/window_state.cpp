// Window text, visibility and enabling.
#include <windows.h>

#include "kernel/faults.h"
#include "kernel/scheduler.h"
#include "user/message_queue.h"
#include "user/screen_layout.h"
#include "user/window.h"
#include "user/window_text.h"

namespace {
using sim::Window;
using sim::WindowSystem;

bool ownThread(const Window& window) { return window.thread == sim::Scheduler::current(); }

// A disabled window takes no keys: the focus it or one of its children had on its
// own thread goes, whichever thread disables it (a modal dialog of another program
// disables its owner).
void dropFocusInside(HWND hwnd, const Window& window) {
  auto& queues = sim::MessageQueues::get();
  sim::MessageQueue* queue = window.thread ? queues.find(window.thread) : nullptr;
  if (!queue || !queue->focus || (queue->focus != hwnd && !IsChild(hwnd, queue->focus))) return;
  if (queue == queues.current()) {
    SetFocus(nullptr);
    return;
  }
  HWND old = queue->focus;
  queue->focus = nullptr;
  if (WindowSystem::get().find(old)) sim::SendMessageToWindow(old, WM_KILLFOCUS, 0, 0);
}
}  // namespace

BOOL SetWindowTextW(HWND hwnd, LPCWSTR text) {
  if (!WindowSystem::get().checked(hwnd, "SetWindowTextW")) return FALSE;
  if (sim::FailsByInjection("SetWindowTextW")) return FALSE;
  return sim::SendMessageToWindow(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

// A window of another thread is read from its record, without a message, so that
// one program reading another's title never waits for it.
int GetWindowTextW(HWND hwnd, LPWSTR text, int maxCount) {
  Window* window = WindowSystem::get().checked(hwnd, "GetWindowTextW");
  if (!window) return 0;
  if (!ownThread(*window)) return sim::CopyBounded(window->text, text, maxCount);
  if (!text || maxCount <= 0) return 0;
  return static_cast<int>(sim::CallWindowProcedure(hwnd, WM_GETTEXT, static_cast<WPARAM>(maxCount),
                                                   reinterpret_cast<LPARAM>(text)));
}

int GetWindowTextLengthW(HWND hwnd) {
  Window* window = WindowSystem::get().checked(hwnd, "GetWindowTextLengthW");
  if (!window) return 0;
  if (!ownThread(*window)) return static_cast<int>(window->text.size());
  return static_cast<int>(sim::CallWindowProcedure(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL ShowWindow(HWND hwnd, int cmd) {
  auto& windows = WindowSystem::get();
  Window* window = windows.checked(hwnd, "ShowWindow");
  if (!window) return FALSE;
  sim::ScreenChange change;
  const bool wasVisible = (window->style & WS_VISIBLE) != 0;
  const bool show = cmd != SW_HIDE && cmd != SW_MINIMIZE;
  if (show)
    window->style |= WS_VISIBLE;
  else
    window->style &= ~static_cast<DWORD>(WS_VISIBLE);
  if (show != wasVisible) sim::SendMessageToWindow(hwnd, WM_SHOWWINDOW, show, 0);
  window = windows.find(hwnd);
  if (!window || window->isChild()) return wasVisible;
  if (show && cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE && !(window->style & WS_DISABLED) &&
      !(window->exStyle & WS_EX_NOACTIVATE)) {
    sim::ActivateTopLevel(*window);
  } else if (!show && windows.foreground() == window) {
    windows.setForegroundHandle(nullptr);
    Window* owner = window->owner;
    Window* next = owner && (owner->style & WS_VISIBLE) ? owner : nullptr;
    for (Window* w : windows.topLevel())
      if (!next && w != window && (w->style & WS_VISIBLE) && !(w->exStyle & WS_EX_NOACTIVATE)) next = w;
    if (next) sim::ActivateTopLevel(*next);
  }
  return wasVisible;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  auto& windows = WindowSystem::get();
  Window* window = windows.checked(hwnd, "EnableWindow");
  if (!window) return FALSE;
  const bool wasDisabled = (window->style & WS_DISABLED) != 0;
  if (enable == !wasDisabled) return wasDisabled;
  if (enable) {
    window->style &= ~static_cast<DWORD>(WS_DISABLED);
  } else {
    window->style |= WS_DISABLED;
    dropFocusInside(hwnd, *window);
  }
  if (windows.find(hwnd)) sim::SendMessageToWindow(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
  return wasDisabled;
}

DWORD GetWindowThreadProcessId(HWND hwnd, LPDWORD processId) {
  Window* window = WindowSystem::get().checked(hwnd, "GetWindowThreadProcessId");
  if (!window) return 0;
  if (processId) *processId = sim::ProcessIdOf(window->process);
  return window->thread ? window->thread->id() : 0;
}
