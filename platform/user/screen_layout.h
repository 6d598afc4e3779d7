// Who shows each pixel of the screen, and what must be drawn again when that changes.
//
// Every pixel belongs to exactly one thing: a system surface above the windows (an
// open menu, the input panel, the navigation bar), a window (its frame and client
// area, less its children and whatever lies above it: every window clips its
// children and its siblings, as on the device), or the desktop below them all.
//
// Operations that move, show, hide, raise, create or destroy windows, or open and
// close system surfaces, run inside a ScreenChange. When the outermost one ends,
// every window gets what it now shows and did not show before (all of it, when it
// moved, changed size or changed its frame): the frame part is drawn at once, the
// client part joins the window's update region for its next WM_PAINT. Uncovered
// parts of the desktop and of system surfaces are owed to the screen: the system
// draws them when the screen is next looked at (FrameBuffer::pixels), as the
// shell's own parts catch up in their own time on the device. Between two looks a
// surface may change many times (the title with every dialog that comes and goes)
// and only its last state shows. A surface only ever draws the pixels it owns, so
// drawing it late changes nothing a window draws. Painting happens on the device's
// one CPU in a fixed order, so a scenario always draws the same frame.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gdi/region.h"

namespace sim {

class Device;
struct Window;

// A part of the screen the system draws itself.
class SystemSurface {
 public:
  virtual ~SystemSurface() = default;
  // Higher layers lie above lower ones; layers below zero lie below every window.
  virtual int layer() const = 0;
  // The screen pixels it covers now.
  virtual Region area() const = 0;
  // Draws the surface on a screen context (logical 0, 0 at the screen's corner)
  // already clipped to the part of `area()` that shows and needs drawing.
  virtual void paint(HDC dc) = 0;
  // Called after changes that may alter what it shows (the window in front, a
  // title, the clock); a surface whose content changed asks to be drawn again.
  virtual void refresh() {}
  // A tap on the surface (or anywhere while it takes every tap): what the system
  // does with it. False when the tap goes nowhere.
  virtual bool takesAllTaps() const { return false; }
  virtual bool tap(POINT screen) { return false; }
  // What a person sees at a point of the surface, in words.
  virtual std::u16string describe(POINT screen) const = 0;
};

struct ShownWindow {
  HWND handle = nullptr;
  Region shown;  // what the window shows itself, frame included
  RECT window{};  // where it was on the screen, and its client area
  RECT client{};
};

// Everything ownership is computed from: each surface's area, and where each
// visible window is, in the order the screen is shared out (parents before their
// children, front to back). The same inputs give the same ownership.
struct ScreenInputs {
  struct Place {
    HWND handle = nullptr;
    int depth = 0;  // 0 for a top-level window
    std::array<LONG, 4> window{}, client{}, seeThrough{};
    bool hasSeeThrough = false;
    bool operator==(const Place&) const = default;
  };
  std::vector<Region> surfaceAreas;  // in the order of ScreenLayout::surfaces()
  std::vector<Place> windows;
  bool operator==(const ScreenInputs&) const = default;
};

struct ScreenOwnership {
  ScreenInputs inputs;               // what it was computed from
  std::vector<ShownWindow> windows;  // every visible window, by handle
  std::vector<Region> surfaces;      // in the order of ScreenLayout::surfaces()

  const ShownWindow* find(HWND handle) const;
};

class ScreenLayout {
 public:
  explicit ScreenLayout(Device& device);
  ~ScreenLayout();
  ScreenLayout(const ScreenLayout&) = delete;
  ScreenLayout& operator=(const ScreenLayout&) = delete;

  static ScreenLayout& get();

  // Surfaces register once and live as long as the layout.
  void addSurface(std::unique_ptr<SystemSurface> surface);
  const std::vector<SystemSurface*>& surfaces() const { return surfaces_; }
  template <class T>
  T* findSurface() const {
    for (SystemSurface* surface : surfaces_)
      if (auto* found = dynamic_cast<T*>(surface)) return found;
    return nullptr;
  }

  // Who shows what now. Kept between changes: outside a ScreenChange nothing that
  // decides it can change, so painting asks without computing it again, and the
  // next change takes it as its picture of before.
  const ScreenOwnership& ownership() const;
  // The surface showing a screen point, or null where a window or nothing is.
  SystemSurface* surfaceAt(POINT screen) const;
  // The screen pixels `window` shows itself (frame included); empty when hidden.
  Region visibleRegion(const Window& window) const;

  // See ScreenChange.
  void beginChange();
  void endChange();
  // Owes the screen a drawing of the surface where it shows (within `damage` when
  // given), made when the screen is next looked at.
  void repaintSurface(SystemSurface& surface, const std::optional<Region>& damage = std::nullopt);
  // Lets the surfaces check what they show and draws what is owed: the screen as a
  // person would see it now.
  void catchUp();
  // Everything is drawn again: every window's frame and client area, the desktop
  // and the surfaces (InvalidateRect with no window).
  void exposeAll();
  // Lets every surface check whether what it shows changed.
  void refreshSurfaces();

 private:
  using Picture = std::shared_ptr<const ScreenOwnership>;
  const Picture& current() const;
  void gather(ScreenInputs& inputs) const;
  ScreenOwnership compute(const ScreenInputs& inputs) const;
  void distribute(const ScreenOwnership& before, const ScreenOwnership& after);

  Device& device_;
  std::vector<std::unique_ptr<SystemSurface>> owned_;
  std::vector<SystemSurface*> surfaces_;  // topmost layer first
  std::vector<Region> owed_;  // by surface, in the order of surfaces_
  bool catchingUp_ = false;
  int depth_ = 0;
  Picture before_;  // the screen as the outermost change found it
  mutable Picture known_;
  mutable bool knownValid_ = false;
  mutable ScreenInputs gathered_;  // kept for its buffers
};

// Scope of a change to what the screen shows (see above). Nested scopes do nothing
// more than the outermost one.
class ScreenChange {
 public:
  ScreenChange();
  ~ScreenChange();
  ScreenChange(const ScreenChange&) = delete;
  ScreenChange& operator=(const ScreenChange&) = delete;
};

// Adds the surfaces of the parts above the window system (the shell's bars, its
// input panel and desktop). The screen layout calls it once, when it starts; it is
// defined where the platform is put together (boot/).
void InstallSystemSurfaces(ScreenLayout& layout);

// A window's pixels that changed: the frame part is drawn now, the client part is
// added to its update region (with the background to erase).
void ExposeWindow(Window& window, const Region& screenPixels);

}  // namespace sim
