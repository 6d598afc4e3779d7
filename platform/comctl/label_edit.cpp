#include "comctl/label_edit.h"

#include "comctl/control_table.h"

namespace sim {

namespace {

struct EditorHook {
  WNDPROC original = nullptr;
  EndLabelEditFunction end = nullptr;
};
using Hooks = ControlTable<EditorHook>;

LRESULT CALLBACK LabelEditorProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  auto hook = Hooks::get().find(edit);
  if (!hook || !hook->original) return DefWindowProcW(edit, message, wParam, lParam);
  WNDPROC original = hook->original;
  EndLabelEditFunction end = hook->end;
  HWND owner = GetParent(edit);
  switch (message) {
    case WM_GETDLGCODE:
      // Enter and Escape belong to the editor, not to a dialog around the list.
      return CallWindowProcW(original, edit, message, wParam, lParam) | DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
      if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
        end(owner, wParam == VK_RETURN);
        return 0;
      }
      break;
    case WM_CHAR:
      if (wParam == u'\r' || wParam == 0x1B) return 0;
      break;
    case WM_KILLFOCUS: {
      LRESULT result = CallWindowProcW(original, edit, message, wParam, lParam);
      end(owner, true);
      return result;
    }
    case WM_NCDESTROY:
      Hooks::get().detach(edit);
      return CallWindowProcW(original, edit, message, wParam, lParam);
    default:
      break;
  }
  return CallWindowProcW(original, edit, message, wParam, lParam);
}

}  // namespace

HWND CreateLabelEditor(HWND owner, const std::u16string& text, const RECT& label, EndLabelEditFunction end) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongW(owner, GWL_HINSTANCE));
  int height = std::max<int>(static_cast<int>(label.bottom - label.top), 16);
  int width = std::max<int>(static_cast<int>(label.right - label.left), 60);
  HWND edit = CreateWindowExW(0, u"EDIT", text.c_str(), WS_CHILD | WS_BORDER | ES_AUTOHSCROLL,
                              static_cast<int>(label.left), static_cast<int>(label.top), width, height, owner,
                              nullptr, instance, nullptr);
  if (!edit) return nullptr;
  auto hook = Hooks::get().attach(edit);
  hook->end = end;
  hook->original = reinterpret_cast<WNDPROC>(SetWindowLongW(edit, GWL_WNDPROC, reinterpret_cast<LONG>(&LabelEditorProc)));
  return edit;
}

void ShowLabelEditor(HWND edit) {
  ShowWindow(edit, SW_SHOW);
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SetFocus(edit);
}

}  // namespace sim
