// DrawTextW: formatted text in a rectangle.
#include <span>
#include <string>

#include <windows.h>

#include "gdi/text_layout.h"
#include "gdi/text_render.h"

namespace {

int LineLeft(const RECT& rect, int width, UINT format) {
  if (format & DT_CENTER) return rect.left + (rect.right - rect.left - width) / 2;
  if (format & DT_RIGHT) return rect.right - width;
  return rect.left;
}

// The top of the first line: single lines may sit in the middle or at the bottom.
int FirstTop(const RECT& rect, int height, UINT format) {
  if (!(format & DT_SINGLELINE)) return rect.top;
  if (format & DT_VCENTER) return rect.top + (rect.bottom - rect.top - height) / 2;
  if (format & DT_BOTTOM) return rect.bottom - height;
  return rect.top;
}

void DrawLine(sim::Canvas& canvas, const sim::TextFont& font, const sim::TextLayout& layout, const sim::LaidLine& line,
              POINT origin, const RECT* limit) {
  const sim::DcAttributes& a = canvas.context().attributes;
  const sim::FontMetrics& m = font.face.metrics();
  if (a.backgroundMode == OPAQUE) {
    RECT cell{origin.x, origin.y - m.ascent, origin.x + line.width, origin.y + m.descent};
    canvas.fillRect(limit ? sim::RectIntersection(cell, *limit) : cell, canvas.solid(a.backgroundColor));
  }
  const std::span<const int> x = layout.positionsOf(line);
  sim::DrawTextInkAt(canvas, font, origin, layout.textOf(line), x, a.textColor, limit);
  if (font.underline) sim::DrawUnderline(canvas, font, origin, 0, line.width, a.textColor, limit);
  if (line.underlined >= 0) {
    auto u = static_cast<std::size_t>(line.underlined);
    int end = u + 1 < x.size() ? x[u + 1] : line.width;
    sim::DrawUnderline(canvas, font, origin, x[u], end, a.textColor, limit);
  }
}

}  // namespace

int DrawTextW(HDC dc, LPCWSTR text, int count, LPRECT rect, UINT format) {
  sim::DeviceContext* context = sim::ContextOf(dc, "DrawTextW");
  if (!context) return 0;
  if (!rect || (!text && count != 0)) return sim::FailWithError(ERROR_INVALID_PARAMETER, 0);
  std::u16string_view source = text ? (count < 0 ? std::u16string_view(text) : std::u16string_view(text, count))
                                    : std::u16string_view();
  sim::TextFont font = sim::FontOfContext(*context);
  int lineHeight = font.face.metrics().height;
  sim::TextLayout layout = sim::LayOutText(font.face, source, format, static_cast<int>(rect->right - rect->left));
  int height = static_cast<int>(layout.lines.size()) * lineHeight;
  if (format & DT_CALCRECT) {
    rect->right = rect->left + layout.width;
    rect->bottom = rect->top + height;
    return height;
  }
  int top = FirstTop(*rect, height, format);
  sim::Canvas canvas(*context);
  RECT limit = context->toTarget(*rect);
  const RECT* clip = (format & DT_NOCLIP) ? nullptr : &limit;
  for (const sim::LaidLine& line : layout.lines) {
    POINT origin = context->toTarget(LineLeft(*rect, line.width, format), top + font.face.metrics().ascent);
    DrawLine(canvas, font, layout, line, origin, clip);
    top += lineHeight;
  }
  return (format & (DT_VCENTER | DT_BOTTOM)) && (format & DT_SINGLELINE) ? top - rect->top : height;
}
