// The window classes every program finds on the device: the dialog class and the
// basic controls. Registered as global system classes when the window system starts;
// later parts (the common controls) add theirs here.
#pragma once

#include <string>

#include <windows.h>

namespace sim {

// Registers every system class once per device. Called by the window system when it
// starts; calling it again does nothing.
void RegisterSystemClasses();

LRESULT CALLBACK ButtonWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK EditWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK DialogWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Window extra bytes of the dialog class: DWL_MSGRESULT, DWL_DLGPROC, DWL_USER.
inline constexpr int kDialogWindowExtra = 12;

// A control tells its parent: WM_COMMAND with its id and the notification code.
void NotifyParent(HWND control, WORD code);

}  // namespace sim
