// The look of the pocket shell's menu bar (see menu_bar_paint.cpp).
#pragma once

#include <windows.h>

namespace sim {

// The menu bar draws the buttons of its toolbar from now on.
void TakeOverMenuBarButtons(HWND toolbar);
// Makes every button at least as wide as the widest label needs (the screen's font,
// a margin each side) and as tall as the bar, on either screen size.
void FitMenuBarButtons(HWND toolbar);
// Shows the button of `command` as the one whose menu is open (-1: none).
void ShowMenuOpen(HWND toolbar, int command);
// WM_PAINT of the menu bar window: its face and the input panel button.
void PaintMenuBar(HWND bar);

}  // namespace sim
