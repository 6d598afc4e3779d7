// What the device's own shell programs (the File Explorer) use beyond the public
// API, as the device's shell reaches its private entries: a menu tracked with the
// mark its owner hears it announced with, and a shortcut's target split the way the
// shell starts it. Only the device's programs see this folder; the suite does not.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace sim {

// The entry shared by TrackPopupMenu, TrackPopupMenuEx and the menu bar: announces
// `menu` to `owner` with WM_INITMENUPOPUP (wParam the menu, `index` in the low word of
// lParam; the menu bar passes its button's position), returns 0 at once when the menu
// is empty afterwards, otherwise runs the menu loop until an item is chosen or the
// menu is dismissed. A choice returns the command with TPM_RETURNCMD, otherwise posts
// WM_COMMAND (id, 0) to the owner and returns TRUE; dismissal returns 0.
BOOL TrackMenu(HMENU menu, HWND owner, int index, UINT flags);

// A target as the shell starts it: the program (quoted, or up to the first blank)
// and its command line (the rest, after the blanks that follow the program).
struct ShortcutCommand {
  std::u16string program;
  std::u16string arguments;
};
ShortcutCommand SplitShortcutTarget(std::u16string_view target);

}  // namespace sim
