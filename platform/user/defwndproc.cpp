// The default window procedure.
#include <windows.h>

#include "kernel/process_data.h"
#include "user/message_queue.h"
#include "user/window.h"
#include "user/window_text.h"

namespace {

LRESULT onWindowPosChanged(HWND hwnd, const WINDOWPOS& pos) {
  if (!(pos.flags & SWP_NOMOVE)) sim::SendMessageToWindow(hwnd, WM_MOVE, 0, MAKELPARAM(pos.x, pos.y));
  if (!(pos.flags & SWP_NOSIZE) && IsWindow(hwnd))
    sim::SendMessageToWindow(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(pos.cx, pos.cy));
  return 0;
}

}  // namespace

LRESULT DefWindowProcW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  sim::Window* window = sim::WindowSystem::get().checked(hwnd, "DefWindowProcW");
  if (!window) return 0;
  switch (msg) {
    case WM_NCCREATE: return TRUE;
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_SETTEXT:
      window->text = std::u16string(sim::TextOf(reinterpret_cast<LPCWSTR>(lParam)));
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
    case WM_ERASEBKGND: return 1;
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
