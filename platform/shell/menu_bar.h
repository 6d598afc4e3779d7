// The pocket shell's menu bar: a window at the bottom of the screen, owned by the
// window it serves, holding a toolbar of buttons. A button with a submenu opens it
// through the menu tracker; any other button sends its command to the owner.
#pragma once

#include <windows.h>

namespace sim {

inline constexpr const char16_t* kMenuBarClass = u"menu_worker";
inline constexpr int kMenuBarToolbarId = 1;

// The toolbar inside a menu bar window; null for any other window.
HWND MenuBarToolbar(HWND menuBar);
// The menu bar window owned by `owner`, if it has one.
HWND FindMenuBarOf(HWND owner);

}  // namespace sim
