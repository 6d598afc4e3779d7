// The library's attach entry, its exports' common body, and the two small
// operations the rest of the library shares: the wait cursor and the path kind.
#include "vornkit.h"

#include <aygshell.h>

#define SHMENUBARINFO_SIZE_WITHOUT_COLOR 32

HINSTANCE instanceHandle;
BOOL waitCursorShown;

void ResetVornkitGlobals() {
  instanceHandle = NULL;
  waitCursorShown = FALSE;
  activeFolderTree = NULL;
  wcscpy(initialTreePath, TEXT("\\"));
  oldItemName[0] = 0;
}

BOOL VornkitAttach(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) instanceHandle = instance;
  return TRUE;
}

int GetVornkitVer(int which) {
  switch (which) {
    case 1:
      return 100;
    case 3:
    case 4:
    case 5:
      return 0;
    default:
      return 1100;
  }
}

void InitDialogRequest(DialogRequest* request) {
  request->mode = MODE_FILE;
  request->renaming = 0;
  request->newItemIndex = 0;
  request->path[0] = 0;
  request->folder[0] = 0;
  wcscpy(request->pattern, TEXT("*.*"));
  request->title = TEXT("File");
  request->imageList = NULL;
  request->menuBar = NULL;
}

// The folder that holds the caller's path: everything up to its last backslash.
static void TakeStartFolder(DialogRequest* request) {
  if (request->folder[0] == 0) wcscpy(request->folder, TEXT("\\"));
  LPWSTR lastBackslash = wcsrchr(request->folder, TEXT('\\'));
  if (lastBackslash != NULL) lastBackslash[1] = 0;
}

// TRUE when `text` ends within `capacity` characters, terminator included.
BOOL FitsIn(LPCWSTR text, size_t capacity) {
  for (size_t i = 0; i < capacity; ++i)
    if (text[i] == 0) return TRUE;
  return FALSE;
}

int RunFileBrowser(DialogRequest* request, HWND parent, LPWSTR callerPath) {
  // A path that does not fit the request is refused before anything is copied.
  if (callerPath == NULL || !FitsIn(callerPath, MAX_PATH)) return 0;
  wcscpy(request->folder, callerPath);
  wcscpy(request->path, callerPath);
  TakeStartFolder(request);

  HRSRC resource = FindResourceW(instanceHandle, MAKEINTRESOURCEW(IDD_FILE_BROWSER), RT_DIALOG);
  HGLOBAL dialogTemplate = LoadResource(instanceHandle, resource);
  INT_PTR result = DialogBoxIndirectParamW(instanceHandle, (LPCDLGTEMPLATEW)dialogTemplate, parent,
                                           FileBrowserDialogProc, (LPARAM)request);
  // A dialog that ended without OK or cancel (its owner went away) still leaves no image list behind.
  if (request->imageList != NULL) {
    ImageList_Destroy(request->imageList);
    request->imageList = NULL;
  }
  if (result == 1) {
    wcscpy(callerPath, request->path);
    return 1;
  }
  return (int)result;
}

int FileDialog(HWND parent, LPCWSTR title, LPWSTR path, int mustExist) {
  DialogRequest request;
  InitDialogRequest(&request);
  request.title = title;
  request.mustExist = mustExist;
  return RunFileBrowser(&request, parent, path);
}

int FolderDialog(HWND parent, LPCWSTR title, LPWSTR path, int mustExist) {
  DialogRequest request;
  InitDialogRequest(&request);
  request.title = title;
  request.mustExist = mustExist;
  request.mode = MODE_FOLDER;
  return RunFileBrowser(&request, parent, path);
}

void SetWaitCursor(int on) {
  if (on) {
    if (waitCursorShown) return;
    waitCursorShown = TRUE;
    SetCursor(LoadCursorW(NULL, IDC_WAIT));
  } else {
    waitCursorShown = FALSE;
    SetCursor(NULL);
  }
}

// The file search finds nothing for a text that ends in a backslash, but such a text
// names a folder: "\" is the root, and "\X\" is the folder "\X" when there is one.
static int GetFolderPathKind(LPCWSTR path, size_t length) {
  if (length == 1) return 2;
  WCHAR folder[MAX_PATH];
  if (length >= MAX_PATH) return 0;
  wcsncpy(folder, path, length - 1);
  folder[length - 1] = 0;
  return GetPathKind(folder) == 2 ? 2 : 0;
}

int GetPathKind(LPCWSTR path) {
  size_t length = wcslen(path);
  if (length > 0 && path[length - 1] == TEXT('\\')) return GetFolderPathKind(path, length);
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(path, &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  FindClose(search);
  if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY)) return 2;
  return 1;
}

// The library's menu bar resource on a dialog; null when it cannot be made.
HWND CreateLibraryMenuBar(HWND dialog, UINT menuBarId) {
  SHMENUBARINFO menuBar;
  ZeroMemory(&menuBar, sizeof(menuBar));
  menuBar.cbSize = SHMENUBARINFO_SIZE_WITHOUT_COLOR;
  menuBar.hwndParent = dialog;
  menuBar.dwFlags = 0;
  menuBar.nToolBarId = menuBarId;
  menuBar.hInstRes = instanceHandle;
  menuBar.nBmpId = 0;
  menuBar.cBmpImages = 0;
  if (!SHCreateMenuBar(&menuBar)) return NULL;
  return menuBar.hwndMB;
}

// The title-bar OK, the dialog over the whole work area, the input panel down.
void InitFullScreenDialog(HWND dialog) {
  SHINITDLGINFO init;
  ZeroMemory(&init, sizeof(init));
  init.dwMask = SHIDIM_FLAGS;
  init.hDlg = dialog;
  init.dwFlags = SHIDIF_DONEBUTTON | SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN;
  SHInitDialog(&init);
}
