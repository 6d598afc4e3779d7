// The file browser's list of the current folder's entries, and its path bar.
#include "vornkit.h"

#define TEXT_CAPACITY 32

static BOOL IsFolderAttributes(DWORD attributes) {
  return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY)) != 0;
}

void AddListColumns(DialogRequest* request, HWND list) {
  static const struct {
    LPCWSTR text;
    int format;
    int width;
  } columns[] = {
      {TEXT("名前"), LVCFMT_LEFT, 120},
      {TEXT("サイズ"), LVCFMT_RIGHT, 70},
      {TEXT("日付"), LVCFMT_LEFT, 136},
  };
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNW column;
    ZeroMemory(&column, sizeof(column));
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = columns[i].format;
    column.cx = columns[i].width;
    column.pszText = (LPWSTR)columns[i].text;
    column.iSubItem = i;
    SendMessageW(list, LVM_INSERTCOLUMNW, i, (LPARAM)&column);
  }
}

void AddListItem(DialogRequest* request, HWND list, LPCWSTR name, LPCWSTR sizeText, LPCWSTR dateText, DWORD attributes) {
  LVITEMW item;
  ZeroMemory(&item, sizeof(item));
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
  item.iItem = (int)SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
  item.iSubItem = 0;
  item.pszText = (LPWSTR)name;
  item.cchTextMax = (int)wcslen(name) + 1;
  item.iImage = IsFolderAttributes(attributes) ? 1 : 0;
  item.lParam = (LPARAM)attributes;
  int index = (int)SendMessageW(list, LVM_INSERTITEMW, 0, (LPARAM)&item);

  LVITEMW subItem;
  ZeroMemory(&subItem, sizeof(subItem));
  subItem.mask = LVIF_TEXT;
  subItem.iItem = index;
  subItem.iSubItem = 1;
  subItem.pszText = (LPWSTR)sizeText;
  SendMessageW(list, LVM_SETITEMW, 0, (LPARAM)&subItem);
  subItem.iSubItem = 2;
  subItem.pszText = (LPWSTR)dateText;
  SendMessageW(list, LVM_SETITEMW, 0, (LPARAM)&subItem);
}

// Sizes in units of 1000: "9999", "10KB", "1,234KB", "100MB".
void FormatSizeText(DWORD size, LPWSTR text, int capacity) {
  if (size < 10000)
    FormatWhole(text, capacity, TEXT("%u"), size);
  else if (size < 1000000)
    FormatWhole(text, capacity, TEXT("%uKB"), size / 1000);
  else if (size < 100000000) {
    DWORD kilo = size / 1000;
    FormatWhole(text, capacity, TEXT("%u,%03uKB"), kilo / 1000, kilo % 1000);
  } else
    FormatWhole(text, capacity, TEXT("%uMB"), size / 1000000);
}

static void FormatDateText(const FILETIME* written, LPWSTR text, int capacity) {
  FILETIME local;
  SYSTEMTIME time;
  ZeroMemory(&time, sizeof(time));
  FileTimeToLocalFileTime(written, &local);
  FileTimeToSystemTime(&local, &time);
  FormatWhole(text, capacity, TEXT("%04d-%02d-%02d %02d:%02d:%02d"), time.wYear, time.wMonth, time.wDay, time.wHour,
              time.wMinute, time.wSecond);
}

static void AddFoundEntry(DialogRequest* request, HWND list, const WIN32_FIND_DATAW* found) {
  BOOL isFolder = IsFolderAttributes(found->dwFileAttributes);
  if (request->mode == MODE_FOLDER && !isFolder) return;
  if (found->cFileName[0] == TEXT('.')) return;
  WCHAR sizeText[TEXT_CAPACITY];
  WCHAR dateText[TEXT_CAPACITY];
  sizeText[0] = 0;
  if (!isFolder) FormatSizeText(found->nFileSizeLow, sizeText, TEXT_CAPACITY);
  FormatDateText(&found->ftLastWriteTime, dateText, TEXT_CAPACITY);
  AddListItem(request, list, found->cFileName, sizeText, dateText, found->dwFileAttributes);
}

int ListFolder(DialogRequest* request, HWND list) {
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  if (wcslen(request->folder) > MAX_FOLDER_LENGTH) return 0;
  WCHAR search[MAX_PATH];
  if (!FormatWhole(search, MAX_PATH, TEXT("%s%s"), request->folder, request->pattern)) return 0;
  WIN32_FIND_DATAW found;
  HANDLE handle = FindFirstFileW(search, &found);
  if (handle == INVALID_HANDLE_VALUE) return 0;
  SetWaitCursor(1);
  do {
    AddFoundEntry(request, list, &found);
  } while (FindNextFileW(handle, &found));
  SetWaitCursor(0);
  FindClose(handle);
  return 1;
}

void FillPathBar(DialogRequest* request, HWND dialog) {
  HWND pathBar = GetDlgItem(dialog, IDC_PATH_BAR);
  SendMessageW(pathBar, CB_RESETCONTENT, 0, 0);
  SendMessageW(pathBar, CB_INSERTSTRING, 0, (LPARAM)TEXT("\\"));
  WCHAR entry[MAX_PATH];
  wcscpy(entry, TEXT("\\"));
  int level = 0;
  LPCWSTR levelStart = request->folder + 1;
  for (LPCWSTR p = levelStart; *p != 0; ++p) {
    if (*p != TEXT('\\')) continue;
    ++level;
    int nameLength = (int)(p - levelStart);
    if (level + nameLength >= MAX_PATH) break;
    for (int i = 0; i < level; ++i) entry[i] = TEXT(' ');
    for (int i = 0; i < nameLength; ++i) entry[level + i] = levelStart[i];
    entry[level + nameLength] = 0;
    SendMessageW(pathBar, CB_INSERTSTRING, level, (LPARAM)entry);
    levelStart = p + 1;
  }
  SendMessageW(pathBar, CB_SELECTSTRING, 0, (LPARAM)entry);
}

// Keeps the root and the first `levels` levels of `folder`, with the trailing backslash.
static void CutFolderToLevel(LPWSTR folder, int levels) {
  if (levels == 0) {
    wcscpy(folder, TEXT("\\"));
    return;
  }
  int found = 0;
  for (LPWSTR p = folder + 1; *p != 0; ++p) {
    if (*p == TEXT('\\') && ++found == levels) {
      p[1] = 0;
      return;
    }
  }
}

int SelectPathBarLevel(DialogRequest* request, HWND dialog, WPARAM wParam, HWND pathBar) {
  if (HIWORD(wParam) != CBN_SELCHANGE) return 0;
  int selection = (int)SendMessageW(pathBar, CB_GETCURSEL, 0, 0);
  if (selection < 0) return 0;
  CutFolderToLevel(request->folder, selection);
  SetWindowTextW(GetDlgItem(dialog, IDC_PATH_EDIT), request->folder);
  ListFolder(request, GetDlgItem(dialog, IDC_FILE_LIST));
  FillPathBar(request, dialog);
  return 1;
}

void GoUpFolder(DialogRequest* request, HWND dialog) {
  LPWSTR folder = request->folder;
  size_t length = wcslen(folder);
  if (length > 0 && folder[length - 1] == TEXT('\\')) folder[length - 1] = 0;
  LPWSTR lastBackslash = wcsrchr(folder, TEXT('\\'));
  if (lastBackslash != NULL) lastBackslash[1] = 0;
  if (folder[0] == 0)
    wcscpy(folder, TEXT("\\"));
  else if (folder[wcslen(folder) - 1] != TEXT('\\'))
    wcscat(folder, TEXT("\\"));
  ListFolder(request, GetDlgItem(dialog, IDC_FILE_LIST));
  FillPathBar(request, dialog);
}
