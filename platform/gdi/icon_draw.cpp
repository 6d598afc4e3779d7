// DrawIconEx and the icon drawing image lists share.
#include "gdi/icon_draw.h"

#include "gdi/blit.h"

namespace sim {

bool DrawIconImages(Canvas& canvas, const RECT& to, const IconData& icon, UINT flags) {
  if (!icon.color) return false;
  RECT whole{0, 0, icon.color->width(), icon.color->height()};
  bool masked = (flags & DI_MASK) && icon.mask;
  if (masked) {
    BlitSource mask;
    mask.pixels = icon.mask.get();
    BlitPixels(canvas, to, mask, whole, Rop3(SRCAND));
  }
  if (flags & DI_IMAGE) {
    BlitSource color;
    color.pixels = icon.color.get();
    BlitPixels(canvas, to, color, whole, Rop3(masked ? SRCINVERT : SRCCOPY));
  }
  return true;
}

}  // namespace sim

BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int width, int height, UINT step, HBRUSH flicker, UINT flags) {
  sim::DeviceContext* context = sim::ContextOf(dc, "DrawIconEx");
  if (!context) return FALSE;
  sim::GdiObject* object =
      sim::GdiObjects::get().checked(icon, {sim::GdiKind::Icon, sim::GdiKind::Cursor}, "DrawIconEx");
  if (!object) return FALSE;
  const sim::IconData* images = object->as<sim::IconData>();
  if (!images || !images->color) return sim::FailWithError(ERROR_INVALID_DATA, FALSE);
  if (width == 0) width = images->color->width();
  if (height == 0) height = images->color->height();
  sim::Canvas canvas(*context);
  RECT to = context->toTarget(RECT{x, y, x + width, y + height});
  if (flicker) {
    sim::GdiObject* brush = sim::GdiObjects::get().checked(flicker, {sim::GdiKind::Brush}, "DrawIconEx");
    if (!brush) return FALSE;
    canvas.fillRect(to, canvas.brush(flicker));
  }
  return sim::DrawIconImages(canvas, to, *images, flags ? flags : DI_NORMAL) ? TRUE : FALSE;
}
