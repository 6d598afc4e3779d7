// CompanionWndProc: the procedure the companion puts in place of the File
// Explorer's main window procedure, with the companion's commands and timers.
#include "companion.h"

#include <aygshell.h>

#include "bounded_format.h"

#define PICK_FOLDER_TITLE TEXT("移動先を指定してください")
#define BULLET 0x2022

static LRESULT PassOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(companionState.previousWndProc, window, message, wParam, lParam);
}

void SendCtrlKey(BYTE key) {
  keybd_event(VK_CONTROL, 0, 0, 0);
  Sleep(100);
  keybd_event(key, 0, 0, 0);
  Sleep(100);
  keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
  Sleep(100);
  keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
}

// TRUE when the clipboard could be opened and emptied.
BOOL ClearClipboard(HWND window) {
  if (!OpenClipboard(window)) return FALSE;
  BOOL emptied = EmptyClipboard();
  CloseClipboard();
  return emptied;
}

UINT FindFileListFormat() {
  UINT format = RegisterClipboardFormatW(FILE_LIST_FORMAT_NAME);
  if (IsClipboardFormatAvailable(format)) return format;
  return 0;
}

static BOOL IsControlDown() { return (GetKeyState(VK_CONTROL) & 0x8000) != 0; }

// Reads the text of a menu item by position; FALSE when there is no such item.
static BOOL ReadMenuItemText(HMENU menu, UINT position, LPWSTR text) {
  MENUITEMINFOW info;
  ZeroMemory(&info, sizeof(info));
  info.cbSize = sizeof(info);
  info.fMask = MIIM_TYPE;
  info.fType = 0;
  info.dwTypeData = text;
  info.cch = MAX_PATH;
  text[0] = 0;
  return GetMenuItemInfoW(menu, position, TRUE, &info);
}

void StripQuotes(CString& text) {
  text.TrimLeft(TEXT('"'));
  text.TrimRight(TEXT('"'));
}

// Reads a link's target into `target`, quotes removed; FALSE when the link
// cannot be read, so the caller acts on nothing stale.
static BOOL ReadLinkTarget(LPCWSTR folder, LPCWSTR itemText, CString& target) {
  WCHAR linkPath[MAX_PATH];
  WCHAR linkTarget[MAX_PATH];
  if (!FormatWhole(linkPath, MAX_PATH, TEXT("%s\\%s.lnk"), folder, itemText)) return FALSE;
  linkTarget[0] = 0;
  if (!SHGetShortcutTarget(linkPath, linkTarget, MAX_PATH)) return FALSE;
  target = linkTarget;
  StripQuotes(target);
  return TRUE;
}

static void JumpToFolder(LPCWSTR folder) {
  WCHAR commandLine[MAX_PATH];
  if (!FormatWhole(commandLine, MAX_PATH, TEXT("%s"), folder)) return;
  PROCESS_INFORMATION process;
  ZeroMemory(&process, sizeof(process));
  if (CreateProcessW(EXPLORER_PATH, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, NULL, &process)) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
}

// Clicks the File Explorer's folder button; the folder menu it opens comes back
// here as a nested WM_INITMENUPOPUP, where the current folder is read.
static void ClickFolderButton(HWND window) {
  companionState.captureFolder = 1;
  HWND child = GetWindow(window, GW_CHILD);
  SendMessageW(child, WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
  SendMessageW(child, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  companionState.captureFolder = 0;
}

void CaptureCurrentFolder(HMENU folderMenu) {
  WCHAR text[MAX_PATH];
  companionState.currentFolder = TEXT("\\");
  UINT itemsRead = 0;
  for (UINT position = 1; ReadMenuItemText(folderMenu, position, text); ++position) {
    // An item is the level's indentation, a bullet, a space and the folder's name,
    // which may itself begin with spaces.
    CString level(text);
    level.TrimLeft();
    level.TrimLeft((WCHAR)BULLET);
    if (level.GetLength() > 0 && level[0] == TEXT(' ')) level = level.Mid(1);
    companionState.currentFolder += level;
    companionState.currentFolder += TEXT("\\");
    ++itemsRead;
  }
  for (UINT i = 0; i <= itemsRead; ++i) DeleteMenu(folderMenu, 0, MF_BYPOSITION);
}

static void SendToCommand(HWND window, UINT id) {
  WCHAR text[MAX_PATH];
  if (!ReadMenuItemText(companionState.sendToMenu, id - CMD_SEND_TO_FIRST, text)) return;
  size_t length = wcslen(text);
  companionState.passUnquoted = (length > 0 && text[length - 1] == TEXT('_')) ? 1 : 0;
  CString target;
  if (!ReadLinkTarget(TEXT("\\Windows\\SendTo"), text, target)) return;
  companionState.sendToTarget = target;

  // Only the copy that these keystrokes make may reach the program, and it comes
  // with timer 107: the keystrokes take effect once this procedure has returned, so
  // a file list found before then was copied earlier and is never sent. Either
  // clear removes such a list; when neither can, the command stops here.
  BOOL cleared = ClearClipboard(window);
  SendCtrlKey(VK_C_KEY);
  if (ClearClipboard(window)) cleared = TRUE;
  if (!cleared) {
    ShowClipboardOpenFailed(window);
    return;
  }
  SetTimer(window, TIMER_SEND_TO, COPY_SETTLE_DELAY, NULL);
}

static void MoveToCommand(UINT id) {
  WCHAR text[MAX_PATH];
  if (!ReadMenuItemText(companionState.moveToMenu, id - MOVE_TO_LINK_POSITION_BASE, text)) return;
  CString folder;
  if (!ReadLinkTarget(TEXT("\\Windows\\MoveTo"), text, folder)) return;
  JumpToFolder(folder);
}

// The folder on screen as the folder tree takes it: without its trailing backslash,
// and for a folder too deep for the tree's text, its deepest ancestor that fits.
void TreeStartFolder(const CString& folder, LPWSTR path) {
  CString start = folder;
  if (start.GetLength() > 1 && start[start.GetLength() - 1] == TEXT('\\')) start = start.Left(start.GetLength() - 1);
  while (start.GetLength() > FOLDER_TREE_PATH_LENGTH) {
    int lastBackslash = start.ReverseFind(TEXT('\\'));
    start = lastBackslash > 0 ? start.Left(lastBackslash) : CString();
  }
  wcscpy(path, start);
}

// Opens the dialog library's folder tree on the folder on screen and shows the
// chosen folder in a new File Explorer.
static void PickFolderCommand(HWND window) {
  if (folderTreeImport == NULL) return;
  companionState.currentFolder.Empty();
  ClickFolderButton(window);
  WCHAR path[MAX_PATH];
  TreeStartFolder(companionState.currentFolder, path);
  if (folderTreeImport(window, PICK_FOLDER_TITLE, path) == 1) {
    if (path[0] == 0) wcscpy(path, TEXT("\\"));
    JumpToFolder(path);
  }
}

// Runs a companion command; FALSE for ids the companion does not take.
static BOOL RunCommand(HWND window, UINT id) {
  switch (id) {
    case CMD_PASTE_SHORTCUT:
      // The folder is read afresh from the folder menu; when the menu cannot be
      // shown it stays unknown, and no shortcut is made in some other folder.
      companionState.currentFolder.Empty();
      SetTimer(window, TIMER_PASTE_SHORTCUT, COPY_SETTLE_DELAY, NULL);
      ClickFolderButton(window);
      return TRUE;
    case CMD_MULTI_SELECT:
      if (IsControlDown())
        keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
      else
        keybd_event(VK_CONTROL, 0, 0, 0);
      return TRUE;
    case CMD_PROPERTIES:
      SendCtrlKey(VK_P_KEY);
      return TRUE;
    case CMD_PATH_TO_CLIPBOARD:
      SendCtrlKey(VK_C_KEY);
      SetTimer(window, TIMER_PATH_TO_CLIPBOARD, COPY_SETTLE_DELAY, NULL);
      return TRUE;
    case CMD_PICK_FOLDER:
      PickFolderCommand(window);
      return TRUE;
    case CMD_GO_MY_DOCUMENTS:
      JumpToFolder(TEXT("\\My Documents\\"));
      return TRUE;
    case CMD_GO_START_MENU:
      JumpToFolder(TEXT("\\Windows\\ｽﾀｰﾄ ﾒﾆｭｰ\\"));
      return TRUE;
    case CMD_GO_TEMP:
      JumpToFolder(TEXT("\\Temp\\"));
      return TRUE;
    case CMD_RESERVED_154:
    case CMD_RESERVED_155:
      return TRUE;
  }
  if (id >= CMD_SEND_TO_FIRST && id <= CMD_SEND_TO_LAST) {
    SendToCommand(window, id);
    return TRUE;
  }
  if (id >= CMD_MOVE_TO_FIRST && id <= CMD_MOVE_TO_LAST) {
    MoveToCommand(id);
    return TRUE;
  }
  return FALSE;
}

static void RunTimer(HWND window, UINT_PTR id) {
  UINT format;
  switch (id) {
    case TIMER_PASTE_SHORTCUT:
      KillTimer(window, TIMER_PASTE_SHORTCUT);
      if (companionState.currentFolder.IsEmpty()) {
        ShowPasteFolderUnknown(window);
        break;
      }
      format = FindFileListFormat();
      if (format != 0) ProcessClipboardFileList(window, format, ACTION_PASTE_SHORTCUT);
      break;
    case TIMER_PATH_TO_CLIPBOARD:
      KillTimer(window, TIMER_PATH_TO_CLIPBOARD);
      format = FindFileListFormat();
      if (format != 0) ProcessClipboardFileList(window, format, ACTION_PATH_TO_CLIPBOARD);
      break;
    case TIMER_SEND_TO:
      KillTimer(window, TIMER_SEND_TO);
      format = FindFileListFormat();
      if (format != 0) ProcessClipboardFileList(window, format, ACTION_SEND_TO);
      ClearClipboard(window);
      break;
  }
}

// Puts the File Explorer's own procedure back. A multi-select mode still on is
// ended so the device's keyboard is not left with Control held down.
static LRESULT Detach(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC original = companionState.previousWndProc;
  SetWindowLongW(window, GWL_WNDPROC, (LONG)original);
  companionState.previousWndProc = NULL;
  if (IsControlDown()) keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
  return CallWindowProcW(original, window, message, wParam, lParam);
}

LRESULT CALLBACK CompanionWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
      return Detach(window, message, wParam, lParam);
    case WM_COMMAND:
      if (RunCommand(window, LOWORD(wParam))) return 0;
      break;
    case WM_TIMER:
      RunTimer(window, wParam);
      break;
    case WM_INITMENUPOPUP:
      if (LOWORD(lParam) == 0 && companionState.captureFolder == 1) CaptureCurrentFolder((HMENU)wParam);
      if (LOWORD(lParam) == EXPLORER_MENU_MARK) UpdateExplorerMenu((HMENU)wParam);
      break;
  }
  return PassOn(window, message, wParam, lParam);
}
