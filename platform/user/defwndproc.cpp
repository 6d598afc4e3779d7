// The default window procedure.
#include <windows.h>

#include "kernel/process_data.h"
#include "user/message_queue.h"
#include "user/nonclient.h"
#include "user/paint_messages.h"
#include "user/screen_layout.h"
#include "user/window.h"
#include "user/window_text.h"

namespace {

// WM_MOVE gives where the client area now starts, WM_SIZE its size: the frame is
// not part of either.
LRESULT onWindowPosChanged(HWND hwnd, const WINDOWPOS& pos) {
  sim::Window* window = sim::WindowSystem::get().find(hwnd);
  if (!window) return 0;
  RECT client = sim::ClientAreaOf(*window);
  if (!(pos.flags & SWP_NOMOVE))
    sim::SendMessageToWindow(hwnd, WM_MOVE, 0, MAKELPARAM(pos.x + client.left, pos.y + client.top));
  if (!(pos.flags & SWP_NOSIZE) && IsWindow(hwnd))
    sim::SendMessageToWindow(hwnd, WM_SIZE, SIZE_RESTORED,
                             MAKELPARAM(client.right - client.left, client.bottom - client.top));
  return 0;
}

// A new title shows at once in the window's caption and, for the window in front,
// in the navigation bar.
void showTitle(sim::Window& window) {
  if (sim::FrameOf(window).caption > 0 && !window.redrawOff)
    sim::DrawFrame(window, sim::ScreenLayout::get().visibleRegion(window));
  sim::ScreenLayout::get().refreshSurfaces();
}

}  // namespace

LRESULT DefWindowProcW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  sim::Window* window = sim::WindowSystem::get().checked(hwnd, "DefWindowProcW");
  if (!window) return 0;
  if (auto painted = sim::DefaultPaintMessage(hwnd, msg, wParam, lParam)) return *painted;
  switch (msg) {
    case WM_NCCREATE: return TRUE;
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_SETTEXT:
      window->text = std::u16string(sim::TextOf(reinterpret_cast<LPCWSTR>(lParam)));
      showTitle(*window);
      return TRUE;
    case WM_GETTEXT:
      return sim::CopyBounded(window->text, reinterpret_cast<LPWSTR>(lParam), static_cast<int>(wParam));
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(window->text.size());
    case WM_ACTIVATE:
      // The window taking the activation takes the focus unless one of its own
      // windows has it already.
      if (LOWORD(wParam) != WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != hwnd && !IsChild(hwnd, focus)) SetFocus(hwnd);
      }
      return 0;
    case WM_WINDOWPOSCHANGED:
      return lParam ? onWindowPosChanged(hwnd, *reinterpret_cast<const WINDOWPOS*>(lParam)) : 0;
    case WM_NOTIFYFORMAT: return 2;  // Unicode
    default: return 0;
  }
}

LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!proc) return 0;
  sim::Window* window = sim::WindowSystem::get().find(hwnd);
  // A procedure passed on down a chain may be the code of a program that has ended.
  if (window && sim::IntoEndedProgram("CallWindowProcW", *window, proc, msg)) return 0;
  sim::DataContext context(window ? sim::ProcedureOwner(*window, reinterpret_cast<const void*>(proc)) : nullptr);
  return proc(hwnd, msg, wParam, lParam);
}
