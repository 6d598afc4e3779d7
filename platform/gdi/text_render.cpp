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

namespace {

// Where drawing may put ink: inside the context's clip and `limit`. When the clip
// is one rectangle its bounds are the clip itself, and no pixel needs asking.
struct InkArea {
  RECT bounds;
  bool exact;
};

InkArea InkAreaOf(const Canvas& canvas, const RECT* limit) {
  RECT bounds = canvas.clip().bounds();
  if (limit) bounds = RectIntersection(bounds, *limit);
  return InkArea{bounds, canvas.clip().rects().size() == 1};
}

// Plots the ink of a glyph whose top left lies at (left, top), only the rows and
// columns of it inside the area.
void PlotGlyph(Canvas& canvas, const Glyph& glyph, int left, int top, const InkArea& area, std::uint32_t value) {
  const int x0 = std::max(0, static_cast<int>(area.bounds.left) - left);
  const int x1 = std::min(glyph.width, static_cast<int>(area.bounds.right) - left);
  const int y0 = std::max(0, static_cast<int>(area.bounds.top) - top);
  const int y1 = std::min(glyph.height, static_cast<int>(area.bounds.bottom) - top);
  PixelBuffer& target = canvas.target();
  for (int y = y0; y < y1; ++y) {
    const std::uint8_t* row = glyph.ink.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(glyph.width);
    for (int x = x0; x < x1; ++x)
      if (row[x] && (area.exact || canvas.visible(left + x, top + y))) target.setNative(left + x, top + y, value);
  }
}

// Draws each character's glyph with its origin where `penAt(unit, glyph)` puts it
// (the unit's index in the text and its glyph).
template <class PenAt>
void DrawGlyphs(Canvas& canvas, const TextFont& font, POINT origin, std::u16string_view text, COLORREF color,
                const RECT* limit, PenAt penAt) {
  const std::uint32_t value = canvas.target().toNative(color);
  const InkArea area = InkAreaOf(canvas, limit);
  if (RectEmpty(area.bounds)) return;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t units = 1;
    const Glyph& glyph = font.face.glyph(CharacterAt(text, i, &units));
    PlotGlyph(canvas, glyph, penAt(i, units, glyph) + glyph.left, origin.y - glyph.top, area, value);
    i += units;
  }
}

}  // namespace

void DrawTextInk(Canvas& canvas, const TextFont& font, POINT origin, std::u16string_view text, COLORREF color,
                 const RECT* limit, const int* dx) {
  int penX = origin.x;
  DrawGlyphs(canvas, font, origin, text, color, limit, [&](std::size_t i, std::size_t units, const Glyph& glyph) {
    int at = penX;
    penX += dx ? dx[i] + (units == 2 ? dx[i + 1] : 0) : glyph.advance;
    return at;
  });
}

void DrawTextInkAt(Canvas& canvas, const TextFont& font, POINT origin, std::u16string_view text,
                   std::span<const int> positions, COLORREF color, const RECT* limit) {
  DrawGlyphs(canvas, font, origin, text, color, limit,
             [&](std::size_t i, std::size_t, const Glyph&) { return origin.x + positions[i]; });
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
