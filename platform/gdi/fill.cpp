// Filling: FillRect, FillRgn, PatBlt, SetPixel and GetPixel.
#include <windows.h>

#include "gdi/canvas.h"
#include "gdi/gdi_objects.h"
#include "gdi/syscolor.h"

namespace sim {

// A brush a drawing call was given: a brush handle, or a system colour index plus
// one as class brushes use. Null (with a fault reported) when it is neither.
HBRUSH BrushArgument(HBRUSH brush, const char* operation) {
  auto value = reinterpret_cast<std::uintptr_t>(brush);
  if (value >= 1 && value <= kSystemColorCount) return GetSysColorBrush(static_cast<int>(value - 1));
  if (!GdiObjects::get().checked(brush, {GdiKind::Brush}, operation)) return nullptr;
  return brush;
}

}  // namespace sim

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
  sim::DeviceContext* context = sim::ContextOf(dc, "FillRect");
  if (!context) return 0;
  HBRUSH fill = sim::BrushArgument(brush, "FillRect");
  if (!fill || !rect) return 0;
  sim::Canvas canvas(*context);
  canvas.fillRect(context->toTarget(*rect), canvas.brush(fill));
  return 1;
}

BOOL FillRgn(HDC dc, HRGN region, HBRUSH brush) {
  sim::DeviceContext* context = sim::ContextOf(dc, "FillRgn");
  if (!context) return FALSE;
  sim::GdiObject* shape = sim::GdiObjects::get().checked(region, {sim::GdiKind::Region}, "FillRgn");
  HBRUSH fill = shape ? sim::BrushArgument(brush, "FillRgn") : nullptr;
  if (!fill) return FALSE;
  sim::Canvas canvas(*context);
  sim::Paint paint = canvas.brush(fill);
  for (const RECT& r : shape->as<sim::RegionData>()->region.rects()) canvas.fillRect(context->toTarget(r), paint);
  return TRUE;
}

BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop) {
  sim::DeviceContext* context = sim::ContextOf(dc, "PatBlt");
  if (!context) return FALSE;
  std::uint8_t rop3 = sim::Rop3(rop);
  // PatBlt combines only pattern and target: the table must not depend on a source.
  if (((rop3 >> 2) & 0x33) != (rop3 & 0x33)) return sim::FailWithError(ERROR_INVALID_PARAMETER, FALSE);
  RECT area{x, y, x + width, y + height};
  if (width < 0) std::swap(area.left, area.right);
  if (height < 0) std::swap(area.top, area.bottom);
  sim::Canvas canvas(*context);
  sim::Paint paint = canvas.brush();
  if (paint.none) {
    // A null brush leaves what depends on the pattern alone; BLACKNESS, WHITENESS
    // and DSTINVERT still work.
    bool usesPattern = ((rop3 >> 4) & 0x0F) != (rop3 & 0x0F);
    if (usesPattern) return TRUE;
    paint = canvas.solid(RGB(0, 0, 0));
  }
  canvas.fillRect(context->toTarget(area), paint, rop3);
  return TRUE;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
  sim::DeviceContext* context = sim::ContextOf(dc, "SetPixel");
  if (!context) return static_cast<COLORREF>(-1);
  POINT at = context->toTarget(x, y);
  if (!context->clip.contains(at.x, at.y)) return static_cast<COLORREF>(-1);
  sim::PixelBuffer& target = *context->target;
  target.setColor(at.x, at.y, color);
  return target.color(at.x, at.y);
}

COLORREF GetPixel(HDC dc, int x, int y) {
  sim::DeviceContext* context = sim::ContextOf(dc, "GetPixel");
  if (!context) return CLR_INVALID;
  POINT at = context->toTarget(x, y);
  if (!context->clip.contains(at.x, at.y)) return CLR_INVALID;
  return context->target->color(at.x, at.y);
}
