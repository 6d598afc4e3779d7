// The BUTTON class: push buttons, check boxes, radio buttons, group boxes.
#pragma once

#include <windows.h>

namespace sim {

struct ButtonState {
  UINT check = BST_UNCHECKED;
  bool pushed = false;   // held down by a tap or the Space key
  bool focused = false;
};

inline UINT ButtonType(DWORD style) { return style & BS_TYPEMASK; }
inline bool IsRadioType(UINT type) { return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON; }
inline bool IsPushType(UINT type) { return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON; }

}  // namespace sim
