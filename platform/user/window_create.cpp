// Creating and destroying windows.
#include <windows.h>

#include <optional>

#include "kernel/device.h"
#include "kernel/scheduler.h"
#include "user/message_queue.h"
#include "user/nonclient.h"
#include "user/screen_layout.h"
#include "user/window.h"
#include "user/window_text.h"

namespace {

using sim::Window;
using sim::WindowSystem;

constexpr DWORD kErrorTopLevelWithChildStyle = 1406;
constexpr DWORD kErrorCannotFindClass = 1407;

std::shared_ptr<const sim::WindowClass> classNamed(LPCWSTR name) {
  auto& windows = WindowSystem::get();
  if (!name) return nullptr;
  if (IS_INTRESOURCE(name))
    return windows.findClass(static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name)), sim::CurrentProcessOfThread());
  return windows.findClass(std::u16string_view(name), sim::CurrentProcessOfThread());
}

// Initial rectangle: CW_USEDEFAULT gives the work area to a top-level window and
// nothing to a child.
RECT initialRect(const WindowSystem& windows, bool child, int x, int y, int width, int height) {
  RECT work = windows.workArea();
  if (x == CW_USEDEFAULT) {
    x = child ? 0 : static_cast<int>(work.left);
    y = child ? 0 : static_cast<int>(work.top);
  }
  if (width == CW_USEDEFAULT) {
    width = child ? 0 : static_cast<int>(work.right - work.left);
    height = child ? 0 : static_cast<int>(work.bottom - work.top);
  }
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  return RECT{x, y, x + width, y + height};
}

void sendDestroy(HWND hwnd) {
  sim::CallWindowProcedure(hwnd, WM_DESTROY, 0, 0);
  Window* window = WindowSystem::get().find(hwnd);
  if (!window) return;
  std::vector<HWND> children;
  for (Window* child : window->children) children.push_back(child->handle);
  for (HWND child : children) {
    Window* c = WindowSystem::get().find(child);
    if (c && c->life != sim::WindowLife::Dead) {
      c->life = sim::WindowLife::Destroying;
      sendDestroy(child);
    }
  }
}

void sendNcDestroyAndRetire(HWND hwnd, bool deliver) {
  auto& windows = WindowSystem::get();
  Window* window = windows.find(hwnd);
  if (!window) return;
  std::vector<HWND> children;
  for (Window* child : window->children) children.push_back(child->handle);
  for (HWND child : children) sendNcDestroyAndRetire(child, deliver);
  if (deliver) sim::CallWindowProcedure(hwnd, WM_NCDESTROY, 0, 0);
  window = windows.find(hwnd);
  if (!window) return;
  if (window->thread)
    if (auto* queue = sim::MessageQueues::get().find(window->thread)) queue->dropWindow(hwnd);
  windows.retire(*window);
}

// An owned window of another thread is destroyed by that thread, so that its
// procedure hears WM_DESTROY. A thread that is ending (or the device shutting
// down) cannot wait for that: the window then goes here without messages. Either
// way its thread gets a WM_NULL, so that a modal loop running the window finds it
// gone and ends.
void DestroyOwnedWindow(HWND hwnd, bool mayWait) {
  auto& windows = WindowSystem::get();
  Window* window = windows.find(hwnd);
  if (!window) return;
  sim::SimThread* thread = window->thread;
  if (mayWait && thread != sim::Scheduler::current()) sim::DestroyOnItsThread(hwnd);
  if ((window = windows.find(hwnd))) sim::DestroyWindowTree(*window);
  if (thread && thread != sim::Scheduler::current())
    if (auto* queue = sim::MessageQueues::get().find(thread); queue && !queue->released()) {
      MSG wake{};
      wake.message = WM_NULL;
      queue->post(wake);
    }
}

// A child tells its parent that it goes before anything of it has gone, unless it
// was made with WS_EX_NOPARENTNOTIFY. False when the parent destroyed it meanwhile.
bool notifyParentOfDestroy(HWND hwnd) {
  Window* window = WindowSystem::get().find(hwnd);
  if (!window || !window->isChild() || (window->exStyle & WS_EX_NOPARENTNOTIFY)) return true;
  Window* parent = window->parent;
  if (!parent || parent->life == sim::WindowLife::Dead) return true;
  SendMessageW(parent->handle, WM_PARENTNOTIFY, MAKEWPARAM(WM_DESTROY, static_cast<WORD>(window->id)),
               reinterpret_cast<LPARAM>(hwnd));
  window = WindowSystem::get().find(hwnd);
  return window && (window->life == sim::WindowLife::Alive || window->life == sim::WindowLife::Creating);
}

// The window to activate when the foreground window goes: its owner, else the
// topmost visible top-level window left. While the device shuts down nothing is
// activated: the programs are being ended one after the other, and a window left
// for a moment may run the procedure of one that has ended already.
void passForeground(HWND leaving, HWND owner) {
  auto& windows = WindowSystem::get();
  Window* fg = windows.foreground();
  if (fg && fg->handle != leaving) return;
  if (sim::Device::current().scheduler().terminating()) {
    windows.setForegroundHandle(nullptr);
    return;
  }
  Window* next = windows.find(owner);
  if (next && (!(next->style & WS_VISIBLE) || next->life != sim::WindowLife::Alive)) next = nullptr;
  if (!next)
    for (Window* w : windows.topLevel())
      if (w->handle != leaving && (w->style & WS_VISIBLE) && !(w->exStyle & WS_EX_NOACTIVATE) &&
          w->life == sim::WindowLife::Alive) {
        next = w;
        break;
      }
  windows.setForegroundHandle(nullptr);
  if (next) sim::ActivateTopLevel(*next);
}

// Whether a window made with `style` under `parent` shows at once.
bool ShowsAsMade(const Window* parent, bool child, DWORD style) {
  if (!(style & WS_VISIBLE)) return false;
  for (const Window* w = child ? parent : nullptr; w != nullptr; w = w->parent)
    if (!(w->style & WS_VISIBLE)) return false;
  return true;
}

}  // namespace

namespace sim {

bool DestroyWindowTree(Window& window) {
  if (window.life == WindowLife::Destroying || window.life == WindowLife::Dead) return false;
  ScreenChange change;
  auto& windows = WindowSystem::get();
  const HWND hwnd = window.handle;
  SimThread* self = Scheduler::current();
  // At device shutdown windows go without messages: no program code runs then.
  const bool deliver =
      window.thread == self && self != nullptr && !Device::current().scheduler().terminating();

  // Windows it owns go first, as the device does.
  if (!window.isChild()) {
    std::vector<HWND> owned;
    for (Window* w : windows.topLevel())
      if (w->owner == &window) owned.push_back(w->handle);
    for (HWND h : owned) DestroyOwnedWindow(h, deliver && !windows.ending(self));
  }
  if (deliver && !notifyParentOfDestroy(hwnd)) return false;
  Window* current = windows.find(hwnd);
  if (!current || (current->life != WindowLife::Alive && current->life != WindowLife::Creating)) return false;
  current->life = WindowLife::Destroying;
  const bool wasForeground = windows.foreground() == current;
  HWND owner = current->owner ? current->owner->handle : nullptr;
  current->style &= ~static_cast<DWORD>(WS_VISIBLE);

  if (Window* capture = windows.capture(); capture && (capture == current || IsChild(hwnd, capture->handle)))
    windows.setCaptureHandle(nullptr);
  if (current->thread)
    if (auto* queue = MessageQueues::get().find(current->thread)) {
      if (queue->focus && (queue->focus == hwnd || IsChild(hwnd, queue->focus))) queue->focus = nullptr;
      if (queue->active == hwnd) queue->active = nullptr;
    }

  if (deliver) sendDestroy(hwnd);
  sendNcDestroyAndRetire(hwnd, deliver);
  if (wasForeground) passForeground(hwnd, owner);
  return true;
}

}  // namespace sim

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  if (sim::FailsByInjection("CreateWindowExW")) return nullptr;
  auto& windows = WindowSystem::get();
  Window* parentWindow = nullptr;
  if (parent) {
    parentWindow = windows.checked(parent, "CreateWindowExW");
    if (!parentWindow) return nullptr;
  }
  const bool child = (style & WS_CHILD) != 0;
  if (child && !parentWindow) return sim::Fail<HWND>(kErrorTopLevelWithChildStyle, nullptr);
  auto cls = classNamed(className);
  if (!cls) return sim::Fail<HWND>(kErrorCannotFindClass, nullptr);
  sim::SimThread* thread = sim::Scheduler::current();
  // A window made hidden, or inside a hidden one (a dialog's controls before the
  // dialog shows), changes nothing on the screen as it is made: what later shows it
  // is a change of its own.
  std::optional<sim::ScreenChange> change;
  if (ShowsAsMade(parentWindow, child, style)) change.emplace();

  Window* owner = (!child && parentWindow) ? &sim::TopLevelOf(*parentWindow) : nullptr;
  Window& window = windows.createRecord(cls, exStyle, style, child ? parentWindow : nullptr, owner, thread,
                                        sim::CurrentProcessOfThread());
  const HWND hwnd = window.handle;
  window.rect = initialRect(windows, child, x, y, width, height);
  window.id = child ? static_cast<LONG>(reinterpret_cast<LONG_PTR>(menu)) : 0;
  window.instance = instance;
  window.text = std::u16string(sim::TextOf(IS_INTRESOURCE(windowName) ? nullptr : windowName));

  CREATESTRUCTW cs{param,
                   instance,
                   menu,
                   parent,
                   static_cast<int>(window.height()),
                   static_cast<int>(window.width()),
                   static_cast<int>(window.rect.top),
                   static_cast<int>(window.rect.left),
                   static_cast<LONG>(style),
                   windowName,
                   className,
                   exStyle};
  auto fail = [&]() -> HWND {
    if (Window* w = windows.find(hwnd)) sim::DestroyWindowTree(*w);
    return nullptr;
  };
  if (!sim::CallWindowProcedure(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) return fail();
  if (!windows.find(hwnd)) return nullptr;
  if (sim::CallWindowProcedure(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) return fail();
  Window* created = windows.find(hwnd);
  if (!created || created->life != sim::WindowLife::Creating) return nullptr;
  created->life = sim::WindowLife::Alive;
  RECT client = sim::ClientAreaOf(*created);
  sim::CallWindowProcedure(hwnd, WM_SIZE, SIZE_RESTORED,
                           MAKELPARAM(client.right - client.left, client.bottom - client.top));
  created = windows.find(hwnd);
  if (created && !child && (created->style & WS_VISIBLE) && !(created->style & WS_DISABLED) &&
      !(created->exStyle & WS_EX_NOACTIVATE))
    sim::ActivateTopLevel(*created);
  return windows.find(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hwnd) {
  auto& windows = WindowSystem::get();
  Window* window = windows.checked(hwnd, "DestroyWindow");
  if (!window) return FALSE;
  if (window->thread != sim::Scheduler::current()) return sim::Fail(ERROR_ACCESS_DENIED, FALSE);
  sim::DestroyWindowTree(*window);
  return TRUE;
}
