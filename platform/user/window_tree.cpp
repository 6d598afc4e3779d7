// Walking the window tree: relatives, searches, points.
#include <windows.h>

#include <algorithm>

#include "user/screen_layout.h"
#include "user/window.h"
#include "user/window_text.h"

namespace {

using sim::Window;
using sim::WindowSystem;

const std::vector<Window*>& siblingsOf(const Window& window) {
  return window.isChild() ? window.parent->children : WindowSystem::get().topLevel();
}

bool contains(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

}  // namespace

namespace sim {
Window& TopLevelOf(Window& window) {
  Window* w = &window;
  while (w->isChild()) w = w->parent;
  return *w;
}
}  // namespace sim

HWND GetWindow(HWND hwnd, UINT cmd) {
  Window* window = WindowSystem::get().checked(hwnd, "GetWindow");
  if (!window) return nullptr;
  const auto& siblings = siblingsOf(*window);
  auto self = std::find(siblings.begin(), siblings.end(), window);
  switch (cmd) {
    case GW_CHILD:
      return window->children.empty() ? nullptr : window->children.front()->handle;
    case GW_OWNER:
      return window->owner ? window->owner->handle : nullptr;
    case GW_HWNDFIRST:
      return siblings.empty() ? nullptr : siblings.front()->handle;
    case GW_HWNDLAST:
      return siblings.empty() ? nullptr : siblings.back()->handle;
    case GW_HWNDNEXT:
      return (self == siblings.end() || self + 1 == siblings.end()) ? nullptr : (*(self + 1))->handle;
    case GW_HWNDPREV:
      return (self == siblings.end() || self == siblings.begin()) ? nullptr : (*(self - 1))->handle;
    default:
      return sim::Fail<HWND>(ERROR_INVALID_PARAMETER, nullptr);
  }
}

// A child's parent; for a top-level window its owner.
HWND GetParent(HWND hwnd) {
  Window* window = WindowSystem::get().checked(hwnd, "GetParent");
  if (!window) return nullptr;
  if (window->isChild()) return window->parent->handle;
  return window->owner ? window->owner->handle : nullptr;
}

BOOL IsWindow(HWND hwnd) { return WindowSystem::get().find(hwnd) != nullptr; }

BOOL IsWindowVisible(HWND hwnd) {
  Window* window = WindowSystem::get().find(hwnd);
  return window && WindowSystem::get().visible(*window);
}

BOOL IsWindowEnabled(HWND hwnd) {
  Window* window = WindowSystem::get().checked(hwnd, "IsWindowEnabled");
  return window && WindowSystem::get().enabled(*window);
}

BOOL IsChild(HWND parent, HWND hwnd) {
  auto& windows = WindowSystem::get();
  Window* window = windows.find(hwnd);
  Window* ancestor = windows.find(parent);
  if (!window || !ancestor) return FALSE;
  for (Window* p = window->isChild() ? window->parent : nullptr; p; p = p->isChild() ? p->parent : nullptr)
    if (p == ancestor) return TRUE;
  return FALSE;
}

HWND FindWindowW(LPCWSTR className, LPCWSTR windowName) {
  for (Window* window : WindowSystem::get().topLevel()) {
    if (window->life == sim::WindowLife::Dead) continue;
    if (className && !IS_INTRESOURCE(className) && !sim::EqualsIgnoringCase(window->windowClass->name, className))
      continue;
    if (className && IS_INTRESOURCE(className) &&
        window->windowClass->atom != static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(className)))
      continue;
    if (windowName && window->text != std::u16string_view(windowName)) continue;
    return window->handle;
  }
  return nullptr;
}

HWND WindowFromPoint(POINT point) {
  Window* window = WindowSystem::get().windowFromPoint(point);
  return window ? window->handle : nullptr;
}

HWND ChildWindowFromPointEx(HWND parent, POINT point, UINT flags) {
  Window* window = WindowSystem::get().checked(parent, "ChildWindowFromPointEx");
  if (!window) return nullptr;
  RECT client{};
  GetClientRect(parent, &client);
  if (!contains(client, point)) return nullptr;
  for (Window* child : window->children) {
    if ((flags & CWP_SKIPINVISIBLE) && !(child->style & WS_VISIBLE)) continue;
    if ((flags & CWP_SKIPDISABLED) && (child->style & WS_DISABLED)) continue;
    if (contains(child->rect, point)) return child->handle;
  }
  return parent;
}

HWND ChildWindowFromPoint(HWND parent, POINT point) { return ChildWindowFromPointEx(parent, point, CWP_ALL); }
