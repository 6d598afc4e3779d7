// Window classes: registration and queries.
#include <windows.h>

#include "kernel/faults.h"
#include "user/window.h"
#include "user/window_text.h"

namespace {

std::shared_ptr<const sim::WindowClass> lookup(LPCWSTR name) {
  auto& windows = sim::WindowSystem::get();
  if (!name) return nullptr;
  if (IS_INTRESOURCE(name))
    return windows.findClass(static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name)), sim::CurrentProcessOfThread());
  return windows.findClass(std::u16string_view(name), sim::CurrentProcessOfThread());
}

}  // namespace

ATOM RegisterClassW(const WNDCLASSW* wc) {
  if (!wc) return sim::Fail<ATOM>(ERROR_INVALID_PARAMETER, 0);
  if (sim::FailsByInjection("RegisterClassW")) return 0;
  DWORD error = 0;
  ATOM atom = sim::WindowSystem::get().registerClass(*wc, sim::CurrentProcessOfThread(), &error);
  if (!atom) SetLastError(error);
  return atom;
}

BOOL UnregisterClassW(LPCWSTR className, HINSTANCE) {
  if (!className || IS_INTRESOURCE(className)) return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
  DWORD error = 0;
  if (sim::WindowSystem::get().unregisterClass(className, sim::CurrentProcessOfThread(), &error)) return TRUE;
  return sim::Fail(error, FALSE);
}

BOOL GetClassInfoW(HINSTANCE, LPCWSTR className, LPWNDCLASSW wc) {
  auto cls = lookup(className);
  if (!cls || !wc) return sim::Fail(ERROR_CLASS_DOES_NOT_EXIST, FALSE);
  *wc = WNDCLASSW{cls->style, cls->proc, cls->clsExtra, cls->wndExtra, cls->instance, cls->icon, cls->cursor,
                  cls->background, cls->menuName, cls->name.c_str()};
  return TRUE;
}

int GetClassNameW(HWND hwnd, LPWSTR name, int maxCount) {
  sim::Window* window = sim::WindowSystem::get().checked(hwnd, "GetClassNameW");
  if (!window) return 0;
  return sim::CopyBounded(window->windowClass->name, name, maxCount);
}
