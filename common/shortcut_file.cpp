#include "shortcut_file.h"

#include "bounded_format.h"

// The path of the file that `path` names, spelt as the file system spells its name
// (names compare ignoring case); `path` itself when that cannot be found out.
static void StoredSpelling(LPCWSTR path, LPWSTR stored) {
  wcscpy(stored, path);
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(path, &found);
  if (search == INVALID_HANDLE_VALUE) return;
  FindClose(search);
  LPCWSTR slash = wcsrchr(path, TEXT('\\'));
  size_t folderLength = slash == NULL ? 0 : (size_t)(slash - path) + 1;
  if (folderLength + wcslen(found.cFileName) >= MAX_PATH) return;
  wcscpy(stored + folderLength, found.cFileName);
}

BOOL ReplaceShortcutFile(LPCWSTR linkPath, LPCWSTR target) {
  WCHAR path[MAX_PATH];
  WCHAR newTarget[MAX_PATH];
  WCHAR oldTarget[MAX_PATH];
  WCHAR oldPath[MAX_PATH];
  if (!FormatWhole(path, MAX_PATH, TEXT("%s"), linkPath) || !FormatWhole(newTarget, MAX_PATH, TEXT("%s"), target))
    return FALSE;
  DWORD attributes = GetFileAttributesW(path);
  BOOL hadOld = attributes != INVALID_FILE_ATTRIBUTES;
  if (hadOld) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return FALSE;
    // A file that cannot be read as a shortcut could not be put back: it stays.
    if (!SHGetShortcutTarget(path, oldTarget, MAX_PATH)) return FALSE;
    // Put back, the old shortcut keeps its name as it was, not as the new one is spelt.
    StoredSpelling(path, oldPath);
    if (!DeleteFileW(path)) return FALSE;
  }
  if (SHCreateShortcut(path, newTarget)) return TRUE;
  if (hadOld) SHCreateShortcut(oldPath, oldTarget);
  return FALSE;
}
