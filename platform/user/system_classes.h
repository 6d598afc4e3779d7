// The window classes every program finds on the device: the dialog class, the basic
// controls and the common controls. They are registered as global system classes
// when the window system starts, from one table per part of the platform that has
// classes.
#pragma once

#include <span>
#include <string>

#include <windows.h>

namespace sim {

// One class of a part's table.
struct SystemClass {
  const char16_t* name;
  WNDPROC proc;
  UINT style;
  int windowExtra = 0;
};

// Registers every class of `classes` as a global class of the device.
void RegisterClassTable(std::span<const SystemClass> classes);

// The dialog class and the basic controls (this part's table).
std::span<const SystemClass> BasicSystemClasses();

// Registers the tables of every part. The window system calls it once, when it
// starts. It is defined where the platform is put together (boot/), which knows
// each part with classes; the window system knows none of those above it.
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
