#include "user/screen_layout.h"

#include <algorithm>

#include "gdi/dc.h"
#include "gdi/frame_buffer.h"
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
  const RECT client = windows.clientScreenRect(window);
  Region mine = taken;
  auto shows = [](const Window* child) { return (child->style & WS_VISIBLE) && child->alive(); };
  if (std::any_of(window.children.begin(), window.children.end(), shows)) {
    Region childSpace = taken.intersected(client);
    for (const Window* child : window.children) {
      if (!shows(child) || childSpace.empty()) continue;
      Region got = Visit(windows, *child, childSpace, out);
      if (got.empty()) continue;
      childSpace = childSpace.subtracted(got);
      mine = mine.subtracted(got);
    }
  }
  out.windows.push_back(ShownWindow{window.handle, std::move(mine), outer, client});
  return taken;
}

std::array<LONG, 4> Corners(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

void GatherPlaces(const WindowSystem& windows, const Window& window, int depth,
                  std::vector<ScreenInputs::Place>& out) {
  ScreenInputs::Place& place = out.emplace_back();
  place.handle = window.handle;
  place.depth = depth;
  place.window = Corners(windows.screenRect(window));
  place.client = Corners(windows.clientScreenRect(window));
  place.hasSeeThrough = window.seeThrough.has_value();
  if (window.seeThrough) place.seeThrough = Corners(*window.seeThrough);
  for (const Window* child : window.children)
    if ((child->style & WS_VISIBLE) && child->alive()) GatherPlaces(windows, *child, depth + 1, out);
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
  FrameBuffer::get().setCatchUp([this] { catchUp(); });
}

ScreenLayout::~ScreenLayout() {
  if (FrameBuffer* screen = device_.findService<FrameBuffer>()) screen->setCatchUp({});
}

ScreenLayout& ScreenLayout::get() { return Device::current().service<ScreenLayout>(); }

void ScreenLayout::addSurface(std::unique_ptr<SystemSurface> surface) {
  const int layer = surface->layer();
  auto at = std::find_if(surfaces_.begin(), surfaces_.end(),
                         [&](const SystemSurface* other) { return other->layer() < layer; });
  owed_.insert(owed_.begin() + (at - surfaces_.begin()), Region());
  surfaces_.insert(at, surface.get());
  owned_.push_back(std::move(surface));
}

const ShownWindow* ScreenOwnership::find(HWND handle) const {
  auto at = std::lower_bound(windows.begin(), windows.end(), handle,
                             [](const ShownWindow& shown, HWND key) { return shown.handle < key; });
  return at != windows.end() && at->handle == handle ? &*at : nullptr;
}

const ScreenLayout::Picture& ScreenLayout::current() const {
  // Inside a change the windows move under it: every question looks at them
  // afresh, and the ownership is computed again only when they moved. Most changes
  // move nothing that shows (a control made in a hidden dialog, a window raised
  // that is already in front).
  if (!knownValid_ || depth_ > 0) {
    gather(gathered_);
    if (!known_ || known_->inputs != gathered_) known_ = std::make_shared<const ScreenOwnership>(compute(gathered_));
    knownValid_ = depth_ == 0;
  }
  return known_;
}

void ScreenLayout::gather(ScreenInputs& inputs) const {
  inputs.surfaceAreas.resize(surfaces_.size());
  for (std::size_t i = 0; i < surfaces_.size(); ++i) inputs.surfaceAreas[i] = surfaces_[i]->area();
  inputs.windows.clear();
  const WindowSystem& windows = WindowSystem::get();
  for (const Window* top : windows.topLevel())
    if ((top->style & WS_VISIBLE) && top->alive()) GatherPlaces(windows, *top, 0, inputs.windows);
}

const ScreenOwnership& ScreenLayout::ownership() const { return *current(); }

ScreenOwnership ScreenLayout::compute(const ScreenInputs& inputs) const {
  const WindowSystem& windows = WindowSystem::get();
  ScreenOwnership out;
  out.inputs = inputs;
  out.surfaces.resize(surfaces_.size());
  Region available(RECT{0, 0, windows.screenWidth(), windows.screenHeight()});
  std::size_t next = 0;
  for (; next < surfaces_.size() && surfaces_[next]->layer() >= 0; ++next) {
    out.surfaces[next] = inputs.surfaceAreas[next].intersected(available);
    available = available.subtracted(out.surfaces[next]);
  }
  for (const Window* top : windows.topLevel()) {
    if (!(top->style & WS_VISIBLE) || !top->alive() || available.empty()) continue;
    available = available.subtracted(Visit(windows, *top, available, out));
  }
  for (; next < surfaces_.size(); ++next) {
    out.surfaces[next] = inputs.surfaceAreas[next].intersected(available);
    available = available.subtracted(out.surfaces[next]);
  }
  std::sort(out.windows.begin(), out.windows.end(),
            [](const ShownWindow& a, const ShownWindow& b) { return a.handle < b.handle; });
  return out;
}

SystemSurface* ScreenLayout::surfaceAt(POINT screen) const {
  const ScreenOwnership& all = ownership();
  for (std::size_t i = 0; i < surfaces_.size(); ++i)
    if (all.surfaces[i].contains(screen.x, screen.y)) return surfaces_[i];
  return nullptr;
}

Region ScreenLayout::visibleRegion(const Window& window) const {
  const ShownWindow* shown = ownership().find(window.handle);
  return shown ? shown->shown : Region();
}

void ScreenLayout::beginChange() {
  // Outside a change the ownership kept since the last one is still true: it is the
  // picture of before, taken before it goes stale.
  if (depth_ == 0 && !device_.scheduler().terminating()) before_ = current();
  ++depth_;
  knownValid_ = false;
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
  Picture before = std::move(before_);
  before_.reset();
  Picture after = current();  // kept: painting asks it again
  if (after != before) distribute(*before, *after);
  refreshSurfaces();
}

void ScreenLayout::distribute(const ScreenOwnership& before, const ScreenOwnership& after) {
  auto& windows = WindowSystem::get();
  for (const ShownWindow& now : after.windows) {
    const ShownWindow* old = before.find(now.handle);
    const bool moved = !old || !SameRect(old->window, now.window) || !SameRect(old->client, now.client);
    Region exposed = moved ? now.shown : now.shown.subtracted(old->shown);
    if (exposed.empty()) continue;
    if (Window* window = windows.find(now.handle)) ExposeWindow(*window, exposed);
  }
  for (std::size_t i = 0; i < surfaces_.size() && i < after.surfaces.size(); ++i) {
    Region exposed = i < before.surfaces.size() ? after.surfaces[i].subtracted(before.surfaces[i]) : after.surfaces[i];
    if (!exposed.empty()) repaintSurface(*surfaces_[i], exposed);
  }
}

void ScreenLayout::repaintSurface(SystemSurface& surface, const std::optional<Region>& damage) {
  auto at = std::find(surfaces_.begin(), surfaces_.end(), &surface);
  if (at == surfaces_.end()) return;
  Region& owed = owed_[static_cast<std::size_t>(at - surfaces_.begin())];
  owed = owed.united(damage ? *damage : surface.area());
}

void ScreenLayout::catchUp() {
  // A surface's paint that reads the screen finds it being caught up: once is enough.
  if (catchingUp_ || device_.scheduler().terminating()) return;
  catchingUp_ = true;
  refreshSurfaces();
  for (std::size_t i = 0; i < surfaces_.size(); ++i) {
    if (owed_[i].empty()) continue;
    // Only what it owns now: pixels another took meanwhile are that one's to draw.
    Region shown = ownership().surfaces[i].intersected(owed_[i]);
    owed_[i] = Region();
    if (shown.empty()) continue;
    HDC dc = OpenScreenContext(nullptr, POINT{0, 0}, shown);
    surfaces_[i]->paint(dc);
    CloseContext(dc, "paint");
  }
  catchingUp_ = false;
}

void ScreenLayout::exposeAll() {
  const Picture all = current();  // held: exposing may paint, and painting inside a change computes afresh
  auto& windows = WindowSystem::get();
  for (const ShownWindow& shown : all->windows)
    if (Window* window = windows.find(shown.handle)) ExposeWindow(*window, shown.shown);
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
