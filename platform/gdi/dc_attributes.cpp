// The colours, background mode and text alignment a device context draws with.
#include <windows.h>

#include "gdi/dc.h"

namespace {

template <class T, class Apply>
T Change(HDC dc, const char* operation, T failed, Apply apply) {
  sim::DeviceContext* context = sim::ContextOf(dc, operation);
  return context ? apply(context->attributes) : failed;
}

template <class T>
T Swap(T& slot, T value) {
  T previous = slot;
  slot = value;
  return previous;
}

}  // namespace

COLORREF SetTextColor(HDC dc, COLORREF color) {
  return Change(dc, "SetTextColor", CLR_INVALID, [&](sim::DcAttributes& a) { return Swap(a.textColor, color); });
}

COLORREF GetTextColor(HDC dc) {
  return Change(dc, "GetTextColor", CLR_INVALID, [](sim::DcAttributes& a) { return a.textColor; });
}

COLORREF SetBkColor(HDC dc, COLORREF color) {
  return Change(dc, "SetBkColor", CLR_INVALID, [&](sim::DcAttributes& a) { return Swap(a.backgroundColor, color); });
}

COLORREF GetBkColor(HDC dc) {
  return Change(dc, "GetBkColor", CLR_INVALID, [](sim::DcAttributes& a) { return a.backgroundColor; });
}

int SetBkMode(HDC dc, int mode) {
  if (mode != OPAQUE && mode != TRANSPARENT) {
    if (!sim::ContextOf(dc, "SetBkMode")) return 0;
    return sim::FailWithError(ERROR_INVALID_PARAMETER, 0);
  }
  return Change(dc, "SetBkMode", 0, [&](sim::DcAttributes& a) { return Swap(a.backgroundMode, mode); });
}

int GetBkMode(HDC dc) {
  return Change(dc, "GetBkMode", 0, [](sim::DcAttributes& a) { return a.backgroundMode; });
}

UINT SetTextAlign(HDC dc, UINT align) {
  return Change(dc, "SetTextAlign", static_cast<UINT>(GDI_ERROR),
                [&](sim::DcAttributes& a) { return Swap(a.textAlign, align); });
}

UINT GetTextAlign(HDC dc) {
  return Change(dc, "GetTextAlign", static_cast<UINT>(GDI_ERROR),
                [](sim::DcAttributes& a) { return a.textAlign; });
}
