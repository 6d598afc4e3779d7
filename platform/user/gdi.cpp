// The little of GDI the suite touches: stock objects and DeleteObject.
#include <string>

#include <windows.h>

#include "user/gdi_objects.h"
#include "user/window.h"

HGDIOBJ GetStockObject(int object) {
  switch (object) {
    case WHITE_BRUSH:
    case LTGRAY_BRUSH:
    case 2:  // GRAY_BRUSH
    case 3:  // DKGRAY_BRUSH
    case BLACK_BRUSH:
    case NULL_BRUSH:
      return sim::GdiObjects::get().stock(sim::GdiKind::Brush, static_cast<WORD>(object), 0, 0);
    case SYSTEM_FONT:
      return sim::GdiObjects::get().stock(sim::GdiKind::Font, static_cast<WORD>(object), 0, 0);
    default:
      return sim::Fail(ERROR_INVALID_PARAMETER, static_cast<HGDIOBJ>(nullptr));
  }
}

BOOL DeleteObject(HGDIOBJ object) {
  if (!object) return sim::Fail(ERROR_INVALID_HANDLE, FALSE);
  return sim::GdiObjects::get().destroy(object, {sim::GdiKind::Bitmap, sim::GdiKind::Brush, sim::GdiKind::Font},
                                        "DeleteObject")
             ? TRUE
             : FALSE;
}
