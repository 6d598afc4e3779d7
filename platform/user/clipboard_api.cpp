// The clipboard functions of the device's API over the Clipboard service.
#include <windows.h>

#include "kernel/device.h"
#include "kernel/scheduler.h"
#include "user/clipboard.h"
#include "user/window.h"
#include "user/window_text.h"

namespace {

sim::Clipboard& clipboard() { return sim::Clipboard::get(); }
sim::SimThread* caller() { return sim::Scheduler::current(); }

}  // namespace

BOOL OpenClipboard(HWND owner) {
  if (sim::FailsByInjection("OpenClipboard")) return FALSE;
  if (owner && !sim::WindowSystem::get().checked(owner, "OpenClipboard")) return FALSE;
  DWORD error = 0;
  if (!clipboard().open(owner, caller(), error)) return sim::Fail(error, FALSE);
  return TRUE;
}

BOOL CloseClipboard() {
  DWORD error = 0;
  if (!clipboard().close(caller(), error)) return sim::Fail(error, FALSE);
  return TRUE;
}

BOOL EmptyClipboard() {
  DWORD error = 0;
  if (!clipboard().empty(caller(), error)) return sim::Fail(error, FALSE);
  return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
  if (sim::FailsByInjection("SetClipboardData")) return nullptr;
  DWORD error = 0;
  if (!clipboard().set(format, data, caller(), error)) return sim::Fail<HANDLE>(error, nullptr);
  return data;
}

HANDLE GetClipboardData(UINT format) {
  if (sim::FailsByInjection("GetClipboardData")) return nullptr;
  DWORD error = 0;
  HANDLE block = clipboard().data(format, caller(), error);
  if (!block) SetLastError(error);
  return block;
}

BOOL IsClipboardFormatAvailable(UINT format) { return clipboard().available(format) ? TRUE : FALSE; }

UINT RegisterClipboardFormatW(LPCWSTR name) {
  if (sim::FailsByInjection("RegisterClipboardFormatW")) return 0;
  UINT format = clipboard().registerFormat(sim::TextOf(name));
  if (!format) SetLastError(ERROR_INVALID_PARAMETER);
  return format;
}

int GetClipboardFormatNameW(UINT format, LPWSTR name, int maxCount) {
  auto registered = clipboard().formatName(format);
  if (!registered || !name || maxCount <= 0) return sim::Fail(ERROR_INVALID_PARAMETER, 0);
  return sim::CopyBounded(*registered, name, maxCount);
}

int CountClipboardFormats() { return clipboard().count(); }

UINT EnumClipboardFormats(UINT format) {
  DWORD error = 0;
  UINT next = clipboard().next(format, caller(), error);
  SetLastError(error);
  return next;
}

HWND GetClipboardOwner() { return clipboard().owner(); }

HWND GetOpenClipboardWindow() { return clipboard().openWindow(); }
