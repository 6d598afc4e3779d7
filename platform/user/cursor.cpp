// Cursors: the stock ones and the one the device shows.
#include <string>

#include <windows.h>

#include "gdi/gdi_objects.h"
#include "user/window.h"

namespace {

constexpr WORD kFirstStockCursor = 32512;  // IDC_ARROW
constexpr WORD kLastStockCursor = 32650;   // the last of the system's cursor ids

}  // namespace

HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name) {
  if (!name) return sim::Fail(ERROR_INVALID_PARAMETER, static_cast<HCURSOR>(nullptr));
  if (instance == nullptr && IS_INTRESOURCE(name)) {
    auto id = static_cast<WORD>(reinterpret_cast<std::uintptr_t>(name));
    if (id < kFirstStockCursor || id > kLastStockCursor)
      return sim::Fail(ERROR_RESOURCE_NAME_NOT_FOUND, static_cast<HCURSOR>(nullptr));
    int size = GetSystemMetrics(SM_CXICON);
    return static_cast<HCURSOR>(sim::GdiObjects::get().stock(sim::GdiKind::Cursor, id, size, size));
  }
  return static_cast<HCURSOR>(LoadImageW(instance, name, IMAGE_CURSOR, 0, 0, LR_SHARED | LR_DEFAULTSIZE));
}

HCURSOR SetCursor(HCURSOR cursor) {
  auto& objects = sim::GdiObjects::get();
  if (cursor && !objects.checked(cursor, {sim::GdiKind::Cursor, sim::GdiKind::Icon}, "SetCursor"))
    return objects.cursor();
  return objects.setCursor(cursor);
}
