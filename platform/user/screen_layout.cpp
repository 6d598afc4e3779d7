#include "user/screen_layout.h"

#include <algorithm>

#include "gdi/dc.h"
#include "kernel/device.h"
#include "user/menu_popup.h"
#include "user/nonclient.h"
#include "user/paint.h"
#include "user/window.h"

namespace sim {

namespace {

// Gives the pixels `window` and its descendants take of `available`, and records
// what each of them shows itself.
Region Visit(const WindowSystem& windows, const Window& window, const Region& available, ScreenOwnership& out) {
  RECT outer = windows.screenRect(window);
  Region taken = available.intersected(outer);
  if (window.seeThrough) {
    const RECT& in = *window.seeThrough;
    taken = taken.subtracted(RECT{outer.left + in.left, outer.top + in.top, outer.right - in.right, outer.bottom - in.bottom});
  }
  if (taken.empty()) return taken;
  Region mine = taken;
  Region childSpace = taken.intersected(windows.clientScreenRect(window));
  for (const Window* child : window.children) {
    if (!(child->style & WS_VISIBLE) || !child->alive() || childSpace.empty()) continue;
    Region got = Visit(windows, *child, childSpace, out);
    if (got.empty()) continue;
    childSpace = childSpace.subtracted(got);
    mine = mine.subtracted(got);
  }
  out.windows[window.handle] = std::move(mine);
  return taken;
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

// The menus' surface is the window part's own; the others are the parts' above.
ScreenLayout::ScreenLayout(Device& device) : device_(device) {
  InstallMenuSurface(*this);
  InstallSystemSurfaces(*this);
  // The screen starts with what the system draws: the desktop and the bars.
  for (SystemSurface* surface : surfaces_) repaintSurface(*surface);
}

ScreenLayout& ScreenLayout::get() { return Device::current().service<ScreenLayout>(); }

void ScreenLayout::addSurface(std::unique_ptr<SystemSurface> surface) {
  const int layer = surface->layer();
  auto at = std::find_if(surfaces_.begin(), surfaces_.end(),
                         [&](const SystemSurface* other) { return other->layer() < layer; });
  surfaces_.insert(at, surface.get());
  owned_.push_back(std::move(surface));
}

const ScreenOwnership& ScreenLayout::ownership() const {
  // Inside a change the windows move under it: every question is answered afresh.
  if (!knownValid_ || depth_ > 0) {
    known_ = compute();
    knownValid_ = depth_ == 0;
  }
  return known_;
}

ScreenOwnership ScreenLayout::compute() const {
  const WindowSystem& windows = WindowSystem::get();
  ScreenOwnership out;
  out.surfaces.resize(surfaces_.size());
  Region available(RECT{0, 0, windows.screenWidth(), windows.screenHeight()});
  std::size_t next = 0;
  for (; next < surfaces_.size() && surfaces_[next]->layer() >= 0; ++next) {
    out.surfaces[next] = surfaces_[next]->area().intersected(available);
    available = available.subtracted(out.surfaces[next]);
  }
  for (const Window* top : windows.topLevel()) {
    if (!(top->style & WS_VISIBLE) || !top->alive() || available.empty()) continue;
    available = available.subtracted(Visit(windows, *top, available, out));
  }
  for (; next < surfaces_.size(); ++next) {
    out.surfaces[next] = surfaces_[next]->area().intersected(available);
    available = available.subtracted(out.surfaces[next]);
  }
  return out;
}

SystemSurface* ScreenLayout::surfaceAt(POINT screen) const {
  const ScreenOwnership& all = ownership();
  for (std::size_t i = 0; i < surfaces_.size(); ++i)
    if (all.surfaces[i].contains(screen.x, screen.y)) return surfaces_[i];
  return nullptr;
}

Region ScreenLayout::visibleRegion(const Window& window) const {
  const ScreenOwnership& all = ownership();
  auto it = all.windows.find(window.handle);
  return it == all.windows.end() ? Region() : it->second;
}

ScreenLayout::Snapshot ScreenLayout::snapshot() const {
  const WindowSystem& windows = WindowSystem::get();
  const ScreenOwnership& all = ownership();
  Snapshot out;
  out.surfaces = std::move(all.surfaces);
  for (auto& [hwnd, shown] : all.windows) {
    const Window* window = windows.find(hwnd);
    if (!window) continue;
    out.windows[hwnd] = Placement{std::move(shown), windows.screenRect(*window), windows.clientScreenRect(*window)};
  }
  return out;
}

void ScreenLayout::beginChange() {
  knownValid_ = false;
  if (depth_++ == 0 && !device_.scheduler().terminating()) before_ = snapshot();
}

void ScreenLayout::endChange() {
  knownValid_ = false;
  if (--depth_ > 0) return;
  if (!before_) return;
  // A device shutting down unwinds its threads: nothing is drawn any more.
  if (device_.scheduler().terminating()) {
    before_.reset();
    return;
  }
  Snapshot before = std::move(*before_);
  before_.reset();
  distribute(before, snapshot());
  refreshSurfaces();
}

void ScreenLayout::distribute(const Snapshot& before, const Snapshot& after) {
  auto& windows = WindowSystem::get();
  for (const auto& [hwnd, placement] : after.windows) {
    auto old = before.windows.find(hwnd);
    const bool moved = old == before.windows.end() || !SameRect(old->second.window, placement.window) ||
                       !SameRect(old->second.client, placement.client);
    Region exposed = moved ? placement.shown : placement.shown.subtracted(old->second.shown);
    if (exposed.empty()) continue;
    if (Window* window = windows.find(hwnd)) ExposeWindow(*window, exposed);
  }
  for (std::size_t i = 0; i < surfaces_.size() && i < after.surfaces.size(); ++i) {
    Region exposed = i < before.surfaces.size() ? after.surfaces[i].subtracted(before.surfaces[i]) : after.surfaces[i];
    if (!exposed.empty()) repaintSurface(*surfaces_[i], exposed);
  }
}

void ScreenLayout::repaintSurface(SystemSurface& surface, const std::optional<Region>& damage) {
  auto at = std::find(surfaces_.begin(), surfaces_.end(), &surface);
  if (at == surfaces_.end()) return;
  const ScreenOwnership& all = ownership();
  Region shown = all.surfaces[static_cast<std::size_t>(at - surfaces_.begin())];
  if (damage) shown = shown.intersected(*damage);
  if (shown.empty()) return;
  HDC dc = OpenScreenContext(nullptr, POINT{0, 0}, shown);
  surface.paint(dc);
  CloseContext(dc, "paint");
}

void ScreenLayout::exposeAll() {
  const ScreenOwnership all = ownership();
  auto& windows = WindowSystem::get();
  for (const auto& [hwnd, shown] : all.windows)
    if (Window* window = windows.find(hwnd)) ExposeWindow(*window, shown);
  for (SystemSurface* surface : surfaces_) repaintSurface(*surface);
}

void ScreenLayout::refreshSurfaces() {
  for (SystemSurface* surface : surfaces_) surface->refresh();
}

ScreenChange::ScreenChange() { ScreenLayout::get().beginChange(); }
ScreenChange::~ScreenChange() { ScreenLayout::get().endChange(); }

void ExposeWindow(Window& window, const Region& screenPixels) {
  if (window.redrawOff) return;
  RECT client = WindowSystem::get().clientScreenRect(window);
  Region frame = screenPixels.subtracted(client);
  if (!frame.empty()) DrawFrame(window, frame);
  Region inClient = screenPixels.intersected(client);
  if (inClient.empty()) return;
  inClient.offset(-client.left, -client.top);
  AddToUpdate(window, inClient, true);
}

}  // namespace sim
