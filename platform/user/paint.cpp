// Update regions: invalidating, validating and asking what waits to be painted.
#include "user/paint.h"

#include "gdi/dc.h"
#include "gdi/gdi_objects.h"
#include "user/message_queue.h"
#include "user/nonclient.h"
#include "user/screen_layout.h"
#include "user/window.h"

namespace sim {

namespace {

Window* FirstToPaint(Window& window, const SimThread& thread, HWND filter, bool inFilter) {
  if (!(window.style & WS_VISIBLE) || !window.alive()) return nullptr;
  inFilter = inFilter || window.handle == filter;
  if (inFilter && window.thread == &thread && !window.redrawOff && !window.update.empty()) return &window;
  for (Window* child : window.children)
    if (Window* found = FirstToPaint(*child, thread, filter, inFilter)) return found;
  return nullptr;
}

}  // namespace

Region ClientRegion(const Window& window) {
  RECT client = ClientAreaOf(window);
  return Region(RECT{0, 0, client.right - client.left, client.bottom - client.top});
}

void AddToUpdate(Window& window, const Region& client, bool erase) {
  if (window.redrawOff || !window.alive()) return;
  Region added = client.intersected(ClientRegion(window));
  if (added.empty()) return;
  window.update = window.update.united(added);
  if (erase) window.eraseBackground = true;
  if (window.thread) MessageQueues::get().of(*window.thread).wake();
}

void RemoveFromUpdate(Window& window, const Region& client) {
  window.update = window.update.subtracted(client);
  if (window.update.empty()) window.eraseBackground = false;
}

Window* WindowToPaint(const SimThread& thread, HWND filter) {
  for (Window* top : WindowSystem::get().topLevel())
    if (Window* found = FirstToPaint(*top, thread, filter, filter == nullptr)) return found;
  return nullptr;
}

HDC OpenPaintContext(Window& window, const Region& update) {
  auto& windows = WindowSystem::get();
  RECT client = windows.clientScreenRect(window);
  Region screenUpdate = update;
  screenUpdate.offset(client.left, client.top);
  Region visible = ScreenLayout::get().visibleRegion(window).intersected(client).intersected(screenUpdate);
  return OpenScreenContext(window.handle, POINT{client.left, client.top}, visible);
}

HBRUSH ClassBackgroundBrush(const Window& window) {
  HBRUSH brush = window.windowClass ? window.windowClass->background : nullptr;
  auto value = reinterpret_cast<std::uintptr_t>(brush);
  // A class may name a system colour by its index plus one.
  if (value > 0 && value <= 32) return GetSysColorBrush(static_cast<int>(value) - 1);
  return brush;
}

}  // namespace sim

namespace {

using sim::Region;
using sim::Window;
using sim::WindowSystem;

Region* RegionOfHandle(HRGN handle, const char* operation) {
  sim::GdiObject* object = sim::GdiObjects::get().checked(handle, {sim::GdiKind::Region}, operation);
  return object ? &object->as<sim::RegionData>()->region : nullptr;
}

// The client pixels a call names: a rectangle, or the whole client area.
Region Named(const Window& window, const RECT* rect) {
  return rect ? Region(*rect).intersected(sim::ClientRegion(window)) : sim::ClientRegion(window);
}

void EraseNow(Window& window) {
  if (!window.eraseBackground || window.update.empty()) return;
  window.eraseBackground = false;
  HDC dc = sim::OpenPaintContext(window, window.update);
  sim::SendMessageToWindow(window.handle, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  sim::CloseContext(dc, "WM_ERASEBKGND");
}

// RedrawWindow's work on one window; `pixels` in its client coordinates.
void Redraw(Window& window, const Region& pixels, UINT flags) {
  if (flags & RDW_INVALIDATE) sim::AddToUpdate(window, pixels, (flags & RDW_ERASE) != 0);
  if (flags & RDW_VALIDATE) sim::RemoveFromUpdate(window, pixels);
  if ((flags & RDW_INVALIDATE) && (flags & RDW_FRAME) && !window.redrawOff)
    sim::DrawFrame(window, sim::ScreenLayout::get().visibleRegion(window));
  if (!(flags & RDW_ALLCHILDREN)) return;
  std::vector<HWND> children;
  for (Window* child : window.children) children.push_back(child->handle);
  for (HWND hwnd : children) {
    Window* child = WindowSystem::get().find(hwnd);
    if (!child) continue;
    RECT inParent = sim::ClientAreaOf(*child);
    Region mine = pixels;
    mine.offset(-(child->rect.left + inParent.left), -(child->rect.top + inParent.top));
    Redraw(*child, mine, flags);
  }
}

// UpdateWindow's work: WM_PAINT now for the window and then its children.
void PaintNow(HWND hwnd, bool children, bool eraseOnly) {
  Window* window = WindowSystem::get().find(hwnd);
  if (!window || !WindowSystem::get().visible(*window)) return;
  if (eraseOnly)
    EraseNow(*window);
  else if (!window->update.empty() && !window->redrawOff)
    sim::SendMessageToWindow(hwnd, WM_PAINT, 0, 0);
  if (!children || !(window = WindowSystem::get().find(hwnd))) return;
  std::vector<HWND> kids;
  for (Window* child : window->children) kids.push_back(child->handle);
  for (HWND kid : kids) PaintNow(kid, true, eraseOnly);
}

}  // namespace

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
  if (!hwnd) {
    sim::ScreenLayout::get().exposeAll();
    return TRUE;
  }
  Window* window = WindowSystem::get().checked(hwnd, "InvalidateRect");
  if (!window) return FALSE;
  sim::AddToUpdate(*window, Named(*window, rect), erase != FALSE);
  return TRUE;
}

BOOL InvalidateRgn(HWND hwnd, HRGN region, BOOL erase) {
  Window* window = WindowSystem::get().checked(hwnd, "InvalidateRgn");
  if (!window) return FALSE;
  if (!region) return InvalidateRect(hwnd, nullptr, erase);
  Region* pixels = RegionOfHandle(region, "InvalidateRgn");
  if (!pixels) return FALSE;
  sim::AddToUpdate(*window, *pixels, erase != FALSE);
  return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* rect) {
  if (!hwnd) return TRUE;
  Window* window = WindowSystem::get().checked(hwnd, "ValidateRect");
  if (!window) return FALSE;
  sim::RemoveFromUpdate(*window, Named(*window, rect));
  return TRUE;
}

BOOL ValidateRgn(HWND hwnd, HRGN region) {
  Window* window = WindowSystem::get().checked(hwnd, "ValidateRgn");
  if (!window) return FALSE;
  if (!region) return ValidateRect(hwnd, nullptr);
  Region* pixels = RegionOfHandle(region, "ValidateRgn");
  if (!pixels) return FALSE;
  sim::RemoveFromUpdate(*window, *pixels);
  return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase) {
  Window* window = WindowSystem::get().checked(hwnd, "GetUpdateRect");
  if (!window) return FALSE;
  if (erase) EraseNow(*window);
  if (rect) *rect = window->update.bounds();
  return window->update.empty() ? FALSE : TRUE;
}

int GetUpdateRgn(HWND hwnd, HRGN region, BOOL erase) {
  Window* window = WindowSystem::get().checked(hwnd, "GetUpdateRgn");
  if (!window) return ERROR;
  Region* target = RegionOfHandle(region, "GetUpdateRgn");
  if (!target) return ERROR;
  if (erase) EraseNow(*window);
  *target = window->update;
  return target->complexity();
}

BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN region, UINT flags) {
  if (!hwnd) {
    if (flags & RDW_INVALIDATE) sim::ScreenLayout::get().exposeAll();
    return TRUE;
  }
  Window* window = WindowSystem::get().checked(hwnd, "RedrawWindow");
  if (!window) return FALSE;
  Region pixels = sim::ClientRegion(*window);
  if (region) {
    Region* given = RegionOfHandle(region, "RedrawWindow");
    if (!given) return FALSE;
    pixels = given->intersected(pixels);
  } else if (rect) {
    pixels = Named(*window, rect);
  }
  if (flags & RDW_NOCHILDREN) flags &= ~static_cast<UINT>(RDW_ALLCHILDREN);
  Redraw(*window, pixels, flags);
  if (flags & (RDW_UPDATENOW | RDW_ERASENOW))
    PaintNow(hwnd, (flags & RDW_ALLCHILDREN) != 0, !(flags & RDW_UPDATENOW));
  return TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
  if (!WindowSystem::get().checked(hwnd, "UpdateWindow")) return FALSE;
  PaintNow(hwnd, true, false);
  return TRUE;
}
