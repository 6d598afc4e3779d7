// What every common control tells its parent, how it reports misuse, and what the
// controls' window procedures share.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <string_view>

namespace sim {

// Fills the header of a notification record and sends WM_NOTIFY to the control's
// parent; the parent's answer is the result (0 when there is no parent).
LRESULT SendNotify(HWND control, UINT code, NMHDR* header);
// WM_COMMAND with the control's id and a notification code, as the basic controls send.
void SendCommandNotify(HWND control, WORD code);
// Records a misuse of the API by the program whose thread is running: `call` was
// given `handle` (an item, an image list), which is wrong as `problem` says.
void ReportControlFault(std::string_view call, const void* handle, std::string problem);

// Truncating copy into a caller's buffer of `capacity` characters, always terminated
// when capacity > 0; gives the number of characters copied.
int CopyText(const std::u16string& text, WCHAR* buffer, int capacity);

// Asks the parent for the text of an item added with LPSTR_TEXTCALLBACKW: `info` is
// the control's display-information record with its item named; the parent fills
// the buffer given here or points the record at a text of its own.
template <class DisplayInfo>
std::u16string TextFromParent(HWND control, UINT code, DisplayInfo& info) {
  WCHAR buffer[MAX_PATH] = {};
  info.item.pszText = buffer;
  info.item.cchTextMax = MAX_PATH;
  SendNotify(control, code, &info.hdr);
  if (!info.item.pszText || info.item.pszText == LPSTR_TEXTCALLBACKW) return {};
  return std::u16string(info.item.pszText, wcsnlen(info.item.pszText, MAX_PATH));
}

// The client point of a tap message.
inline POINT PointOf(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

}  // namespace sim
