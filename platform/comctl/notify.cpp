#include "comctl/notify.h"

#include <algorithm>

#include "kernel/device.h"
#include "text/utf.h"

namespace sim {

LRESULT SendNotify(HWND control, UINT code, NMHDR* header) {
  header->hwndFrom = control;
  header->idFrom = static_cast<UINT_PTR>(GetWindowLongW(control, GWL_ID));
  header->code = code;
  HWND parent = GetParent(control);
  if (!parent) return 0;
  return SendMessageW(parent, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
}

void SendCommandNotify(HWND control, WORD code) {
  HWND parent = GetParent(control);
  if (!parent) return;
  WORD id = static_cast<WORD>(GetWindowLongW(control, GWL_ID));
  SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

void ReportControlFault(const std::string& what) {
  WCHAR path[MAX_PATH] = {};
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::string program;
  if (length > 0 && length < MAX_PATH) {
    auto utf8 = Utf16ToUtf8(std::u16string_view(path, length));
    if (utf8) program = *utf8;
  }
  Device::current().faults().reportProgramFault(std::move(program), what);
}

int CopyText(const std::u16string& text, WCHAR* buffer, int capacity) {
  if (!buffer || capacity <= 0) return 0;
  int count = std::min(static_cast<int>(text.size()), capacity - 1);
  std::copy_n(text.data(), count, buffer);
  buffer[count] = 0;
  return count;
}

}  // namespace sim
