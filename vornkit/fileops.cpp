// Work on the shown folder without leaving the file browser: new folder, rename by
// label edit, delete, and the list's taps.
#include "vornkit.h"

#define NEW_FOLDER_NAME TEXT("新しいﾌｫﾙﾀﾞ")
#define NEW_FOLDER_ATTEMPTS 100

WCHAR oldItemName[MAX_PATH];

static HWND FileList(HWND dialog) { return GetDlgItem(dialog, IDC_FILE_LIST); }

static void RefreshListAndPathBar(DialogRequest* request, HWND dialog) {
  ListFolder(request, FileList(dialog));
  FillPathBar(request, dialog);
}

// Reads the focused item's text (and parameter); -1 when no item has the focus.
static int ReadFocusedItem(HWND list, UINT mask, LPWSTR text, LPARAM* param) {
  int index = (int)SendMessageW(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
  if (index < 0) return -1;
  ZeroMemory(text, MAX_PATH * sizeof(WCHAR));
  LVITEMW item;
  ZeroMemory(&item, sizeof(item));
  item.mask = mask;
  item.iItem = index;
  item.pszText = text;
  item.cchTextMax = MAX_PATH - 1;
  SendMessageW(list, LVM_GETITEMW, 0, (LPARAM)&item);
  if (param != NULL) *param = item.lParam;
  return index;
}

static BOOL IsFolderParam(LPARAM param) {
  return ((DWORD)param & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY)) != 0;
}

int CreateNewFolder(DialogRequest* request, HWND dialog) {
  WCHAR name[MAX_PATH];
  WCHAR path[MAX_PATH];
  BOOL created = FALSE;
  for (int n = 1; n <= NEW_FOLDER_ATTEMPTS && !created; ++n) {
    if (n == 1)
      wcscpy(name, NEW_FOLDER_NAME);
    else
      FormatWhole(name, MAX_PATH, TEXT("%s#%d"), NEW_FOLDER_NAME, n);
    // A full path that does not fit is refused, never cut into another name.
    if (!FormatWhole(path, MAX_PATH, TEXT("%s%s"), request->folder, name)) return 0;
    created = CreateDirectoryW(path, NULL);
  }
  if (!created) return 0;
  RefreshListAndPathBar(request, dialog);

  LVFINDINFOW find;
  ZeroMemory(&find, sizeof(find));
  find.flags = LVFI_STRING;
  find.psz = name;
  int index = (int)SendMessageW(FileList(dialog), LVM_FINDITEMW, (WPARAM)-1, (LPARAM)&find);
  if (index < 0) return 1;
  request->newItemIndex = index;
  SetTimer(dialog, TIMER_NEW_FOLDER_EDIT, NEW_FOLDER_EDIT_DELAY, NULL);
  return 1;
}

void BeginNewFolderEdit(DialogRequest* request, HWND dialog) {
  HWND list = FileList(dialog);
  SetFocus(list);
  SendMessageW(list, LVM_ENSUREVISIBLE, request->newItemIndex, 1);
  LVITEMW state;
  ZeroMemory(&state, sizeof(state));
  state.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
  state.state = LVIS_FOCUSED | LVIS_SELECTED;
  SendMessageW(list, LVM_SETITEMSTATE, request->newItemIndex, (LPARAM)&state);
  SendMessageW(list, LVM_EDITLABELW, request->newItemIndex, 0);
}

int OpenFocusedItem(DialogRequest* request, HWND dialog) {
  WCHAR name[MAX_PATH];
  LPARAM param = 0;
  if (ReadFocusedItem(FileList(dialog), LVIF_TEXT | LVIF_PARAM, name, &param) < 0) return 0;
  if (!IsFolderParam(param)) {
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    return 1;
  }
  // A descent that would not fit keeps the folder as it is.
  WCHAR descended[MAX_PATH];
  if (!FormatWhole(descended, MAX_PATH, TEXT("%s%s\\"), request->folder, name)) return 0;
  wcscpy(request->folder, descended);
  RefreshListAndPathBar(request, dialog);
  return 1;
}

int PickFocusedItem(DialogRequest* request, HWND dialog) {
  WCHAR name[MAX_PATH];
  if (ReadFocusedItem(FileList(dialog), LVIF_TEXT | LVIF_PARAM, name, NULL) < 0) return 0;
  WCHAR picked[MAX_PATH];
  if (!FormatWhole(picked, MAX_PATH, TEXT("%s%s"), request->folder, name)) return 0;
  wcscpy(request->path, picked);
  SetWindowTextW(GetDlgItem(dialog, IDC_PATH_EDIT), request->path);
  return 1;
}

int DeleteFocusedItem(DialogRequest* request, HWND dialog) {
  WCHAR name[MAX_PATH];
  if (ReadFocusedItem(FileList(dialog), LVIF_TEXT, name, NULL) < 0) return 0;
  WCHAR path[MAX_PATH];
  if (!FormatWhole(path, MAX_PATH, TEXT("%s%s"), request->folder, name)) return 0;
  int kind = GetPathKind(path);
  if (kind == 0) return 0;
  if (MessageBoxW(dialog, name, TEXT("Delete ?"), MB_YESNO) == IDYES) {
    if (kind == 1)
      DeleteFileW(path);
    else
      RemoveDirectoryW(path);
  }
  ListFolder(request, FileList(dialog));
  return 1;
}

static int BeginLabelEdit(DialogRequest* request, HWND dialog) {
  if (ReadFocusedItem(FileList(dialog), LVIF_TEXT | LVIF_PARAM, oldItemName, NULL) < 0) return 0;
  request->renaming = 1;
  return 1;
}

// Renames on disk and rebuilds the list, so the list shows the names on disk
// whatever the list view did with the edited label. MoveFileW never replaces an
// existing item.
static int EndLabelEdit(DialogRequest* request, HWND dialog, NMLVDISPINFOW* info) {
  request->renaming = 0;
  if (info->item.pszText == NULL) return 0;
  WCHAR newName[MAX_PATH];
  if (!FormatWhole(newName, MAX_PATH, TEXT("%s"), info->item.pszText)) return 0;
  // A name with a path separator or another character names cannot hold would move
  // the item into another folder or fail: the item keeps its name.
  if (newName[wcscspn(newName, TEXT("\\/:*?\"<>|"))] != 0) {
    RefreshListAndPathBar(request, dialog);
    return 0;
  }
  WCHAR oldPath[MAX_PATH];
  WCHAR newPath[MAX_PATH];
  if (!FormatWhole(oldPath, MAX_PATH, TEXT("%s%s"), request->folder, oldItemName)) return 0;
  if (!FormatWhole(newPath, MAX_PATH, TEXT("%s%s"), request->folder, newName)) return 0;
  MoveFileW(oldPath, newPath);
  RefreshListAndPathBar(request, dialog);
  return 1;
}

int HandleListNotify(DialogRequest* request, HWND dialog, NMHDR* header) {
  switch (header->code) {
    case LVN_BEGINLABELEDITW:
      return BeginLabelEdit(request, dialog);
    case LVN_ENDLABELEDITW:
      return EndLabelEdit(request, dialog, (NMLVDISPINFOW*)header);
    case LVN_KEYDOWN:
      if (request->renaming) return 0;
      if (((NMLVKEYDOWN*)header)->wVKey == VK_DELETE) return DeleteFocusedItem(request, dialog);
      return 0;
    case NM_CLICK:
    case NM_RCLICK:
      return PickFocusedItem(request, dialog);
    case NM_DBLCLK:
      return OpenFocusedItem(request, dialog);
  }
  return 0;
}
