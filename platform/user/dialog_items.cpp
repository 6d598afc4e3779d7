// Reaching a dialog's controls by id: texts, numbers, check marks.
#include <string>

#include "kernel/faults.h"
#include "user/dialog.h"
#include "user/window.h"

HWND GetDlgItem(HWND dialog, int id) {
  sim::Window* window = sim::WindowSystem::get().checked(dialog, "GetDlgItem");
  if (!window) return nullptr;
  for (sim::Window* child : window->children)
    if (child->alive() && static_cast<int>(child->id) == id) return child->handle;
  // Ids of classic templates are 16-bit: -1 is stored as 0xFFFF.
  for (sim::Window* child : window->children)
    if (child->alive() && (child->id & 0xFFFF) == (id & 0xFFFF)) return child->handle;
  return sim::Fail(ERROR_INVALID_WINDOW_HANDLE, static_cast<HWND>(nullptr));
}

int GetDlgCtrlID(HWND hwnd) {
  sim::Window* window = sim::WindowSystem::get().checked(hwnd, "GetDlgCtrlID");
  if (!window || !window->isChild()) return 0;
  return static_cast<int>(window->id);
}

BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text) {
  if (sim::FailsByInjection("SetDlgItemTextW")) return FALSE;
  HWND item = GetDlgItem(dialog, id);
  return item ? SetWindowTextW(item, text) : FALSE;
}

UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR text, int maxCount) {
  HWND item = GetDlgItem(dialog, id);
  if (!item) {
    if (text && maxCount > 0) text[0] = 0;
    return 0;
  }
  return static_cast<UINT>(GetWindowTextW(item, text, maxCount));
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
  std::string digits = isSigned ? std::to_string(static_cast<std::int32_t>(value)) : std::to_string(value);
  std::u16string text(digits.begin(), digits.end());
  return SetDlgItemTextW(dialog, id, text.c_str());
}

// Blanks around the number are allowed; anything else, or a value out of range,
// leaves *translated FALSE and gives 0.
UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
  if (translated) *translated = FALSE;
  WCHAR buffer[64] = {};
  if (!GetDlgItem(dialog, id)) return 0;
  GetDlgItemTextW(dialog, id, buffer, 64);
  std::u16string_view text(buffer);
  while (!text.empty() && text.front() == u' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == u' ') text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == u'-' || text.front() == u'+')) {
    if (text.front() == u'-') {
      if (!isSigned) return 0;
      negative = true;
    }
    text.remove_prefix(1);
  }
  if (text.empty()) return 0;
  std::uint64_t value = 0;
  for (char16_t ch : text) {
    if (ch < u'0' || ch > u'9') return 0;
    value = value * 10 + static_cast<std::uint64_t>(ch - u'0');
    if (value > 0xFFFFFFFFull) return 0;
  }
  if (isSigned && value > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return 0;
  if (translated) *translated = TRUE;
  return negative ? static_cast<UINT>(0u - static_cast<UINT>(value)) : static_cast<UINT>(value);
}

LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND item = GetDlgItem(dialog, id);
  return item ? SendMessageW(item, msg, wParam, lParam) : 0;
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
  HWND item = GetDlgItem(dialog, id);
  if (!item) return FALSE;
  SendMessageW(item, BM_SETCHECK, check, 0);
  return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  return item ? static_cast<UINT>(SendMessageW(item, BM_GETCHECK, 0, 0)) : 0;
}

// Marks `check` and clears every other button whose id lies from `first` to `last`.
BOOL CheckRadioButton(HWND dialog, int first, int last, int check) {
  sim::Window* window = sim::WindowSystem::get().checked(dialog, "CheckRadioButton");
  if (!window) return FALSE;
  std::vector<HWND> buttons;
  for (sim::Window* child : window->children)
    if (child->alive() && child->id >= first && child->id <= last) buttons.push_back(child->handle);
  for (HWND button : buttons)
    if (IsWindow(button))
      SendMessageW(button, BM_SETCHECK, GetDlgCtrlID(button) == check ? BST_CHECKED : BST_UNCHECKED, 0);
  return TRUE;
}
