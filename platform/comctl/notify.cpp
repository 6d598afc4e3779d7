#include "comctl/notify.h"

#include <algorithm>

#include "kernel/handles.h"

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

void ReportControlFault(std::string_view call, const void* handle, std::string problem) {
  reportProgramFault(call, HandleText(handle), std::move(problem));
}

int CopyText(const std::u16string& text, WCHAR* buffer, int capacity) {
  if (!buffer || capacity <= 0) return 0;
  int count = std::min(static_cast<int>(text.size()), capacity - 1);
  std::copy_n(text.data(), count, buffer);
  buffer[count] = 0;
  return count;
}

}  // namespace sim
