// Regions and a device context's clipping.
#include <windows.h>

#include "gdi/dc.h"
#include "gdi/gdi_objects.h"

namespace {

using sim::Region;

Region* RegionOf(HRGN handle, const char* operation) {
  sim::GdiObject* object = sim::GdiObjects::get().checked(handle, {sim::GdiKind::Region}, operation);
  return object ? &object->as<sim::RegionData>()->region : nullptr;
}

RECT Normalized(int left, int top, int right, int bottom) {
  return RECT{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}

// The part of the context's target it may draw into, in the context's coordinates.
Region VisibleInContext(const sim::DeviceContext& context) {
  Region visible = context.visible;
  visible.offset(-context.origin.x, -context.origin.y);
  return visible;
}

int SetContextClip(sim::DeviceContext& context, std::optional<Region> clip) {
  context.attributes.clip = std::move(clip);
  context.updateClip();
  return context.clip.complexity();
}

}  // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  sim::GdiDescription description;
  description.kind = sim::GdiKind::Region;
  sim::RegionData data{Region(Normalized(left, top, right, bottom))};
  return static_cast<HRGN>(sim::GdiObjects::get().create(std::move(description), sim::GdiOwnership::Owned, data));
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
  if (!rect) return sim::FailWithError(ERROR_INVALID_PARAMETER, static_cast<HRGN>(nullptr));
  return CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom) {
  Region* target = RegionOf(region, "SetRectRgn");
  if (!target) return FALSE;
  *target = Region(Normalized(left, top, right, bottom));
  return TRUE;
}

int CombineRgn(HRGN target, HRGN a, HRGN b, int mode) {
  Region* result = RegionOf(target, "CombineRgn");
  Region* first = result ? RegionOf(a, "CombineRgn") : nullptr;
  if (!first) return ERROR;
  if (mode == RGN_COPY) {
    *result = *first;
    return result->complexity();
  }
  Region* second = RegionOf(b, "CombineRgn");
  if (!second) return ERROR;
  switch (mode) {
    case RGN_AND: *result = first->intersected(*second); break;
    case RGN_OR: *result = first->united(*second); break;
    case RGN_XOR: *result = first->exclusiveOr(*second); break;
    case RGN_DIFF: *result = first->subtracted(*second); break;
    default: return sim::FailWithError(ERROR_INVALID_PARAMETER, ERROR);
  }
  return result->complexity();
}

int OffsetRgn(HRGN region, int dx, int dy) {
  Region* target = RegionOf(region, "OffsetRgn");
  if (!target) return ERROR;
  target->offset(dx, dy);
  return target->complexity();
}

int GetRgnBox(HRGN region, LPRECT rect) {
  Region* source = RegionOf(region, "GetRgnBox");
  if (!source || !rect) return ERROR;
  *rect = source->bounds();
  return source->complexity();
}

BOOL PtInRegion(HRGN region, int x, int y) {
  Region* source = RegionOf(region, "PtInRegion");
  return source && source->contains(x, y) ? TRUE : FALSE;
}

BOOL EqualRgn(HRGN a, HRGN b) {
  Region* first = RegionOf(a, "EqualRgn");
  Region* second = first ? RegionOf(b, "EqualRgn") : nullptr;
  return second && *first == *second ? TRUE : FALSE;
}

int SelectClipRgn(HDC dc, HRGN region) {
  sim::DeviceContext* context = sim::ContextOf(dc, "SelectClipRgn");
  if (!context) return ERROR;
  if (!region) return SetContextClip(*context, std::nullopt);
  Region* source = RegionOf(region, "SelectClipRgn");
  if (!source) return ERROR;
  return SetContextClip(*context, *source);  // a copy: the program keeps its region
}

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom) {
  sim::DeviceContext* context = sim::ContextOf(dc, "IntersectClipRect");
  if (!context) return ERROR;
  Region rect(Normalized(left, top, right, bottom));
  const auto& clip = context->attributes.clip;
  return SetContextClip(*context, clip ? clip->intersected(rect) : rect);
}

int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom) {
  sim::DeviceContext* context = sim::ContextOf(dc, "ExcludeClipRect");
  if (!context) return ERROR;
  Region rect(Normalized(left, top, right, bottom));
  const auto& clip = context->attributes.clip;
  return SetContextClip(*context, (clip ? *clip : VisibleInContext(*context)).subtracted(rect));
}

int GetClipBox(HDC dc, LPRECT rect) {
  sim::DeviceContext* context = sim::ContextOf(dc, "GetClipBox");
  if (!context || !rect) return ERROR;
  Region clip = context->clip;
  clip.offset(-context->origin.x, -context->origin.y);
  *rect = clip.bounds();
  return clip.complexity();
}

int GetClipRgn(HDC dc, HRGN region) {
  sim::DeviceContext* context = sim::ContextOf(dc, "GetClipRgn");
  Region* target = context ? RegionOf(region, "GetClipRgn") : nullptr;
  if (!target) return -1;
  if (!context->attributes.clip) return 0;
  *target = *context->attributes.clip;
  return 1;
}
