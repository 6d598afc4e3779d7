// The shell's parts of the screen, drawn by the system in our own design:
//
// - the navigation bar at the top, above every window: the start symbol, the title
//   of the window in front, the device clock, and an OK button when the window in
//   front asks for one (WS_EX_CAPTIONOKBTN, which SHInitDialog's SHIDIF_DONEBUTTON
//   gives); a tap on OK sends the window WM_COMMAND with IDOK;
// - the input panel, a keyboard above the menu bar while it is raised; a tap on a
//   key types its character into the window in front;
// - the desktop below every window, with an empty menu bar holding the input panel
//   button at the bottom.
//
// A menu bar (menu_bar.h) shows the same input panel button at its right end.
// Sizes double on a VGA screen.
#pragma once

#include <windows.h>

#include <string>

namespace sim {

class ScreenLayout;

void InstallShellSurfaces(ScreenLayout& layout);

// Where the navigation bar's parts lie (screen pixels); the OK button's rectangle
// is empty when the window in front has none.
struct NavigationBarLayout {
  RECT bar{};
  RECT start{};
  RECT title{};
  RECT clock{};
  RECT ok{};
};
NavigationBarLayout LayOutNavigationBar();

// The input panel button at the right end of a menu bar `barRect` (screen or
// window pixels alike); its drawing; a tap on it raises or lowers the panel.
RECT InputPanelButtonRect(const RECT& barRect);
void DrawInputPanelButton(HDC dc, const RECT& button);
void ToggleInputPanel();
// The look every menu bar shares: its face and the line above it.
void DrawMenuBarFace(HDC dc, const RECT& bar);

// The key of the input panel at a screen point: its label, empty when none.
std::u16string InputPanelKeyAt(POINT screen);

}  // namespace sim
