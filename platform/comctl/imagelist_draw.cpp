// ImageList_Draw and ImageList_DrawEx.
#include "comctl/imagelist.h"
#include "gdi/blit.h"

namespace {

using sim::ImageList;
using sim::ListImage;

void Blit(sim::Canvas& canvas, const RECT& to, const sim::PixelBuffer& pixels, DWORD rop) {
  sim::BlitSource source;
  source.pixels = &pixels;
  sim::BlitPixels(canvas, to, source, RECT{0, 0, to.right - to.left, to.bottom - to.top}, sim::Rop3(rop));
}

// A selected or focused image is dithered with the foreground colour: every
// second opaque pixel (ILD_BLEND50) or every fourth (ILD_BLEND25).
void Blend(sim::Canvas& canvas, const RECT& to, const ListImage& image, COLORREF color, UINT style) {
  sim::Paint ink = canvas.solid(color);
  for (int y = to.top; y < to.bottom; ++y) {
    for (int x = to.left; x < to.right; ++x) {
      int ix = x - to.left, iy = y - to.top;
      if (image.pixels.mask && image.pixels.mask->native(ix, iy)) continue;
      bool dot = (style & ILD_BLEND50) ? ((x + y) & 1) == 0 : (x & 1) == 0 && (y & 1) == 0;
      if (dot) canvas.plot(x, y, ink);
    }
  }
}

void DrawImage(sim::Canvas& canvas, const RECT& to, const ImageList& list, const ListImage& image,
               COLORREF background, UINT style) {
  const sim::IconData& pixels = image.pixels;
  if (style & ILD_MASK) {
    if (pixels.mask) Blit(canvas, to, *pixels.mask, SRCCOPY);
    return;
  }
  if (!pixels.mask) {
    Blit(canvas, to, *pixels.color, SRCCOPY);
    return;
  }
  if (background != CLR_NONE && !(style & ILD_TRANSPARENT)) canvas.fillRect(to, canvas.solid(background));
  Blit(canvas, to, *pixels.mask, SRCAND);
  Blit(canvas, to, *pixels.color, SRCINVERT);
}

}  // namespace

BOOL ImageList_DrawEx(HIMAGELIST himl, int index, HDC dc, int x, int y, int dx, int dy, COLORREF background,
                      COLORREF foreground, UINT style) {
  ImageList* list = sim::ImageLists::get().checked(himl, "ImageList_DrawEx");
  sim::DeviceContext* context = list ? sim::ContextOf(dc, "ImageList_DrawEx") : nullptr;
  if (!context || index < 0 || index >= static_cast<int>(list->images.size())) return FALSE;
  const ListImage& image = list->images[static_cast<std::size_t>(index)];
  if (!image.pixels.color) return FALSE;
  int width = dx > 0 ? std::min(dx, list->width) : list->width;
  int height = dy > 0 ? std::min(dy, list->height) : list->height;
  sim::Canvas canvas(*context);
  RECT to = context->toTarget(RECT{x, y, x + width, y + height});
  DrawImage(canvas, to, *list, image, background == CLR_DEFAULT ? list->background : background, style);
  COLORREF blend = foreground == CLR_DEFAULT ? GetSysColor(COLOR_HIGHLIGHT) : foreground;
  if ((style & (ILD_BLEND25 | ILD_BLEND50)) && blend != CLR_NONE && !(style & ILD_MASK))
    Blend(canvas, to, image, blend, style);
  return TRUE;
}

BOOL ImageList_Draw(HIMAGELIST himl, int index, HDC dc, int x, int y, UINT style) {
  return ImageList_DrawEx(himl, index, dc, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, style);
}
