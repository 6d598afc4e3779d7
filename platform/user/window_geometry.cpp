// Window position and size, and mapping points between windows and the screen.
#include <windows.h>

#include <algorithm>

#include "user/message_queue.h"
#include "user/nonclient.h"
#include "user/screen_layout.h"
#include "user/window.h"

namespace {

using sim::Window;
using sim::WindowSystem;

POINT originOf(HWND hwnd) {
  Window* window = WindowSystem::get().find(hwnd);
  return window ? WindowSystem::get().clientOrigin(*window) : POINT{0, 0};
}

void placeInZOrder(Window& window, HWND insertAfter) {
  auto& windows = WindowSystem::get();
  if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST) {
    windows.bringToTop(window);
    return;
  }
  auto& list = window.isChild() ? window.parent->children : const_cast<std::vector<Window*>&>(windows.topLevel());
  list.erase(std::remove(list.begin(), list.end(), &window), list.end());
  if (insertAfter == HWND_BOTTOM || insertAfter == HWND_NOTOPMOST) {
    list.push_back(&window);
    return;
  }
  auto after = std::find_if(list.begin(), list.end(), [&](Window* w) { return w->handle == insertAfter; });
  list.insert(after == list.end() ? list.end() : after + 1, &window);
}

}  // namespace

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  auto& windows = WindowSystem::get();
  Window* window = windows.checked(hwnd, "SetWindowPos");
  if (!window) return FALSE;
  // The window hears first what it is about to get and may change it (a combo box
  // keeps the height of its field).
  WINDOWPOS changing{hwnd, insertAfter, x, y, cx, cy, flags};
  if (flags & SWP_NOMOVE) changing.x = static_cast<int>(window->rect.left), changing.y = static_cast<int>(window->rect.top);
  if (flags & SWP_NOSIZE) changing.cx = window->width(), changing.cy = window->height();
  sim::SendMessageToWindow(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&changing));
  window = windows.find(hwnd);
  if (!window) return FALSE;
  sim::ScreenChange change;
  RECT old = window->rect;
  RECT oldClient = sim::ClientAreaOf(*window);
  x = changing.x;
  y = changing.y;
  cx = std::max(changing.cx, 0);
  cy = std::max(changing.cy, 0);
  window->rect = RECT{x, y, x + cx, y + cy};
  if (!(flags & SWP_NOZORDER)) placeInZOrder(*window, insertAfter);
  if (flags & SWP_SHOWWINDOW) window->style |= WS_VISIBLE;
  if (flags & SWP_HIDEWINDOW) window->style &= ~static_cast<DWORD>(WS_VISIBLE);

  // Tell the window what changed; DefWindowProcW turns this into WM_MOVE/WM_SIZE.
  UINT changed = flags;
  if (old.left == x && old.top == y) changed |= SWP_NOMOVE;
  RECT client = sim::ClientAreaOf(*window);
  // A changed frame (SWP_FRAMECHANGED) may resize the client area of a window that
  // kept its size.
  if (old.right - old.left == cx && old.bottom - old.top == cy &&
      client.right - client.left == oldClient.right - oldClient.left &&
      client.bottom - client.top == oldClient.bottom - oldClient.top)
    changed |= SWP_NOSIZE;
  WINDOWPOS pos{hwnd, insertAfter, x, y, cx, cy, changed};
  sim::SendMessageToWindow(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
  return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL) {
  return SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL GetClientRect(HWND hwnd, LPRECT rect) {
  Window* window = WindowSystem::get().checked(hwnd, "GetClientRect");
  if (!window || !rect) return FALSE;
  RECT client = sim::ClientAreaOf(*window);
  *rect = RECT{0, 0, client.right - client.left, client.bottom - client.top};
  return TRUE;
}

BOOL GetWindowRect(HWND hwnd, LPRECT rect) {
  Window* window = WindowSystem::get().checked(hwnd, "GetWindowRect");
  if (!window || !rect) return FALSE;
  *rect = WindowSystem::get().screenRect(*window);
  return TRUE;
}

BOOL ClientToScreen(HWND hwnd, LPPOINT point) {
  if (!WindowSystem::get().checked(hwnd, "ClientToScreen") || !point) return FALSE;
  POINT origin = originOf(hwnd);
  point->x += origin.x;
  point->y += origin.y;
  return TRUE;
}

BOOL ScreenToClient(HWND hwnd, LPPOINT point) {
  if (!WindowSystem::get().checked(hwnd, "ScreenToClient") || !point) return FALSE;
  POINT origin = originOf(hwnd);
  point->x -= origin.x;
  point->y -= origin.y;
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
  auto& windows = WindowSystem::get();
  if ((from && !windows.checked(from, "MapWindowPoints")) || (to && !windows.checked(to, "MapWindowPoints")))
    return 0;
  POINT a = originOf(from);
  POINT b = originOf(to);
  const LONG dx = a.x - b.x;
  const LONG dy = a.y - b.y;
  for (UINT i = 0; points && i < count; ++i) {
    points[i].x += dx;
    points[i].y += dy;
  }
  SetLastError(0);
  return static_cast<int>(MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy)));
}
