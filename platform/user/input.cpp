// Keyboard and touch-screen input, queued for the thread of the window it is for.
#include "user/input.h"

#include "kernel/device.h"
#include "kernel/scheduler.h"
#include "user/message_queue.h"
#include "user/nonclient.h"
#include "user/screen_layout.h"
#include "user/window.h"

namespace sim {

namespace {

DWORD deviceTime() { return static_cast<DWORD>(Device::current().clock().now()); }

bool contains(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

// The deepest visible, enabled descendant of `window` under a screen point; children
// show only inside their parent's client area.
Window* deepestAt(Window& window, POINT screen) {
  auto& windows = WindowSystem::get();
  if (!contains(windows.clientScreenRect(window), screen)) return &window;
  for (Window* child : window.children)
    if ((child->style & WS_VISIBLE) && windows.enabled(*child) && windows.covers(*child, screen))
      return deepestAt(*child, screen);
  return &window;
}

// The system surface a tap at a screen point goes to: one that takes every tap (an
// open menu), else the one drawn there.
SystemSurface* surfaceFor(POINT screen) {
  ScreenLayout& layout = ScreenLayout::get();
  for (SystemSurface* surface : layout.surfaces())
    if (surface->takesAllTaps()) return surface;
  return layout.surfaceAt(screen);
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
  if (SystemSurface* surface = surfaceFor(screen)) return surface->tap(screen);
  Window* window = WindowSystem::get().windowFromPoint(screen);
  if (!window) return false;
  POINT origin = WindowSystem::get().clientOrigin(*window);
  return deliver(window->handle, POINT{screen.x - origin.x, screen.y - origin.y}, Gesture::Tap);
}

bool Input::tapWindow(HWND hwnd, POINT client) { return deliver(hwnd, client, Gesture::Tap); }
bool Input::doubleTapWindow(HWND hwnd, POINT client) { return deliver(hwnd, client, Gesture::DoubleTap); }
bool Input::holdWindow(HWND hwnd, POINT client) { return deliver(hwnd, client, Gesture::Hold); }

bool Input::doubleTap(POINT screen) {
  if (SystemSurface* surface = surfaceFor(screen)) return surface->tap(screen);
  Window* window = WindowSystem::get().windowFromPoint(screen);
  if (!window) return false;
  POINT origin = WindowSystem::get().clientOrigin(*window);
  return deliver(window->handle, POINT{screen.x - origin.x, screen.y - origin.y}, Gesture::DoubleTap);
}

bool Input::secondTap(POINT screen) {
  if (SystemSurface* surface = surfaceFor(screen)) return surface->tap(screen);
  Window* window = WindowSystem::get().windowFromPoint(screen);
  if (!window) return false;
  POINT origin = WindowSystem::get().clientOrigin(*window);
  return deliver(window->handle, POINT{screen.x - origin.x, screen.y - origin.y}, Gesture::SecondTap);
}

bool Input::hold(POINT screen) {
  if (SystemSurface* surface = surfaceFor(screen)) return surface->tap(screen);
  Window* window = WindowSystem::get().windowFromPoint(screen);
  if (!window) return false;
  POINT origin = WindowSystem::get().clientOrigin(*window);
  return deliver(window->handle, POINT{screen.x - origin.x, screen.y - origin.y}, Gesture::Hold);
}

namespace {

// A tap on a window's frame is the system's: a scroll bar scrolls, the rest only activates.
void PostFrameTap(MessageQueue& queue, const Window& target, WindowPart part, POINT screen) {
  InputEvent event;
  event.kind = InputEvent::Kind::Frame;
  event.hwnd = target.handle;
  event.wParam = static_cast<WPARAM>(part);
  event.pt = screen;
  event.time = deviceTime();
  queue.postInput(event);
}

// The button messages of one stylus gesture at a screen point of `target`'s client area.
class GestureEvents {
 public:
  GestureEvents(MessageQueue& queue, const Window& target, POINT screen, DWORD time)
      : queue_(queue), target_(target), screen_(screen), time_(time) {
    POINT origin = WindowSystem::get().clientOrigin(target);
    at_ = MAKELPARAM(screen.x - origin.x, screen.y - origin.y);
  }
  void push(UINT message, WPARAM wParam, bool hold = false) {
    InputEvent event;
    event.kind = InputEvent::Kind::Mouse;
    event.message = message;
    event.hwnd = target_.handle;
    event.wParam = wParam;
    event.lParam = at_;
    event.pt = screen_;
    event.time = time_;
    event.hold = hold;
    queue_.postInput(event);
  }
  void later(DWORD ms) { time_ += ms; }

 private:
  MessageQueue& queue_;
  const Window& target_;
  POINT screen_;
  DWORD time_;
  LPARAM at_ = 0;
};

}  // namespace

bool Input::deliver(HWND hwnd, POINT client, Gesture gesture) {
  auto& windows = WindowSystem::get();
  Window* window = windows.find(hwnd);
  if (!window || !windows.visible(*window)) return false;
  POINT origin = windows.clientOrigin(*window);
  POINT screen{origin.x + client.x, origin.y + client.y};
  Window* target = deepestAt(*window, screen);
  Window& top = TopLevelOf(*target);
  // A disabled window (the owner of a modal dialog) takes no taps, nor does the
  // menu bar or dropped list that belongs to it.
  if (!windows.enabled(*target) || !windows.enabled(top) || !target->thread) return false;
  if ((top.exStyle & WS_EX_NOACTIVATE) && top.owner && !windows.enabled(*top.owner)) return false;
  // Menu bars and other windows made not to be activated take taps without coming
  // to the front.
  if (windows.foreground() != &top && !(top.exStyle & WS_EX_NOACTIVATE)) ActivateTopLevel(top);

  MessageQueue& queue = MessageQueues::get().of(*target->thread);
  RECT outer = windows.screenRect(*target);
  if (WindowPart part = PartAt(*target, POINT{screen.x - outer.left, screen.y - outer.top}); part != WindowPart::Client) {
    PostFrameTap(queue, *target, part, screen);
    return true;
  }
  const WPARAM keys = asyncKeyDown(VK_CONTROL) ? MK_CONTROL : 0;
  GestureEvents events(queue, *target, screen, deviceTime());
  switch (gesture) {
    case Gesture::Tap:
      events.push(WM_LBUTTONDOWN, keys | MK_LBUTTON);
      events.push(WM_LBUTTONUP, keys);
      break;
    case Gesture::DoubleTap:
    case Gesture::SecondTap: {
      const bool dblclks = (target->windowClass->style & CS_DBLCLKS) != 0;
      if (gesture == Gesture::DoubleTap) {
        events.push(WM_LBUTTONDOWN, keys | MK_LBUTTON);
        events.push(WM_LBUTTONUP, keys);
      }
      events.push(dblclks ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, keys | MK_LBUTTON);
      events.push(WM_LBUTTONUP, keys);
      break;
    }
    case Gesture::Hold:
      events.push(WM_LBUTTONDOWN, keys | MK_LBUTTON, true);
      events.later(kHoldMs);
      events.push(WM_LBUTTONUP, keys);
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
