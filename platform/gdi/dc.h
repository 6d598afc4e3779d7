// Device contexts: where and how a program draws.
//
// A device context draws into a target: the screen's frame buffer or the bitmap
// selected into a memory context. Logical coordinates are target pixels moved by
// the context's origin (a window context's origin is its window's or client area's
// top left on the screen). Every drawing call is clipped twice: to the context's
// visible region (the part of the target it may touch at all; for a window, the
// parts of the window no other window covers and, while painting, its update
// region) and to the program's own clip region (SelectClipRgn, IntersectClipRect,
// ExcludeClipRect), which is kept in logical coordinates.
//
// The window system makes window contexts with OpenScreenContext below: it passes
// the origin and the visible region in screen pixels and closes the context with
// CloseContext when the program releases it (ReleaseDC, EndPaint). Handles are
// never reused; a stale or unknown handle is a program fault.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include <windows.h>

#include "gdi/pixels.h"
#include "gdi/region.h"
#include "kernel/handle_records.h"

namespace sim {

class Device;

enum class DcKind { Screen, Memory };

// What SaveDC keeps and RestoreDC brings back.
struct DcAttributes {
  HPEN pen = nullptr;
  HBRUSH brush = nullptr;
  HFONT font = nullptr;
  HBITMAP bitmap = nullptr;  // memory contexts only
  COLORREF textColor = RGB(0, 0, 0);
  COLORREF backgroundColor = RGB(255, 255, 255);
  int backgroundMode = OPAQUE;
  UINT textAlign = TA_LEFT | TA_TOP;
  POINT position{0, 0};
  std::optional<Region> clip;  // the program's clip region, logical coordinates; none = no clipping
};

struct DeviceContext {
  DcKind kind = DcKind::Memory;
  HWND window = nullptr;  // the window a screen context belongs to; null for the whole screen
  std::shared_ptr<PixelBuffer> target;
  POINT origin{0, 0};  // target pixel of logical (0, 0)
  Region visible;      // target pixels this context may touch
  DcAttributes attributes;
  std::vector<DcAttributes> saved;
  Region clip;  // visible ∩ the program's clip, target pixels: what drawing may touch

  // Target pixels of a logical rectangle or point.
  RECT toTarget(RECT logical) const;
  POINT toTarget(int x, int y) const { return POINT{x + origin.x, y + origin.y}; }
  void updateClip();
};

class DeviceContexts {
 public:
  explicit DeviceContexts(Device& device) : device_(device) {}
  DeviceContexts(const DeviceContexts&) = delete;
  DeviceContexts& operator=(const DeviceContexts&) = delete;

  static DeviceContexts& get();

  HDC open(std::unique_ptr<DeviceContext> context);
  // The live context of a handle; a null, stale or unknown handle is a program
  // fault naming `operation` (ERROR_INVALID_HANDLE, null result).
  DeviceContext* checked(HDC dc, const char* operation);
  DeviceContext* find(HDC dc);
  // Gives every selected object back and forgets the context.
  bool close(HDC dc, const char* operation);
  std::size_t openCount() const { return contexts_.size(); }

  // How GetDC and GetWindowDC make a window's context: the window system installs
  // it (a context from OpenScreenContext with the window's origin and visible part).
  using WindowContextMaker = std::function<HDC(HWND window, bool wholeWindow)>;
  void setWindowContextMaker(WindowContextMaker maker) { windowContextMaker_ = std::move(maker); }
  const WindowContextMaker& windowContextMaker() const { return windowContextMaker_; }

 private:
  Device& device_;
  // Handles are handed out in steps of four and never again, so one that was
  // handed out and is not open has been closed: no record of it is kept.
  static constexpr std::uintptr_t kFirstHandle = 0x5D000010;
  bool handedOut(std::uintptr_t value) const;

  HandleRecords<DeviceContext> contexts_;  // the open ones
  std::uintptr_t nextHandle_ = kFirstHandle;
  WindowContextMaker windowContextMaker_;
};

// The window system's way to make a context on the screen: logical (0, 0) at
// `origin` (screen pixels), drawing limited to `visible` (screen pixels). The
// context starts with the stock black pen, white brush and system font.
HDC OpenScreenContext(HWND window, POINT origin, const Region& visible);
// Ends a context made by OpenScreenContext or CreateCompatibleDC.
bool CloseContext(HDC dc, const char* operation);

// Selects `object` into the context and records the selection on the object;
// gives the object it replaces (null on failure, with a fault reported).
HGDIOBJ SelectIntoContext(DeviceContext& context, HGDIOBJ object, const char* operation);
// After RestoreDC: draw into the restored bitmap and clip to the restored region.
void RestoreTarget(DeviceContext& context);
// Counts (or stops counting) the objects of a saved state as held by the context.
void HoldAttributes(const DcAttributes& attributes);
void ReleaseAttributes(const DcAttributes& attributes);

// The live context of a handle for a drawing call (a fault when there is none).
inline DeviceContext* ContextOf(HDC dc, const char* operation) {
  return DeviceContexts::get().checked(dc, operation);
}

// Sets the caller's last error and gives `result`.
template <class T>
T FailWithError(DWORD error, T result) {
  SetLastError(error);
  return result;
}

}  // namespace sim
