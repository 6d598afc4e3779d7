#include "shortcut_file.h"

#include "bounded_format.h"

BOOL ReplaceShortcutFile(LPCWSTR linkPath, LPCWSTR target) {
  WCHAR path[MAX_PATH];
  WCHAR newTarget[MAX_PATH];
  WCHAR oldTarget[MAX_PATH];
  if (!FormatWhole(path, MAX_PATH, TEXT("%s"), linkPath) || !FormatWhole(newTarget, MAX_PATH, TEXT("%s"), target))
    return FALSE;
  DWORD attributes = GetFileAttributesW(path);
  BOOL hadOld = attributes != INVALID_FILE_ATTRIBUTES;
  if (hadOld) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return FALSE;
    // A file that cannot be read as a shortcut could not be put back: it stays.
    if (!SHGetShortcutTarget(path, oldTarget, MAX_PATH)) return FALSE;
    if (!DeleteFileW(path)) return FALSE;
  }
  if (SHCreateShortcut(path, newTarget)) return TRUE;
  if (hadOld) SHCreateShortcut(path, oldTarget);
  return FALSE;
}
