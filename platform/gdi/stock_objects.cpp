// The device's stock objects: brushes, pens, the system font and the bitmap every
// memory device context starts with.
#include <windows.h>

#include "gdi/dc.h"
#include "gdi/gdi_objects.h"
#include "gdi/stock.h"

namespace sim {
namespace {

constexpr WORD kDefaultBitmapId = 0xFFFF;  // not reachable through GetStockObject

HGDIOBJ StockBrush(int index, COLORREF color, int style = BS_SOLID) {
  return GdiObjects::get().stock(GdiKind::Brush, static_cast<WORD>(index), 0, 0, BrushData{style, color, nullptr});
}

HGDIOBJ StockPen(int index, COLORREF color, int style = PS_SOLID) {
  return GdiObjects::get().stock(GdiKind::Pen, static_cast<WORD>(index), 0, 0, PenData{style, 1, color});
}

HGDIOBJ StockSystemFont() {
  FontData font;
  font.logical.lfHeight = 0;  // the system size of the screen
  font.logical.lfWeight = FW_NORMAL;
  font.logical.lfCharSet = SHIFTJIS_CHARSET;
  return GdiObjects::get().stock(GdiKind::Font, SYSTEM_FONT, 0, 0, font);
}

}  // namespace

HBITMAP DefaultContextBitmap() {
  BitmapData bitmap{std::make_shared<PixelBuffer>(1, 1, PixelFormat::Monochrome()), false};
  return static_cast<HBITMAP>(GdiObjects::get().stock(GdiKind::Bitmap, kDefaultBitmapId, 1, 1, bitmap));
}

}  // namespace sim

HGDIOBJ GetStockObject(int object) {
  using sim::StockBrush;
  using sim::StockPen;
  switch (object) {
    case WHITE_BRUSH: return StockBrush(object, RGB(255, 255, 255));
    case LTGRAY_BRUSH: return StockBrush(object, RGB(192, 192, 192));
    case GRAY_BRUSH: return StockBrush(object, RGB(128, 128, 128));
    case DKGRAY_BRUSH: return StockBrush(object, RGB(64, 64, 64));
    case BLACK_BRUSH: return StockBrush(object, RGB(0, 0, 0));
    case NULL_BRUSH: return StockBrush(object, RGB(0, 0, 0), BS_NULL);
    case WHITE_PEN: return StockPen(object, RGB(255, 255, 255));
    case BLACK_PEN: return StockPen(object, RGB(0, 0, 0));
    case NULL_PEN: return StockPen(object, RGB(0, 0, 0), PS_NULL);
    case SYSTEM_FONT: return sim::StockSystemFont();
    default: return sim::FailWithError(ERROR_INVALID_PARAMETER, static_cast<HGDIOBJ>(nullptr));
  }
}
