// BitBlt, StretchBlt and TransparentImage.
#include <windows.h>

#include "gdi/blit.h"
#include "gdi/gdi_objects.h"

namespace {

bool UsesSource(std::uint8_t rop3) { return ((rop3 >> 2) & 0x33) != (rop3 & 0x33); }

BOOL Blit(const char* operation, HDC target, RECT to, HDC source, RECT from, DWORD rop) {
  sim::DeviceContext* context = sim::ContextOf(target, operation);
  if (!context) return FALSE;
  std::uint8_t rop3 = sim::Rop3(rop);
  sim::Canvas canvas(*context);
  if (!UsesSource(rop3)) {
    sim::BlitSource none;
    sim::PixelBuffer one(1, 1, sim::PixelFormat::Screen());
    none.pixels = &one;
    sim::BlitPixels(canvas, context->toTarget(to), none, RECT{0, 0, to.right - to.left, to.bottom - to.top}, rop3);
    return TRUE;
  }
  sim::DeviceContext* sourceContext = sim::ContextOf(source, operation);
  if (!sourceContext) return FALSE;
  sim::BlitPixels(canvas, context->toTarget(to), sim::SourceOf(*sourceContext), sourceContext->toTarget(from), rop3);
  return TRUE;
}

// TransparentImage takes a context or a bitmap that no context holds.
std::optional<sim::BlitSource> TransparentSource(HANDLE source, RECT& from) {
  if (sim::DeviceContext* context = sim::DeviceContexts::get().find(static_cast<HDC>(source))) {
    from = context->toTarget(from);
    return sim::SourceOf(*context);
  }
  sim::GdiObject* bitmap = sim::GdiObjects::get().checked(source, {sim::GdiKind::Bitmap}, "TransparentImage");
  if (!bitmap) return std::nullopt;
  if (bitmap->selections > 0) {
    sim::ReportDrawingFault("TransparentImage", source, "a bitmap selected into a device context");
    return std::nullopt;
  }
  const sim::BitmapData* data = bitmap->as<sim::BitmapData>();
  sim::BlitSource blit;
  blit.pixels = data->pixels.get();
  blit.monochromeDevice = data->pixels->monochrome() && !data->dibSection;
  return blit;
}

}  // namespace

BOOL BitBlt(HDC target, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop) {
  return Blit("BitBlt", target, RECT{x, y, x + width, y + height}, source,
              RECT{sourceX, sourceY, sourceX + width, sourceY + height}, rop);
}

BOOL StretchBlt(HDC target, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight, DWORD rop) {
  return Blit("StretchBlt", target, RECT{x, y, x + width, y + height}, source,
              RECT{sourceX, sourceY, sourceX + sourceWidth, sourceY + sourceHeight}, rop);
}

BOOL TransparentImage(HDC target, int x, int y, int width, int height, HANDLE source, int sourceX, int sourceY,
                      int sourceWidth, int sourceHeight, COLORREF transparent) {
  sim::DeviceContext* context = sim::ContextOf(target, "TransparentImage");
  if (!context) return FALSE;
  // Negative sizes do not mirror here, unlike StretchBlt.
  if (width < 0 || height < 0 || sourceWidth < 0 || sourceHeight < 0)
    return sim::FailWithError(ERROR_INVALID_PARAMETER, FALSE);
  RECT from{sourceX, sourceY, sourceX + sourceWidth, sourceY + sourceHeight};
  auto blit = TransparentSource(source, from);
  if (!blit) return sim::FailWithError(ERROR_INVALID_HANDLE, FALSE);
  blit->transparent = transparent;
  sim::Canvas canvas(*context);
  sim::BlitPixels(canvas, context->toTarget(RECT{x, y, x + width, y + height}), *blit, from, 0xCC);
  return TRUE;
}
