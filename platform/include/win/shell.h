// Shortcut files of the device's shell: text files "N#target" in the ANSI code page,
// N being the number of characters of the target.
#pragma once
#include "types.h"

// Writes a new shortcut file; FALSE when the file exists, when the target is longer
// than 256 characters or has a character the ANSI code page cannot hold, or when
// the file cannot be written (nothing is left behind then).
BOOL SHCreateShortcut(LPWSTR shortcutFile, LPWSTR target);
// Copies the text after the first '#' (quotes and arguments included) into `target`,
// which holds `maxChars` characters with the terminator. FALSE, with an empty
// terminated buffer, when the file is not a shortcut or the target does not fit.
BOOL SHGetShortcutTarget(LPWSTR shortcutFile, LPWSTR target, int maxChars);
