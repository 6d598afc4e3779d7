// BeginPaint and EndPaint, window device contexts (GetDC, GetWindowDC), and what the
// default window procedure does to paint: WM_PAINT, WM_ERASEBKGND with the class
// brush, the default WM_CTLCOLOR* colours and WM_SETREDRAW.
#include <windows.h>

#include "gdi/dc.h"
#include "gdi/gdi_objects.h"
#include "kernel/scheduler.h"
#include "user/message_queue.h"
#include "user/paint.h"
#include "user/paint_messages.h"
#include "user/screen_layout.h"
#include "user/window.h"

namespace sim {

namespace {

HDC MakeWindowContext(HWND hwnd, bool wholeWindow) {
  auto& windows = WindowSystem::get();
  Window* window = windows.checked(hwnd, wholeWindow ? "GetWindowDC" : "GetDC");
  if (!window) return nullptr;
  RECT area = wholeWindow ? windows.screenRect(*window) : windows.clientScreenRect(*window);
  Region visible = ScreenLayout::get().visibleRegion(*window).intersected(area);
  return OpenScreenContext(hwnd, POINT{area.left, area.top}, visible);
}

struct ControlColours {
  int text;
  int background;
};

// What a control is drawn with when its parent leaves WM_CTLCOLOR* alone.
std::optional<ControlColours> DefaultColours(UINT msg) {
  switch (msg) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORDLG: return ControlColours{COLOR_STATICTEXT, COLOR_STATIC};
    case WM_CTLCOLORBTN: return ControlColours{COLOR_BTNTEXT, COLOR_BTNFACE};
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: return ControlColours{COLOR_WINDOWTEXT, COLOR_WINDOW};
    case WM_CTLCOLORSCROLLBAR: return ControlColours{COLOR_BTNTEXT, COLOR_SCROLLBAR};
    default: return std::nullopt;
  }
}

}  // namespace

void InstallWindowContexts() {
  DeviceContexts::get().setWindowContextMaker(MakeWindowContext);
}

std::optional<LRESULT> DefaultPaintMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* window = WindowSystem::get().find(hwnd);
  if (!window) return std::nullopt;
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      BeginPaint(hwnd, &paint);
      EndPaint(hwnd, &paint);
      return 0;
    }
    case WM_ERASEBKGND: {
      HBRUSH brush = ClassBackgroundBrush(*window);
      if (!brush) return 0;
      RECT client{};
      GetClientRect(hwnd, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
      return 1;
    }
    case WM_SETREDRAW:
      window->redrawOff = wParam == FALSE;
      if (window->redrawOff) window->update = Region();
      return 0;
    default:
      break;
  }
  auto colours = DefaultColours(msg);
  if (!colours) return std::nullopt;
  auto dc = reinterpret_cast<HDC>(wParam);
  SetTextColor(dc, GetSysColor(colours->text));
  SetBkColor(dc, GetSysColor(colours->background));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(colours->background));
}

HBRUSH ControlBrush(HWND control, HDC dc, UINT msg) {
  HWND parent = GetParent(control);
  Window* target = WindowSystem::get().find(parent);
  HBRUSH brush = nullptr;
  // The colours are asked within a thread only, as the device asks them.
  if (target && target->thread == Scheduler::current() && IsChild(parent, control))
    brush = reinterpret_cast<HBRUSH>(SendMessageToWindow(parent, msg, reinterpret_cast<WPARAM>(dc),
                                                         reinterpret_cast<LPARAM>(control)));
  if (brush) return brush;
  return reinterpret_cast<HBRUSH>(*DefaultPaintMessage(control, msg, reinterpret_cast<WPARAM>(dc), 0));
}

}  // namespace sim

HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT paint) {
  sim::Window* window = sim::WindowSystem::get().checked(hwnd, "BeginPaint");
  if (!window) return nullptr;
  if (!paint) return sim::Fail<HDC>(ERROR_INVALID_PARAMETER, nullptr);
  sim::Region update = window->update;
  const bool erase = window->eraseBackground;
  window->update = sim::Region();
  window->eraseBackground = false;
  HDC dc = sim::OpenPaintContext(*window, update);
  *paint = PAINTSTRUCT{};
  paint->hdc = dc;
  paint->rcPaint = update.bounds();
  if (erase)
    paint->fErase = sim::SendMessageToWindow(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
  return dc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint) {
  if (!paint) return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
  sim::DeviceContext* context = sim::ContextOf(paint->hdc, "EndPaint");
  if (!context) return FALSE;
  if (context->kind != sim::DcKind::Screen || context->window != hwnd) {
    sim::ReportDrawingFault("EndPaint", paint->hdc, "a device context not begun for window " + sim::HandleText(hwnd));
    return sim::Fail(ERROR_INVALID_HANDLE, FALSE);
  }
  return sim::CloseContext(paint->hdc, "EndPaint") ? TRUE : FALSE;
}
