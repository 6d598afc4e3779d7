// Brackenway: the companion that extends the File Explorer's menu.
//
// The companion has no window of its own. It starts (or finds) the File Explorer,
// replaces the procedure of its main window with CompanionWndProc and from then on
// works on the File Explorer's UI thread: it extends the File Explorer's menu, runs
// its commands, and learns the File Explorer's selection from the clipboard.
#pragma once

#include <windows.h>
#include <afxstr.h>

// Commands of the items the companion adds to the File Explorer's menu.
#define CMD_PASTE_SHORTCUT 101
#define CMD_MULTI_SELECT 103
#define CMD_PROPERTIES 104
#define CMD_PATH_TO_CLIPBOARD 105
#define CMD_SEND_TO_FIRST 120
#define CMD_SEND_TO_LAST 140
#define CMD_PICK_FOLDER 150
#define CMD_GO_MY_DOCUMENTS 151
#define CMD_GO_START_MENU 152
#define CMD_GO_TEMP 153
#define CMD_RESERVED_154 154
#define CMD_RESERVED_155 155
#define CMD_MOVE_TO_FIRST 160
#define CMD_MOVE_TO_LAST 180

// The Move-To links follow five fixed entries of their menu.
#define MOVE_TO_LINK_POSITION_BASE 155
#define MAX_LINK_ITEMS 20

// One-shot timers that finish a command once the File Explorer has copied its
// selection to the clipboard.
#define TIMER_PASTE_SHORTCUT 102
#define TIMER_PATH_TO_CLIPBOARD 106
#define TIMER_SEND_TO 107
#define COPY_SETTLE_DELAY 200

// What the clipboard bridge does with each path of the File Explorer's file list.
#define ACTION_PASTE_SHORTCUT 101
#define ACTION_PATH_TO_CLIPBOARD 105
#define ACTION_SEND_TO 120

// The File Explorer announces the menu the companion extends with this mark in the
// low word of WM_INITMENUPOPUP's lParam.
#define EXPLORER_MENU_MARK 200

#define EXPLORER_CLASS TEXT("FEXPLORE")
#define EXPLORER_PATH TEXT("\\windows\\fexplore.exe")
#define FILE_LIST_FORMAT_NAME TEXT("Shell IDList Array")
#define SEND_TO_PATTERN TEXT("\\Windows\\SendTo\\*.lnk")
#define MOVE_TO_PATTERN TEXT("\\Windows\\MoveTo\\*.lnk")

#define VK_C_KEY 67
#define VK_P_KEY 80

// The companion's one global record.
struct CompanionState {
  HINSTANCE instance;
  CString sendToTarget;
  CString selectedPath;
  CString currentFolder;
  WNDPROC previousWndProc;
  HMENU sendToMenu;
  HMENU moveToMenu;
  DWORD menusInserted;
  DWORD captureFolder;
  DWORD passUnquoted;
};

extern CompanionState companionState;

// The dialog library's folder tree: the companion imports its export ordinal, and
// the loader binds this pointer when the companion's process starts (the start
// fails when the library or the ordinal is missing).
typedef int(WINAPI* FolderTreeProc)(HWND owner, LPCWSTR title, LPWSTR path);
#define VORNKIT_LIBRARY TEXT("Vornkit.dll")
#define FOLDER_TREE_ORDINAL 4
// The folder tree pre-selects from a text of at most this many characters.
#define FOLDER_TREE_PATH_LENGTH 255
extern FolderTreeProc folderTreeImport;

// main.cpp
int BrackenwayMain(HINSTANCE instance, HINSTANCE previousInstance, LPWSTR commandLine, int showCommand);
void ResetCompanionState();

// wndproc.cpp
LRESULT CALLBACK CompanionWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void SendCtrlKey(BYTE key);
BOOL ClearClipboard(HWND window);
UINT FindFileListFormat();
void CaptureCurrentFolder(HMENU folderMenu);
void StripQuotes(CString& text);
void TreeStartFolder(const CString& folder, LPWSTR path);

// menus.cpp
void UpdateExplorerMenu(HMENU menu);
void FillLinkMenu(HMENU submenu, LPCWSTR pattern, UINT firstId);

// bridge.cpp
int ProcessClipboardFileList(HWND window, UINT format, int action);
void ShowClipboardOpenFailed(HWND window);
void ShowPasteFolderUnknown(HWND window);

// paste.cpp
BOOL CreatePastedShortcut(HWND dialog);
