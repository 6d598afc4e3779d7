// The toolbar control ("ToolbarWindow32") and the command bar built on it.
//
// A tapped button sends its command to the parent in WM_COMMAND; check buttons
// toggle, and a check-group button checks itself and clears the rest of its group.
#pragma once

#include <commctrl.h>

#include <string>
#include <vector>

namespace sim {

struct ToolbarButton {
  int image = 0;
  int command = 0;
  BYTE state = 0;
  BYTE style = 0;
  DWORD_PTR data = 0;
  INT_PTR string = 0;
  std::u16string label;  // the button's text, when it has one
};

struct ToolbarState {
  std::vector<ToolbarButton> buttons;
  std::vector<std::u16string> strings;  // TB_ADDSTRINGW
  int imageCount = 0;
  UINT buttonStructSize = sizeof(TBBUTTON);
  int buttonWidth = 24;
  int buttonHeight = 22;
  HIMAGELIST imageList = nullptr;
  HIMAGELIST ownImages = nullptr;  // made for TB_ADDBITMAP when the program gave no list
  SIZE bitmapSize{16, 15};         // TB_SETBITMAPSIZE
  int pressed = -1;  // index of the button under a tap in progress
};

inline constexpr int kToolbarSeparatorWidth = 8;

LRESULT CALLBACK ToolbarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// For the automation layer: the buttons of a toolbar (command bar, menu bar) as they stand.
std::vector<ToolbarButton> ToolbarButtons(HWND toolbar);

}  // namespace sim
