// The folder tree chooser: every folder of the device under "ﾏｲ ﾃﾞﾊﾞｲｽ".
#include "vornkit.h"

#include <aygshell.h>

#define TREE_STYLE_BITS (TVS_HASBUTTONS | TVS_HASLINES | TVS_SHOWSELALWAYS)
#define ITEM_MASK (TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE)
#define ROOT_IMAGE 0
#define FOLDER_IMAGE 1
// Each level of the scan adds at least a backslash and one character to its path,
// so no scan can nest deeper than a path can be long.
#define MAX_TREE_DEPTH (MAX_PATH / 2)

FolderTreeRequest* activeFolderTree;
WCHAR initialTreePath[TREE_PATH_CAPACITY];

static HTREEITEM InsertTreeItem(HWND tree, HTREEITEM parent, LPCWSTR text, int image) {
  TVINSERTSTRUCTW insert;
  ZeroMemory(&insert, sizeof(insert));
  insert.hParent = parent;
  insert.hInsertAfter = TVI_SORT;
  insert.item.mask = ITEM_MASK;
  insert.item.pszText = (LPWSTR)text;
  insert.item.iImage = image;
  insert.item.iSelectedImage = image;
  return (HTREEITEM)SendMessageW(tree, TVM_INSERTITEMW, 0, (LPARAM)&insert);
}

static void ReadItemText(HWND tree, HTREEITEM item, LPWSTR text) {
  ZeroMemory(text, MAX_PATH * sizeof(WCHAR));
  TVITEMW info;
  ZeroMemory(&info, sizeof(info));
  info.mask = TVIF_TEXT | TVIF_HANDLE;
  info.hItem = item;
  info.pszText = text;
  info.cchTextMax = MAX_PATH;
  SendMessageW(tree, TVM_GETITEMW, 0, (LPARAM)&info);
  text[MAX_PATH - 1] = 0;
}

static void CreateTreeImages(FolderTreeRequest* request, HWND tree) {
  request->imageList = ImageList_Create(16, 16, ILC_MASK, 1, 2);
  HICON icon = (HICON)LoadImageW(instanceHandle, MAKEINTRESOURCEW(IDI_HANDHELD), IMAGE_ICON, 16, 16, 0);
  if (request->imageList != NULL && icon != NULL) ImageList_ReplaceIcon(request->imageList, -1, icon);
  if (icon != NULL) DestroyIcon(icon);

  SHFILEINFO info;
  ZeroMemory(&info, sizeof(info));
  SHGetFileInfo(TEXT("\\Windows"), 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON);
  if (request->imageList != NULL && info.hIcon != NULL) ImageList_ReplaceIcon(request->imageList, -1, info.hIcon);
  if (info.hIcon != NULL) DestroyIcon(info.hIcon);

  SendMessageW(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, (LPARAM)request->imageList);
}

void FillFolderTree(HWND tree, HTREEITEM parent, LPCWSTR folderPath, int depth) {
  WCHAR path[MAX_PATH];
  WIN32_FIND_DATAW found;
  // A folder whose search text would not fit, or that lies too deep, is shown
  // without children.
  HANDLE search = INVALID_HANDLE_VALUE;
  if (depth < MAX_TREE_DEPTH && FormatWhole(path, MAX_PATH, TEXT("%s\\*.*"), folderPath))
    search = FindFirstFileW(path, &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
      HTREEITEM item = InsertTreeItem(tree, parent, found.cFileName, FOLDER_IMAGE);
      if (FormatWhole(path, MAX_PATH, TEXT("%s\\%s"), folderPath, found.cFileName))
        FillFolderTree(tree, item, path, depth + 1);
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  SendMessageW(tree, TVM_SORTCHILDREN, 0, (LPARAM)parent);
}

int SelectInitialFolder(HWND dialog) {
  HWND tree = GetDlgItem(dialog, IDC_FOLDER_TREE);
  LPCWSTR rest = wcschr(initialTreePath, TEXT('\\'));
  if (rest == NULL) return 0;
  HTREEITEM current = (HTREEITEM)SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
  WCHAR component[MAX_PATH];
  WCHAR text[MAX_PATH];
  while (rest != NULL) {
    ++rest;
    ZeroMemory(component, sizeof(component));
    LPCWSTR end = wcschr(rest, TEXT('\\'));
    size_t length = end != NULL ? (size_t)(end - rest) : wcslen(rest);
    if (length >= MAX_PATH) return 0;
    wcsncpy(component, rest, length);

    HTREEITEM child = (HTREEITEM)SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)current);
    while (child != NULL) {
      ReadItemText(tree, child, text);
      if (wcscmp(text, component) == 0) break;
      child = (HTREEITEM)SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)child);
    }
    if (child == NULL) return 0;
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)child);
    current = child;
    rest = end;
  }
  return 1;
}

void InitFolderTree(FolderTreeRequest* request, HWND dialog) {
  CreateLibraryMenuBar(dialog, IDR_TREE_MENU_BAR);

  if (request->title[0] != 0) SetDlgItemTextW(dialog, IDC_TITLE, request->title);

  HWND tree = GetDlgItem(dialog, IDC_FOLDER_TREE);
  CreateTreeImages(request, tree);
  SetWindowLongW(tree, GWL_STYLE, GetWindowLongW(tree, GWL_STYLE) | TREE_STYLE_BITS);

  HCURSOR keptCursor = SetCursor(LoadCursorW(NULL, IDC_WAIT));
  HTREEITEM root = InsertTreeItem(tree, NULL, ROOT_ITEM_TEXT, ROOT_IMAGE);
  FillFolderTree(tree, root, TEXT(""), 0);
  SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)root);
  SelectInitialFolder(dialog);
  SetCursor(keptCursor);

  InitFullScreenDialog(dialog);
}

void LayoutFolderTree(HWND dialog) {
  RECT client;
  GetClientRect(dialog, &client);
  HWND tree = GetDlgItem(dialog, IDC_FOLDER_TREE);
  if (tree != NULL) SetWindowPos(tree, NULL, 4, 22, client.right - 8, client.bottom - 26, 0);
}

// The image list is the dialog's: it goes when the dialog ends, whatever ends it.
static void EndFolderTree(FolderTreeRequest* request, HWND dialog, INT_PTR result) {
  if (request != NULL && request->imageList != NULL) {
    SendMessageW(GetDlgItem(dialog, IDC_FOLDER_TREE), TVM_SETIMAGELIST, TVSIL_NORMAL, 0);
    ImageList_Destroy(request->imageList);
    request->imageList = NULL;
  }
  EndDialog(dialog, result);
}

static HTREEITEM ParentItem(HWND tree, HTREEITEM item) {
  return (HTREEITEM)SendMessageW(tree, TVM_GETNEXTITEM, TVGN_PARENT, (LPARAM)item);
}

// The root item is the tree's top item: a folder may carry the root item's text.
// A path that would not fit keeps the dialog open.
int BuildSelectedPath(FolderTreeRequest* request, HWND dialog) {
  HWND tree = GetDlgItem(dialog, IDC_FOLDER_TREE);
  WCHAR path[MAX_PATH];
  WCHAR scratch[MAX_PATH];
  WCHAR text[MAX_PATH];
  ZeroMemory(path, sizeof(path));
  ZeroMemory(scratch, sizeof(scratch));
  HTREEITEM root = (HTREEITEM)SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
  HTREEITEM item = (HTREEITEM)SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
  if (item != NULL && item != root) {
    ReadItemText(tree, item, path);
    HTREEITEM ancestor;
    for (ancestor = ParentItem(tree, item); ancestor != NULL && ancestor != root; ancestor = ParentItem(tree, ancestor)) {
      ReadItemText(tree, ancestor, text);
      if (!FormatWhole(scratch, MAX_PATH, TEXT("%s\\%s"), text, path)) return 0;
      wcscpy(path, scratch);
    }
    if (!FormatWhole(scratch, MAX_PATH, TEXT("\\%s"), path)) return 0;
    wcscpy(path, scratch);
  }
  wcscpy(request->result, path);
  EndFolderTree(request, dialog, 1);
  return 1;
}

INT_PTR CALLBACK FolderTreeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  FolderTreeRequest* request = activeFolderTree;
  if (request == NULL) return 0;
  switch (message) {
    case WM_SIZE:
      LayoutFolderTree(dialog);
      return 0;
    case WM_INITDIALOG:
      InitFolderTree(request, dialog);
      LayoutFolderTree(dialog);
      return 1;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          BuildSelectedPath(request, dialog);
          return 1;
        case IDCANCEL:
          EndFolderTree(request, dialog, 2);
          return 1;
      }
      return 0;
  }
  return 0;
}

int FolderTree(HWND parent, LPCWSTR title, LPWSTR path) {
  // One tree at a time per process, and only paths that fit the pre-selection text.
  if (activeFolderTree != NULL || title == NULL || path == NULL || !FitsIn(path, TREE_PATH_CAPACITY)) return 0;
  wcscpy(initialTreePath, path);
  FolderTreeRequest request;
  request.title = title;
  request.result = path;
  request.imageList = NULL;
  activeFolderTree = &request;
  HRSRC resource = FindResourceW(instanceHandle, MAKEINTRESOURCEW(IDD_FOLDER_TREE), RT_DIALOG);
  HGLOBAL dialogTemplate = LoadResource(instanceHandle, resource);
  INT_PTR result =
      DialogBoxIndirectParamW(instanceHandle, (LPCDLGTEMPLATEW)dialogTemplate, parent, FolderTreeDialogProc, 0);
  // A dialog that ended without OK or cancel (its owner went away) still leaves no image list behind.
  if (request.imageList != NULL) ImageList_Destroy(request.imageList);
  activeFolderTree = NULL;
  return (int)result;
}
