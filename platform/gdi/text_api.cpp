// ExtTextOutW and text measuring: GetTextExtentPoint32W, GetTextExtentExPointW,
// GetTextMetricsW.
#include <string_view>

#include <windows.h>

#include "gdi/text_render.h"

namespace {

using sim::TextFont;

// The baseline's left end of a text drawn at (x, y) under the context's alignment.
POINT Anchor(const sim::DeviceContext& context, const TextFont& font, int x, int y, int width) {
  UINT align = context.attributes.textAlign;
  const sim::FontMetrics& metrics = font.face.metrics();
  if ((align & TA_CENTER) == TA_CENTER) x -= width / 2;
  else if (align & TA_RIGHT) x -= width;
  if ((align & TA_BASELINE) == TA_BASELINE) return POINT{x, y};
  return POINT{x, (align & TA_BOTTOM) ? y - metrics.descent : y + metrics.ascent};
}

int RunWidth(TextFont& font, std::u16string_view text, const int* dx) {
  if (!dx) return sim::TextWidth(font.face, text);
  int width = 0;
  for (std::size_t i = 0; i < text.size(); ++i) width += dx[i];
  return width;
}

}  // namespace

BOOL ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count, const int* dx) {
  sim::DeviceContext* context = sim::ContextOf(dc, "ExtTextOutW");
  if (!context) return FALSE;
  if ((!text && count > 0) || ((options & (ETO_OPAQUE | ETO_CLIPPED)) && !rect))
    return sim::FailWithError(ERROR_INVALID_PARAMETER, FALSE);
  sim::Canvas canvas(*context);
  const sim::DcAttributes& a = context->attributes;
  std::optional<RECT> limit;
  if (rect) limit = context->toTarget(*rect);
  if (options & ETO_OPAQUE) canvas.fillRect(*limit, canvas.solid(a.backgroundColor));
  TextFont font = sim::FontOfContext(*context);
  std::u16string_view run(text ? text : u"", count);
  int width = RunWidth(font, run, dx);
  bool fromPosition = (a.textAlign & TA_UPDATECP) != 0;
  POINT start = fromPosition ? a.position : POINT{x, y};
  POINT base = Anchor(*context, font, start.x, start.y, width);
  POINT origin = context->toTarget(base.x, base.y);
  const RECT* clip = (options & ETO_CLIPPED) ? &*limit : nullptr;
  if (a.backgroundMode == OPAQUE) {
    RECT cell{origin.x, origin.y - font.face.metrics().ascent, origin.x + width, origin.y + font.face.metrics().descent};
    canvas.fillRect(clip ? sim::RectIntersection(cell, *clip) : cell, canvas.solid(a.backgroundColor));
  }
  sim::DrawTextInk(canvas, font, origin, run, a.textColor, clip, dx);
  if (font.underline) sim::DrawUnderline(canvas, font, origin, 0, width, a.textColor, clip);
  if (fromPosition) context->attributes.position.x = start.x + ((a.textAlign & TA_RIGHT) ? -width : width);
  return TRUE;
}

BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, LPSIZE size) {
  sim::DeviceContext* context = sim::ContextOf(dc, "GetTextExtentPoint32W");
  if (!context) return FALSE;
  if (!size || count < 0 || (!text && count > 0)) return sim::FailWithError(ERROR_INVALID_PARAMETER, FALSE);
  TextFont font = sim::FontOfContext(*context);
  size->cx = sim::TextWidth(font.face, std::u16string_view(text ? text : u"", static_cast<std::size_t>(count)));
  size->cy = font.face.metrics().height;
  return TRUE;
}

BOOL GetTextExtentExPointW(HDC dc, LPCWSTR text, int count, int maxExtent, LPINT fit, LPINT extents, LPSIZE size) {
  sim::DeviceContext* context = sim::ContextOf(dc, "GetTextExtentExPointW");
  if (!context) return FALSE;
  if (!size || count < 0 || (!text && count > 0)) return sim::FailWithError(ERROR_INVALID_PARAMETER, FALSE);
  TextFont font = sim::FontOfContext(*context);
  std::vector<int> ends = sim::TextExtents(font.face, std::u16string_view(text ? text : u"", count));
  int fitting = 0;
  while (fitting < count && ends[static_cast<std::size_t>(fitting)] <= maxExtent) ++fitting;
  if (fit) *fit = fitting;
  // Only the extents of the characters that fit are filled in when a limit is asked for.
  int filled = fit ? fitting : count;
  for (int i = 0; extents && i < filled; ++i) extents[i] = ends[static_cast<std::size_t>(i)];
  size->cx = count ? ends.back() : 0;
  size->cy = font.face.metrics().height;
  return TRUE;
}

BOOL GetTextMetricsW(HDC dc, LPTEXTMETRICW metrics) {
  sim::DeviceContext* context = sim::ContextOf(dc, "GetTextMetricsW");
  if (!context) return FALSE;
  if (!metrics) return sim::FailWithError(ERROR_INVALID_PARAMETER, FALSE);
  TextFont font = sim::FontOfContext(*context);
  const sim::FontMetrics& m = font.face.metrics();
  TEXTMETRICW out{};
  out.tmHeight = m.height;
  out.tmAscent = m.ascent;
  out.tmDescent = m.descent;
  out.tmAveCharWidth = m.averageWidth;
  out.tmMaxCharWidth = m.maxWidth;
  out.tmWeight = m.bold ? FW_BOLD : FW_NORMAL;
  out.tmDigitizedAspectX = out.tmDigitizedAspectY = GetDeviceCaps(dc, LOGPIXELSY);
  out.tmFirstChar = 0x20;
  out.tmLastChar = 0xFFEE;
  out.tmDefaultChar = 0x30FB;  // the middle dot
  out.tmBreakChar = 0x20;
  out.tmUnderlined = font.underline ? 1 : 0;
  out.tmPitchAndFamily = 0;  // fixed pitch: the flag marks a variable pitch
  out.tmCharSet = SHIFTJIS_CHARSET;
  *metrics = out;
  return TRUE;
}
