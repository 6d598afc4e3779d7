#include "gdi/dc.h"

#include <algorithm>
#include <array>

#include "gdi/frame_buffer.h"
#include "gdi/gdi_objects.h"
#include "gdi/stock.h"
#include "kernel/device.h"

namespace sim {
namespace {

// Every context opened and closed asks this, so it is kept off the heap.
std::array<HGDIOBJ, 4> HeldObjects(const DcAttributes& a) { return {a.pen, a.brush, a.font, a.bitmap}; }

void Release(HGDIOBJ object) {
  if (GdiObject* held = GdiObjects::get().lookup(object); held && held->selections > 0) --held->selections;
}

void Hold(HGDIOBJ object) {
  if (GdiObject* held = GdiObjects::get().lookup(object)) ++held->selections;
}

bool HeldBy(const DeviceContext& context, HGDIOBJ object) {
  if (context.attributes.bitmap == object) return true;
  for (const auto& saved : context.saved)
    if (saved.bitmap == object) return true;
  return false;
}

HGDIOBJ* SlotFor(DcAttributes& a, GdiKind kind) {
  switch (kind) {
    case GdiKind::Pen: return reinterpret_cast<HGDIOBJ*>(&a.pen);
    case GdiKind::Brush: return reinterpret_cast<HGDIOBJ*>(&a.brush);
    case GdiKind::Font: return reinterpret_cast<HGDIOBJ*>(&a.font);
    case GdiKind::Bitmap: return reinterpret_cast<HGDIOBJ*>(&a.bitmap);
    default: return nullptr;
  }
}

// A bitmap can be held by one memory context at a time, as on the device; the
// stock bitmap every memory context starts with is shared by all of them.
bool BitmapSelectable(DeviceContext& context, HGDIOBJ object, const GdiObject& bitmap, const char* operation) {
  if (context.kind != DcKind::Memory) {
    ReportDrawingFault(operation, object, "a bitmap can only be selected into a memory device context");
    return false;
  }
  if (bitmap.ownership != GdiOwnership::Stock && bitmap.selections > 0 && !HeldBy(context, object)) {
    ReportDrawingFault(operation, object, "a bitmap already selected into another device context");
    return false;
  }
  return true;
}

void TargetBitmap(DeviceContext& context, HBITMAP bitmap) {
  const BitmapData* data = GdiObjects::get().lookup(bitmap)->as<BitmapData>();
  context.target = data->pixels;
  context.visible = Region(context.target->bounds());
  context.updateClip();
}

}  // namespace

RECT DeviceContext::toTarget(RECT logical) const {
  return RECT{logical.left + origin.x, logical.top + origin.y, logical.right + origin.x, logical.bottom + origin.y};
}

void DeviceContext::updateClip() {
  clip = visible;
  if (attributes.clip) {
    Region own = *attributes.clip;
    own.offset(origin.x, origin.y);
    clip = clip.intersected(own);
  }
}

DeviceContexts& DeviceContexts::get() { return Device::current().service<DeviceContexts>(); }

HDC DeviceContexts::open(std::unique_ptr<DeviceContext> context) {
  std::uintptr_t value = nextHandle_;
  nextHandle_ += 4;
  for (HGDIOBJ object : HeldObjects(context->attributes)) Hold(object);
  contexts_.add(value, std::move(context));
  return reinterpret_cast<HDC>(value);
}

DeviceContext* DeviceContexts::find(HDC dc) {
  return contexts_.find(reinterpret_cast<std::uintptr_t>(dc));
}

DeviceContext* DeviceContexts::checked(HDC dc, const char* operation) {
  if (DeviceContext* context = find(dc)) return context;
  bool stale = handedOut(reinterpret_cast<std::uintptr_t>(dc));
  ReportDrawingFault(operation, dc,
                     stale ? "a device context that was already deleted or released" : "not a device context");
  SetLastError(ERROR_INVALID_HANDLE);
  return nullptr;
}

bool DeviceContexts::close(HDC dc, const char* operation) {
  DeviceContext* context = checked(dc, operation);
  if (!context) return false;
  for (HGDIOBJ object : HeldObjects(context->attributes)) Release(object);
  for (const auto& saved : context->saved)
    for (HGDIOBJ object : HeldObjects(saved)) Release(object);
  contexts_.take(reinterpret_cast<std::uintptr_t>(dc));
  return true;
}

bool DeviceContexts::handedOut(std::uintptr_t value) const {
  return value >= kFirstHandle && value < nextHandle_ && (value - kFirstHandle) % 4 == 0;
}

HDC OpenScreenContext(HWND window, POINT origin, const Region& visible) {
  auto context = std::make_unique<DeviceContext>();
  context->kind = DcKind::Screen;
  context->window = window;
  context->target = FrameBuffer::get().shared();
  context->origin = origin;
  context->visible = visible.intersected(context->target->bounds());
  context->attributes.pen = static_cast<HPEN>(GetStockObject(BLACK_PEN));
  context->attributes.brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  context->attributes.font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  context->updateClip();
  return DeviceContexts::get().open(std::move(context));
}

bool CloseContext(HDC dc, const char* operation) { return DeviceContexts::get().close(dc, operation); }

HGDIOBJ SelectIntoContext(DeviceContext& context, HGDIOBJ object, const char* operation) {
  GdiObject* selected = GdiObjects::get().checked(
      object, {GdiKind::Pen, GdiKind::Brush, GdiKind::Font, GdiKind::Bitmap}, operation);
  if (!selected) return nullptr;
  GdiKind kind = selected->description.kind;
  if (kind == GdiKind::Bitmap && !BitmapSelectable(context, object, *selected, operation)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  HGDIOBJ* slot = SlotFor(context.attributes, kind);
  HGDIOBJ previous = *slot;
  if (previous == object) return previous;
  Hold(object);
  Release(previous);
  *slot = object;
  if (kind == GdiKind::Bitmap) TargetBitmap(context, static_cast<HBITMAP>(object));
  return previous;
}

void RestoreTarget(DeviceContext& context) {
  if (context.kind == DcKind::Memory && context.attributes.bitmap) TargetBitmap(context, context.attributes.bitmap);
  context.updateClip();
}

void HoldAttributes(const DcAttributes& attributes) {
  for (HGDIOBJ object : HeldObjects(attributes)) Hold(object);
}

void ReleaseAttributes(const DcAttributes& attributes) {
  for (HGDIOBJ object : HeldObjects(attributes)) Release(object);
}

}  // namespace sim
