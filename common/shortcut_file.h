// Writing a shortcut file over an existing one.
#pragma once

#include <windows.h>

// Writes the shortcut `linkPath` with `target`, replacing a shortcut file of that
// name. TRUE when the new shortcut is written. A folder of that name is never
// touched (FALSE), and no other name is ever written: the old shortcut's target is
// read before it is deleted, and written back, under the name as it was spelt, if
// the new shortcut cannot be.
BOOL ReplaceShortcutFile(LPCWSTR linkPath, LPCWSTR target);
