#include "gdi/text_render.h"

#include <algorithm>

#include "gdi/fonts.h"
#include "gdi/gdi_objects.h"

namespace sim {

TextFont FontOfContext(const DeviceContext& context) {
  const GdiObject* object = GdiObjects::get().lookup(context.attributes.font);
  const FontData* data = object ? object->as<FontData>() : nullptr;
  LOGFONTW logical = data ? data->logical : LOGFONTW{};
  return TextFont{Fonts::get().faceOf(logical), logical.lfUnderline != 0};
}

char32_t CharacterAt(std::u16string_view text, std::size_t i, std::size_t* units) {
  char16_t c = text[i];
  if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
    *units = 2;
    return 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
  }
  *units = 1;
  return c;
}

std::vector<int> TextExtents(FontFace& face, std::u16string_view text) {
  std::vector<int> extents;
  int width = 0;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t units = 1;
    width += face.advance(CharacterAt(text, i, &units));
    for (std::size_t k = 0; k < units; ++k) extents.push_back(width);
    i += units;
  }
  return extents;
}

int TextWidth(FontFace& face, std::u16string_view text) {
  int width = 0;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t units = 1;
    width += face.advance(CharacterAt(text, i, &units));
    i += units;
  }
  return width;
}

void DrawTextInk(Canvas& canvas, const TextFont& font, POINT origin, std::u16string_view text, COLORREF color,
                 const RECT* limit, const int* dx) {
  Paint ink = canvas.solid(color);
  RECT bounds = canvas.clip().bounds();
  if (limit) bounds = RectIntersection(bounds, *limit);
  int penX = origin.x;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t units = 1;
    const Glyph& glyph = font.face.glyph(CharacterAt(text, i, &units));
    int left = penX + glyph.left, top = origin.y - glyph.top;
    for (int y = 0; y < glyph.height; ++y) {
      int ty = top + y;
      if (ty < bounds.top || ty >= bounds.bottom) continue;
      for (int x = 0; x < glyph.width; ++x) {
        int tx = left + x;
        if (!glyph.ink[static_cast<std::size_t>(y * glyph.width + x)] || tx < bounds.left || tx >= bounds.right)
          continue;
        canvas.plot(tx, ty, ink);
      }
    }
    penX += dx ? dx[i] + (units == 2 ? dx[i + 1] : 0) : glyph.advance;
    i += units;
  }
}

void DrawUnderline(Canvas& canvas, const TextFont& font, POINT origin, int from, int to, COLORREF color,
                   const RECT* limit) {
  // One row below the baseline, inside the line's descent.
  const FontMetrics& metrics = font.face.metrics();
  int y = origin.y + std::clamp(metrics.descent - 1, 0, 1);
  RECT line{origin.x + from, y, origin.x + to, y + std::max(1, metrics.pixelSize / 12)};
  if (limit) line = RectIntersection(line, *limit);
  canvas.fillRect(line, canvas.solid(color));
}

}  // namespace sim
