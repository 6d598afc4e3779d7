// Creating, inspecting and deleting pens, brushes and fonts; DeleteObject and
// GetObjectW for every kind.
#include <algorithm>
#include <cstring>

#include <windows.h>

#include "gdi/dc.h"
#include "gdi/gdi_objects.h"

namespace {

using sim::GdiKind;
using sim::GdiObjects;

HGDIOBJ MakeOwned(GdiKind kind, sim::GdiContent content, int width = 0, int height = 0) {
  sim::GdiDescription description;
  description.kind = kind;
  description.width = width;
  description.height = height;
  return GdiObjects::get().create(std::move(description), sim::GdiOwnership::Owned, std::move(content));
}

template <class T>
int CopyOut(const T& value, int size, LPVOID buffer) {
  if (!buffer) return static_cast<int>(sizeof(T));
  int copied = std::min(size, static_cast<int>(sizeof(T)));
  if (copied <= 0) return 0;
  std::memcpy(buffer, &value, static_cast<std::size_t>(copied));
  return copied;
}

BITMAP BitmapRecord(const sim::BitmapData& data) {
  const sim::PixelBuffer& pixels = *data.pixels;
  BITMAP record{};
  record.bmWidth = pixels.width();
  record.bmHeight = pixels.height();
  record.bmWidthBytes = pixels.stride();
  record.bmPlanes = 1;
  record.bmBitsPixel = static_cast<WORD>(pixels.bitsPerPixel());
  record.bmBits = data.dibSection ? data.pixels->bits() : nullptr;
  return record;
}

}  // namespace

BOOL DeleteObject(HGDIOBJ object) {
  if (!object) return sim::FailWithError(ERROR_INVALID_HANDLE, FALSE);
  return GdiObjects::get().destroy(
             object, {GdiKind::Bitmap, GdiKind::Brush, GdiKind::Font, GdiKind::Pen, GdiKind::Region}, "DeleteObject")
             ? TRUE
             : FALSE;
}

int GetObjectW(HGDIOBJ object, int size, LPVOID buffer) {
  sim::GdiObject* found = GdiObjects::get().checked(
      object, {GdiKind::Bitmap, GdiKind::Brush, GdiKind::Font, GdiKind::Pen}, "GetObjectW");
  if (!found) return 0;
  if (auto* pen = found->as<sim::PenData>())
    return CopyOut(LOGPEN{static_cast<UINT>(pen->style), POINT{pen->width, 0}, pen->color}, size, buffer);
  if (auto* brush = found->as<sim::BrushData>())
    return CopyOut(LOGBRUSH{static_cast<UINT>(brush->style), brush->color, 0}, size, buffer);
  if (auto* font = found->as<sim::FontData>()) return CopyOut(font->logical, size, buffer);
  if (auto* bitmap = found->as<sim::BitmapData>()) return CopyOut(BitmapRecord(*bitmap), size, buffer);
  return 0;
}

DWORD GetObjectType(HGDIOBJ object) {
  if (sim::DeviceContext* context = sim::DeviceContexts::get().find(static_cast<HDC>(object)))
    return context->kind == sim::DcKind::Memory ? OBJ_MEMDC : OBJ_DC;
  sim::GdiObject* found = GdiObjects::get().checked(
      object, {GdiKind::Bitmap, GdiKind::Brush, GdiKind::Font, GdiKind::Pen, GdiKind::Region}, "GetObjectType");
  if (!found) return 0;
  switch (found->description.kind) {
    case GdiKind::Pen: return OBJ_PEN;
    case GdiKind::Brush: return OBJ_BRUSH;
    case GdiKind::Font: return OBJ_FONT;
    case GdiKind::Bitmap: return OBJ_BITMAP;
    default: return OBJ_REGION;
  }
}

HPEN CreatePen(int style, int width, COLORREF color) {
  if ((style != PS_SOLID && style != PS_DASH && style != PS_NULL) || width < 0)
    return sim::FailWithError(ERROR_INVALID_PARAMETER, static_cast<HPEN>(nullptr));
  // The device dashes only one-pixel pens; a wider dashed pen draws solid.
  if (style == PS_DASH && width > 1) style = PS_SOLID;
  return static_cast<HPEN>(MakeOwned(GdiKind::Pen, sim::PenData{style, std::max(width, 1), color}));
}

HPEN CreatePenIndirect(const LOGPEN* pen) {
  if (!pen) return sim::FailWithError(ERROR_INVALID_PARAMETER, static_cast<HPEN>(nullptr));
  return CreatePen(static_cast<int>(pen->lopnStyle), static_cast<int>(pen->lopnWidth.x), pen->lopnColor);
}

HBRUSH CreateSolidBrush(COLORREF color) {
  return static_cast<HBRUSH>(MakeOwned(GdiKind::Brush, sim::BrushData{BS_SOLID, color, nullptr}));
}

HBRUSH CreatePatternBrush(HBITMAP bitmap) {
  sim::GdiObject* source = GdiObjects::get().checked(bitmap, {GdiKind::Bitmap}, "CreatePatternBrush");
  if (!source) return nullptr;
  // The brush keeps its own copy: deleting the bitmap afterwards leaves it intact.
  auto pattern = std::make_shared<const sim::PixelBuffer>(*source->as<sim::BitmapData>()->pixels);
  return static_cast<HBRUSH>(MakeOwned(GdiKind::Brush, sim::BrushData{BS_PATTERN, RGB(0, 0, 0), pattern}));
}

HFONT CreateFontIndirectW(const LOGFONTW* font) {
  if (!font) return sim::FailWithError(ERROR_INVALID_PARAMETER, static_cast<HFONT>(nullptr));
  sim::FontData data;
  data.logical = *font;
  return static_cast<HFONT>(MakeOwned(GdiKind::Font, data));
}
