// The BUTTON class: push buttons, check boxes, radio buttons, group boxes.
#pragma once

#include <windows.h>

namespace sim {

struct Window;

struct ButtonState {
  UINT check = BST_UNCHECKED;
  bool pushed = false;   // held down by a tap or the Space key
  bool focused = false;
  HANDLE image = nullptr;  // BM_SETIMAGE: the icon (BS_ICON) or bitmap (BS_BITMAP) shown; not owned
};

inline UINT ButtonType(DWORD style) { return style & BS_TYPEMASK; }
inline bool IsRadioType(UINT type) { return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON; }
inline bool IsPushType(UINT type) { return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON; }

// WM_PAINT of a button (button_paint.cpp).
void PaintButton(HWND hwnd, const ButtonState& state);
// A group box leaves its inside to what lies beneath it.
void ShapeGroupBox(Window& window);

}  // namespace sim
