// Keyboard and touch-screen input, queued for the thread of the window it is for.
#include "user/input.h"

#include "kernel/device.h"
#include "kernel/scheduler.h"
#include "user/message_queue.h"
#include "user/window.h"

namespace sim {

namespace {

DWORD deviceTime() { return static_cast<DWORD>(Device::current().clock().now()); }

bool contains(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

// The deepest visible, enabled descendant of `window` under a screen point.
Window* deepestAt(Window& window, POINT screen) {
  auto& windows = WindowSystem::get();
  for (Window* child : window.children)
    if ((child->style & WS_VISIBLE) && windows.enabled(*child) && contains(windows.screenRect(*child), screen))
      return deepestAt(*child, screen);
  return &window;
}

}  // namespace

Input& Input::get() { return Device::current().service<Input>(); }

bool Input::holding() {
  MessageQueue* queue = MessageQueues::get().current();
  return queue && queue->holding;
}

void Input::key(BYTE vk, bool up) {
  asyncKeys_[vk] = !up;
  Window* foreground = WindowSystem::get().foreground();
  if (!foreground || !foreground->thread) return;
  InputEvent event;
  event.kind = InputEvent::Kind::Key;
  event.message = up ? WM_KEYUP : WM_KEYDOWN;
  event.wParam = vk;
  event.lParam = up ? static_cast<LPARAM>(0xC0000001u) : 1;
  event.time = deviceTime();
  MessageQueues::get().of(*foreground->thread).postInput(event);
}

void Input::character(char16_t c) {
  Window* foreground = WindowSystem::get().foreground();
  if (!foreground || !foreground->thread) return;
  InputEvent event;
  event.kind = InputEvent::Kind::Key;
  event.message = WM_CHAR;
  event.wParam = c;
  event.lParam = 1;
  event.time = deviceTime();
  MessageQueues::get().of(*foreground->thread).postInput(event);
}

bool Input::tap(POINT screen) {
  Window* window = WindowSystem::get().windowFromPoint(screen);
  if (!window) return false;
  POINT origin = WindowSystem::get().clientOrigin(*window);
  return deliver(window->handle, POINT{screen.x - origin.x, screen.y - origin.y}, Gesture::Tap);
}

bool Input::tapWindow(HWND hwnd, POINT client) { return deliver(hwnd, client, Gesture::Tap); }
bool Input::doubleTapWindow(HWND hwnd, POINT client) { return deliver(hwnd, client, Gesture::DoubleTap); }
bool Input::holdWindow(HWND hwnd, POINT client) { return deliver(hwnd, client, Gesture::Hold); }

bool Input::doubleTap(POINT screen) {
  Window* window = WindowSystem::get().windowFromPoint(screen);
  if (!window) return false;
  POINT origin = WindowSystem::get().clientOrigin(*window);
  return deliver(window->handle, POINT{screen.x - origin.x, screen.y - origin.y}, Gesture::DoubleTap);
}

bool Input::secondTap(POINT screen) {
  Window* window = WindowSystem::get().windowFromPoint(screen);
  if (!window) return false;
  POINT origin = WindowSystem::get().clientOrigin(*window);
  return deliver(window->handle, POINT{screen.x - origin.x, screen.y - origin.y}, Gesture::SecondTap);
}

bool Input::hold(POINT screen) {
  Window* window = WindowSystem::get().windowFromPoint(screen);
  if (!window) return false;
  POINT origin = WindowSystem::get().clientOrigin(*window);
  return deliver(window->handle, POINT{screen.x - origin.x, screen.y - origin.y}, Gesture::Hold);
}

bool Input::deliver(HWND hwnd, POINT client, Gesture gesture) {
  auto& windows = WindowSystem::get();
  Window* window = windows.find(hwnd);
  if (!window || !windows.visible(*window)) return false;
  POINT origin = windows.clientOrigin(*window);
  POINT screen{origin.x + client.x, origin.y + client.y};
  Window* target = deepestAt(*window, screen);
  Window& top = TopLevelOf(*target);
  // A disabled window (the owner of a modal dialog) takes no taps.
  if (!windows.enabled(*target) || !windows.enabled(top) || !target->thread) return false;
  // Menu bars and other windows made not to be activated take taps without coming
  // to the front.
  if (windows.foreground() != &top && !(top.exStyle & WS_EX_NOACTIVATE)) ActivateTopLevel(top);

  POINT targetOrigin = windows.clientOrigin(*target);
  const LPARAM at = MAKELPARAM(screen.x - targetOrigin.x, screen.y - targetOrigin.y);
  const WPARAM keys = asyncKeyDown(VK_CONTROL) ? MK_CONTROL : 0;
  MessageQueue& queue = MessageQueues::get().of(*target->thread);
  DWORD time = deviceTime();
  auto push = [&](UINT message, WPARAM wParam, bool hold = false) {
    InputEvent event;
    event.kind = InputEvent::Kind::Mouse;
    event.message = message;
    event.hwnd = target->handle;
    event.wParam = wParam;
    event.lParam = at;
    event.pt = screen;
    event.time = time;
    event.hold = hold;
    queue.postInput(event);
  };
  switch (gesture) {
    case Gesture::Tap:
      push(WM_LBUTTONDOWN, keys | MK_LBUTTON);
      push(WM_LBUTTONUP, keys);
      break;
    case Gesture::DoubleTap:
    case Gesture::SecondTap: {
      const bool dblclks = (target->windowClass->style & CS_DBLCLKS) != 0;
      if (gesture == Gesture::DoubleTap) {
        push(WM_LBUTTONDOWN, keys | MK_LBUTTON);
        push(WM_LBUTTONUP, keys);
      }
      push(dblclks ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, keys | MK_LBUTTON);
      push(WM_LBUTTONUP, keys);
      break;
    }
    case Gesture::Hold:
      push(WM_LBUTTONDOWN, keys | MK_LBUTTON, true);
      time += kHoldMs;
      push(WM_LBUTTONUP, keys);
      break;
  }
  return true;
}

}  // namespace sim

void keybd_event(BYTE vk, BYTE, DWORD flags, DWORD) { sim::Input::get().key(vk, (flags & KEYEVENTF_KEYUP) != 0); }

SHORT GetKeyState(int vk) {
  if (sim::MessageQueue* queue = sim::MessageQueues::get().current()) return queue->keyState(vk);
  return sim::Input::get().asyncKeyDown(vk) ? static_cast<SHORT>(0x8000) : 0;
}

SHORT GetAsyncKeyState(int vk) { return sim::Input::get().asyncKeyDown(vk) ? static_cast<SHORT>(0x8000) : 0; }
