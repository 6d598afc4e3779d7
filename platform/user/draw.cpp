#include "user/draw.h"

#include <algorithm>

#include "gdi/blit.h"
#include "gdi/dc.h"
#include "gdi/fonts.h"
#include "gdi/gdi_objects.h"
#include "gdi/text_layout.h"
#include "user/window.h"

namespace sim {

int Scaled(int pixels) { return pixels * WindowSystem::get().scale(); }

void OutlineRect(HDC dc, const RECT& rect, HBRUSH brush, int thickness) {
  const LONG t = thickness;
  if (rect.right - rect.left <= 0 || rect.bottom - rect.top <= 0) return;
  RECT top{rect.left, rect.top, rect.right, std::min(rect.bottom, rect.top + t)};
  RECT bottom{rect.left, std::max(rect.top, rect.bottom - t), rect.right, rect.bottom};
  RECT left{rect.left, rect.top, std::min(rect.right, rect.left + t), rect.bottom};
  RECT right{std::max(rect.left, rect.right - t), rect.top, rect.right, rect.bottom};
  FillRect(dc, &top, brush);
  FillRect(dc, &bottom, brush);
  FillRect(dc, &left, brush);
  FillRect(dc, &right, brush);
}

void FillWithSysColor(HDC dc, const RECT& rect, int colorIndex) { FillRect(dc, &rect, GetSysColorBrush(colorIndex)); }

HGDIOBJ UseSystemFont(HDC dc) { return SelectObject(dc, GetStockObject(SYSTEM_FONT)); }

void DrawBitmapAt(HDC dc, HBITMAP bitmap, POINT at) {
  DeviceContext* context = DeviceContexts::get().find(dc);
  const GdiObject* object = GdiObjects::get().lookup(bitmap);
  const BitmapData* data = object ? object->as<BitmapData>() : nullptr;
  if (!context || !data || !data->pixels) return;
  const PixelBuffer& pixels = *data->pixels;
  BlitSource source;
  source.pixels = &pixels;
  source.monochromeDevice = pixels.monochrome() && !data->dibSection;
  Canvas canvas(*context);
  RECT to = context->toTarget(RECT{at.x, at.y, at.x + pixels.width(), at.y + pixels.height()});
  BlitPixels(canvas, to, source, pixels.bounds(), Rop3(SRCCOPY));
}

int SystemTextWidth(std::u16string_view text, UINT format) {
  Fonts& fonts = Fonts::get();
  return LayOutText(fonts.face(fonts.systemPixelSize(), false), text, format, 0x7FFF).width;
}

int SystemLineHeight() {
  Fonts& fonts = Fonts::get();
  return fonts.face(fonts.systemPixelSize(), false).metrics().height;
}

namespace {

void Dab(HDC dc, int x, int y, int size, HBRUSH brush) {
  RECT r{x, y, x + size, y + size};
  FillRect(dc, &r, brush);
}

POINT CentreOf(const RECT& box, int width, int height) {
  return POINT{box.left + (box.right - box.left - width) / 2, box.top + (box.bottom - box.top - height) / 2};
}

}  // namespace

// The tick: a short stroke down to the right, then a long one up, two pixels thick
// on the small screen.
void DrawTick(HDC dc, const RECT& box, COLORREF color) {
  const int s = WindowSystem::get().scale();
  HBRUSH brush = CreateSolidBrush(color);
  POINT at = CentreOf(box, 9 * s, 8 * s);
  for (int i = 0; i < 3; ++i) Dab(dc, at.x + i * s, at.y + (4 + i) * s, 2 * s, brush);
  for (int i = 0; i < 6; ++i) Dab(dc, at.x + (3 + i) * s, at.y + (5 - i) * s, 2 * s, brush);
  DeleteObject(brush);
}

void DrawDot(HDC dc, const RECT& box, COLORREF color) {
  const int s = WindowSystem::get().scale();
  HBRUSH brush = CreateSolidBrush(color);
  POINT at = CentreOf(box, 6 * s, 6 * s);
  static constexpr int kWidths[6] = {2, 4, 6, 6, 4, 2};
  for (int row = 0; row < 6; ++row) {
    RECT line{at.x + (6 - kWidths[row]) / 2 * s, at.y + row * s, at.x + (6 + kWidths[row]) / 2 * s,
              at.y + (row + 1) * s};
    FillRect(dc, &line, brush);
  }
  DeleteObject(brush);
}

void DrawArrowRight(HDC dc, const RECT& box, COLORREF color) {
  const int s = WindowSystem::get().scale();
  HBRUSH brush = CreateSolidBrush(color);
  POINT at = CentreOf(box, 4 * s, 7 * s);
  for (int column = 0; column < 4; ++column) {
    RECT line{at.x + column * s, at.y + column * s, at.x + (column + 1) * s, at.y + (7 - column) * s};
    FillRect(dc, &line, brush);
  }
  DeleteObject(brush);
}

void DrawArrowDown(HDC dc, const RECT& box, COLORREF color) {
  const int s = WindowSystem::get().scale();
  HBRUSH brush = CreateSolidBrush(color);
  POINT at = CentreOf(box, 7 * s, 4 * s);
  for (int row = 0; row < 4; ++row) {
    RECT line{at.x + row * s, at.y + row * s, at.x + (7 - row) * s, at.y + (row + 1) * s};
    FillRect(dc, &line, brush);
  }
  DeleteObject(brush);
}

}  // namespace sim
