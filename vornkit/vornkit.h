// Vornkit: the dialog library. Modal choosers for other programs: a file chooser
// and a folder chooser (one file-browser dialog in two modes) and a folder tree
// chooser over the whole device.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "bounded_format.h"
#include "resource.h"

#define PATTERN_CAPACITY 16
#define TREE_PATH_CAPACITY 256
// `folder` and the search pattern "*.*" share one 260-character search text.
#define MAX_FOLDER_LENGTH 256

#define MODE_FILE 0
#define MODE_FOLDER 1

#define TIMER_NEW_FOLDER_EDIT 1
#define NEW_FOLDER_EDIT_DELAY 1000

#define ROOT_ITEM_TEXT TEXT("ﾏｲ ﾃﾞﾊﾞｲｽ")

// One FileDialog or FolderDialog call.
struct DialogRequest {
  int mode;
  int renaming;
  int newItemIndex;
  int mustExist;
  LPCWSTR title;
  WCHAR path[MAX_PATH];
  WCHAR folder[MAX_PATH];
  WCHAR pattern[PATTERN_CAPACITY];
  HIMAGELIST imageList;
  HWND menuBar;
};

// One FolderTree call.
struct FolderTreeRequest {
  LPCWSTR title;
  LPWSTR result;
  HIMAGELIST imageList;
};

extern HINSTANCE instanceHandle;
extern BOOL waitCursorShown;
extern FolderTreeRequest* activeFolderTree;
extern WCHAR initialTreePath[TREE_PATH_CAPACITY];
extern WCHAR oldItemName[MAX_PATH];

// Exports.
int GetVornkitVer(int which);
int FileDialog(HWND parent, LPCWSTR title, LPWSTR path, int mustExist);
int FolderDialog(HWND parent, LPCWSTR title, LPWSTR path, int mustExist);
int FolderTree(HWND parent, LPCWSTR title, LPWSTR path);

// entry.cpp
BOOL VornkitAttach(HINSTANCE instance, DWORD reason, LPVOID reserved);
void ResetVornkitGlobals();
void InitDialogRequest(DialogRequest* request);
int RunFileBrowser(DialogRequest* request, HWND parent, LPWSTR callerPath);
void SetWaitCursor(int on);
int GetPathKind(LPCWSTR path);
BOOL FitsIn(LPCWSTR text, size_t capacity);
HWND CreateLibraryMenuBar(HWND dialog, UINT menuBarId);
void InitFullScreenDialog(HWND dialog);

// browser.cpp
INT_PTR CALLBACK FileBrowserDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void InitFileBrowser(DialogRequest* request, HWND dialog);
void LayoutFileBrowser(DialogRequest* request, HWND dialog);
void SetListStyle(HWND dialog, DWORD view);
int ValidateOk(DialogRequest* request, HWND dialog);

// listing.cpp
void AddListColumns(DialogRequest* request, HWND list);
void AddListItem(DialogRequest* request, HWND list, LPCWSTR name, LPCWSTR sizeText, LPCWSTR dateText, DWORD attributes);
int ListFolder(DialogRequest* request, HWND list);
void FillPathBar(DialogRequest* request, HWND dialog);
int SelectPathBarLevel(DialogRequest* request, HWND dialog, WPARAM wParam, HWND pathBar);
void GoUpFolder(DialogRequest* request, HWND dialog);
void FormatSizeText(DWORD size, LPWSTR text, int capacity);

// fileops.cpp
int CreateNewFolder(DialogRequest* request, HWND dialog);
void BeginNewFolderEdit(DialogRequest* request, HWND dialog);
int OpenFocusedItem(DialogRequest* request, HWND dialog);
int PickFocusedItem(DialogRequest* request, HWND dialog);
int DeleteFocusedItem(DialogRequest* request, HWND dialog);
int HandleListNotify(DialogRequest* request, HWND dialog, NMHDR* header);

// foldertree.cpp
INT_PTR CALLBACK FolderTreeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void InitFolderTree(FolderTreeRequest* request, HWND dialog);
void FillFolderTree(HWND tree, HTREEITEM parent, LPCWSTR folderPath, int depth);
int SelectInitialFolder(HWND dialog);
void LayoutFolderTree(HWND dialog);
int BuildSelectedPath(FolderTreeRequest* request, HWND dialog);
