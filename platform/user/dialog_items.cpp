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
