// Making, saving and ending device contexts; selecting objects into them.
#include <windows.h>

#include "gdi/dc.h"
#include "gdi/frame_buffer.h"
#include "gdi/gdi_objects.h"
#include "gdi/stock.h"
#include "kernel/faults.h"

namespace {

using sim::DeviceContext;

HDC WindowContext(HWND hwnd, bool wholeWindow) {
  if (!hwnd) {
    auto& screen = sim::FrameBuffer::get();
    screen.catchUp();  // the context reads and draws anywhere on the screen
    return sim::OpenScreenContext(nullptr, POINT{0, 0}, sim::Region(RECT{0, 0, screen.width(), screen.height()}));
  }
  const auto& maker = sim::DeviceContexts::get().windowContextMaker();
  if (!maker) return sim::FailWithError(ERROR_NOT_SUPPORTED, static_cast<HDC>(nullptr));
  return maker(hwnd, wholeWindow);
}

}  // namespace

HDC CreateCompatibleDC(HDC dc) {
  if (dc && !sim::ContextOf(dc, "CreateCompatibleDC")) return nullptr;
  if (sim::FailsByInjection("CreateCompatibleDC")) return nullptr;
  auto context = std::make_unique<DeviceContext>();
  context->kind = sim::DcKind::Memory;
  context->attributes.pen = static_cast<HPEN>(GetStockObject(BLACK_PEN));
  context->attributes.brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  context->attributes.font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  context->attributes.bitmap = sim::DefaultContextBitmap();
  const sim::BitmapData* bitmap = sim::GdiObjects::get().lookup(context->attributes.bitmap)->as<sim::BitmapData>();
  context->target = bitmap->pixels;
  context->visible = sim::Region(context->target->bounds());
  context->updateClip();
  return sim::DeviceContexts::get().open(std::move(context));
}

BOOL DeleteDC(HDC dc) {
  DeviceContext* context = sim::ContextOf(dc, "DeleteDC");
  if (!context) return FALSE;
  if (context->kind != sim::DcKind::Memory) {
    sim::ReportDrawingFault("DeleteDC", dc, "a window's device context; give it back with ReleaseDC");
    return sim::FailWithError(ERROR_INVALID_HANDLE, FALSE);
  }
  return sim::CloseContext(dc, "DeleteDC") ? TRUE : FALSE;
}

HDC GetDC(HWND hwnd) { return WindowContext(hwnd, false); }

HDC GetWindowDC(HWND hwnd) { return WindowContext(hwnd, true); }

int ReleaseDC(HWND hwnd, HDC dc) {
  DeviceContext* context = sim::ContextOf(dc, "ReleaseDC");
  if (!context) return 0;
  if (context->kind != sim::DcKind::Screen || context->window != hwnd) {
    sim::ReportDrawingFault("ReleaseDC", dc, "a device context not got for window " + sim::HandleText(hwnd));
    return sim::FailWithError(ERROR_INVALID_HANDLE, 0);
  }
  return sim::CloseContext(dc, "ReleaseDC") ? 1 : 0;
}

int SaveDC(HDC dc) {
  DeviceContext* context = sim::ContextOf(dc, "SaveDC");
  if (!context) return 0;
  context->saved.push_back(context->attributes);
  sim::HoldAttributes(context->attributes);
  return static_cast<int>(context->saved.size());
}

BOOL RestoreDC(HDC dc, int saved) {
  DeviceContext* context = sim::ContextOf(dc, "RestoreDC");
  if (!context) return FALSE;
  int depth = static_cast<int>(context->saved.size());
  int level = saved < 0 ? depth + 1 + saved : saved;  // -1 is the latest
  if (level < 1 || level > depth) return sim::FailWithError(ERROR_INVALID_PARAMETER, FALSE);
  sim::ReleaseAttributes(context->attributes);
  while (static_cast<int>(context->saved.size()) > level) {
    sim::ReleaseAttributes(context->saved.back());
    context->saved.pop_back();
  }
  context->attributes = std::move(context->saved.back());
  context->saved.pop_back();  // its hold passes to the current attributes
  sim::RestoreTarget(*context);
  return TRUE;
}

int GetDeviceCaps(HDC dc, int index) {
  if (!sim::ContextOf(dc, "GetDeviceCaps")) return 0;
  auto& screen = sim::FrameBuffer::get();
  switch (index) {
    case HORZRES: return screen.width();
    case VERTRES: return screen.height();
    case BITSPIXEL: return 16;
    case PLANES: return 1;
    case LOGPIXELSX:
    case LOGPIXELSY: return screen.pixelsPerInch();
    default: return 0;
  }
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  DeviceContext* context = sim::ContextOf(dc, "SelectObject");
  if (!context) return nullptr;
  if (sim::GdiObject* found = sim::GdiObjects::get().lookup(object);
      found && found->description.kind == sim::GdiKind::Region) {
    int kind = SelectClipRgn(dc, static_cast<HRGN>(object));
    return reinterpret_cast<HGDIOBJ>(static_cast<std::intptr_t>(kind));
  }
  return sim::SelectIntoContext(*context, object, "SelectObject");
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type) {
  DeviceContext* context = sim::ContextOf(dc, "GetCurrentObject");
  if (!context) return nullptr;
  switch (type) {
    case OBJ_PEN: return context->attributes.pen;
    case OBJ_BRUSH: return context->attributes.brush;
    case OBJ_FONT: return context->attributes.font;
    case OBJ_BITMAP: return context->attributes.bitmap;
    default: return sim::FailWithError(ERROR_INVALID_PARAMETER, static_cast<HGDIOBJ>(nullptr));
  }
}
