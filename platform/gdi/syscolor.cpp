// System colours: one palette of our own for every part the platform draws, and a
// stock brush of each.
#include <windows.h>

#include "gdi/dc.h"
#include "gdi/gdi_objects.h"
#include "gdi/syscolor.h"

namespace {

constexpr WORD kFirstSysColorBrushId = 0x100;  // beside the GetStockObject indexes

constexpr COLORREF kSystemColors[sim::kSystemColorCount] = {
    RGB(224, 224, 224),  // COLOR_SCROLLBAR
    RGB(40, 96, 144),    // COLOR_BACKGROUND
    RGB(16, 72, 136),    // COLOR_ACTIVECAPTION: the navigation bar
    RGB(128, 128, 128),  // COLOR_INACTIVECAPTION
    RGB(255, 255, 255),  // COLOR_MENU
    RGB(255, 255, 255),  // COLOR_WINDOW
    RGB(0, 0, 0),        // COLOR_WINDOWFRAME
    RGB(0, 0, 0),        // COLOR_MENUTEXT
    RGB(0, 0, 0),        // COLOR_WINDOWTEXT
    RGB(255, 255, 255),  // COLOR_CAPTIONTEXT
    RGB(192, 192, 192),  // COLOR_ACTIVEBORDER
    RGB(192, 192, 192),  // COLOR_INACTIVEBORDER
    RGB(128, 128, 128),  // COLOR_APPWORKSPACE
    RGB(24, 80, 168),    // COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    RGB(192, 192, 192),  // COLOR_BTNFACE
    RGB(128, 128, 128),  // COLOR_BTNSHADOW
    RGB(128, 128, 128),  // COLOR_GRAYTEXT
    RGB(0, 0, 0),        // COLOR_BTNTEXT
    RGB(224, 224, 224),  // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
    RGB(0, 0, 0),        // COLOR_3DDKSHADOW
    RGB(224, 224, 224),  // COLOR_3DLIGHT
    RGB(0, 0, 0),        // COLOR_INFOTEXT
    RGB(255, 255, 225),  // COLOR_INFOBK
    RGB(192, 192, 192),  // COLOR_STATIC
    RGB(0, 0, 0),        // COLOR_STATICTEXT
    RGB(64, 128, 200),   // COLOR_GRADIENTACTIVECAPTION
    RGB(176, 176, 176),  // COLOR_GRADIENTINACTIVECAPTION
};

// The device also accepts indexes carrying its system-colour flag bit.
int IndexOf(int index) { return index & ~SYS_COLOR_INDEX_FLAG; }

}  // namespace

DWORD GetSysColor(int index) {
  int i = IndexOf(index);
  if (i < 0 || i >= static_cast<int>(sim::kSystemColorCount)) return 0;
  return kSystemColors[i];
}

HBRUSH GetSysColorBrush(int index) {
  int i = IndexOf(index);
  if (i < 0 || i >= static_cast<int>(sim::kSystemColorCount))
    return sim::FailWithError(ERROR_INVALID_PARAMETER, static_cast<HBRUSH>(nullptr));
  sim::BrushData brush{BS_SOLID, kSystemColors[i], nullptr};
  return static_cast<HBRUSH>(
      sim::GdiObjects::get().stock(sim::GdiKind::Brush, static_cast<WORD>(kFirstSysColorBrushId + i), 0, 0, brush));
}
