// The clipboard file-list bridge: reads the File Explorer's copied file list from
// the clipboard and runs one action for each path in it.
#include "companion.h"

#include "bounded_format.h"
#include "resource.h"

#define PATH_TEXT_BLOCK_BYTES 13000
#define SEND_TO_COMMAND_LINE_LENGTH 262

#define DESKTOP_MARK_OFFSET 12
#define DESKTOP_CLASS_OFFSET 40
#define DESKTOP_CLASS_ID TEXT("{00021400-0000-0000-C000-000000000046}")

#define CAPTION TEXT("Brackenway")
#define FAILURE_FLAGS (MB_OK | MB_ICONEXCLAMATION | MB_TOPMOST)

INT_PTR CALLBACK PasteShortcutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The clipboard block as the bridge reads it: bytes and their count.
struct FileListBlock {
  const BYTE* bytes;
  DWORD size;
};

static WORD UnitAt(const FileListBlock& block, DWORD offset) {
  return (WORD)(block.bytes[offset] | (block.bytes[offset + 1] << 8));
}

// TRUE when the zero-terminated text `expected` stands at `offset`, terminator
// included, wholly inside the block.
static BOOL TextAt(const FileListBlock& block, DWORD offset, LPCWSTR expected) {
  size_t length = wcslen(expected);
  if (offset + (length + 1) * 2 > block.size) return FALSE;
  for (size_t i = 0; i <= length; ++i)
    if (UnitAt(block, offset + (DWORD)i * 2) != (WORD)expected[i]) return FALSE;
  return TRUE;
}

// The selection lies in the shell's desktop folder when the block carries the
// desktop's header; otherwise its first path is the folder holding the selection.
static BOOL HasDesktopHeader(const FileListBlock& block) {
  static const WCHAR desktopMark[] = {0x00E0, 0};
  if (!TextAt(block, DESKTOP_MARK_OFFSET, desktopMark)) return FALSE;
  return TextAt(block, DESKTOP_CLASS_OFFSET, DESKTOP_CLASS_ID);
}

static void LaunchSendToTarget() {
  WCHAR commandLine[SEND_TO_COMMAND_LINE_LENGTH];
  LPCWSTR format = companionState.passUnquoted == 1 ? TEXT("%s") : TEXT("\"%s\"");
  if (!FormatWhole(commandLine, SEND_TO_COMMAND_LINE_LENGTH, format, (LPCWSTR)companionState.selectedPath)) return;
  PROCESS_INFORMATION process;
  ZeroMemory(&process, sizeof(process));
  if (CreateProcessW(companionState.sendToTarget, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, NULL, &process)) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
}

static void ConfirmPasteShortcut(HWND window) {
  HRSRC resource = FindResourceW(companionState.instance, MAKEINTRESOURCEW(IDD_PASTE_SHORTCUT), RT_DIALOG);
  HGLOBAL dialogTemplate = LoadResource(companionState.instance, resource);
  DialogBoxIndirectParamW(companionState.instance, (LPCDLGTEMPLATEW)dialogTemplate, window, PasteShortcutDialogProc, 0);
}

static void RunAction(HWND window, int action, CString& pathList) {
  switch (action) {
    case ACTION_PASTE_SHORTCUT:
      ConfirmPasteShortcut(window);
      break;
    case ACTION_PATH_TO_CLIPBOARD:
      pathList += companionState.selectedPath;
      pathList += TEXT("\n");
      break;
    case ACTION_SEND_TO:
      LaunchSendToTarget();
      break;
  }
}

// Copies the path that starts at byte `start` and ends before the zero unit at
// byte `end` into `path`; FALSE when it does not fit, so it is skipped rather than
// cut short and acted on.
static BOOL CopyPath(const FileListBlock& block, DWORD start, DWORD end, LPWSTR path) {
  DWORD length = (end - start) / 2;
  if (length >= MAX_PATH) return FALSE;
  for (DWORD i = 0; i < length; ++i) path[i] = (WCHAR)UnitAt(block, start + i * 2);
  path[length] = 0;
  return TRUE;
}

// A path the file system does not know loses its last character, once.
static void RepairPath(LPWSTR path) {
  if (GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES) return;
  size_t length = wcslen(path);
  if (length > 0) path[length - 1] = 0;
}

// Walks the block's 16-bit units: a unit whose low byte is a backslash after a unit
// whose high byte is 0x01 starts a path, the next zero unit ends it.
static void ScanFileList(HWND window, const FileListBlock& block, int action, CString& pathList) {
  BOOL skipFirstPath = !HasDesktopHeader(block);
  BOOL pathOpen = FALSE;
  DWORD pathStart = 0;
  WCHAR path[MAX_PATH];
  for (DWORD i = 0; i + 1 < block.size; i += 2) {
    if (i >= 2 && block.bytes[i] == 0x5C && block.bytes[i - 1] == 0x01) {
      pathOpen = TRUE;
      pathStart = i;
    } else if (pathOpen && block.bytes[i] == 0 && block.bytes[i + 1] == 0) {
      pathOpen = FALSE;
      // A path too long for the buffer is passed over; when it is the folder it
      // still counts as the folder, so the first selected item is not dropped.
      if (!CopyPath(block, pathStart, i, path)) {
        skipFirstPath = FALSE;
        continue;
      }
      RepairPath(path);
      companionState.selectedPath = path;
      if (skipFirstPath) {
        skipFirstPath = FALSE;
        continue;
      }
      RunAction(window, action, pathList);
    }
  }
}

// Puts the path list on the clipboard as text. The block is allocated before the
// clipboard is touched, so a failed allocation leaves the clipboard as it was.
static void PlacePathList(HWND window, CString& pathList) {
  if (!pathList.IsEmpty()) pathList = pathList.Left(pathList.GetLength() - 1);
  size_t bytes = ((size_t)pathList.GetLength() + 1) * sizeof(WCHAR);
  if (bytes < PATH_TEXT_BLOCK_BYTES) bytes = PATH_TEXT_BLOCK_BYTES;
  LPWSTR text = (LPWSTR)LocalAlloc(LMEM_FIXED, bytes);
  if (text == NULL) {
    MessageBoxW(window, TEXT("メモリが不足しているため、パスをクリップボードに置けませんでした"), CAPTION, FAILURE_FLAGS);
    return;
  }
  wcscpy(text, pathList);
  if (!OpenClipboard(window)) {
    LocalFree(text);
    return;
  }
  EmptyClipboard();
  if (SetClipboardData(CF_UNICODETEXT, text) == NULL) LocalFree(text);
  CloseClipboard();
}

void ShowPasteFolderUnknown(HWND window) {
  MessageBoxW(window, TEXT("貼り付け先のフォルダを取得できませんでした"), CAPTION, FAILURE_FLAGS);
}

void ShowClipboardOpenFailed(HWND window) {
  MessageBoxW(window, TEXT("クリップボードのオープンに失敗しました"), CAPTION, FAILURE_FLAGS);
}

int ProcessClipboardFileList(HWND window, UINT format, int action) {
  CString pathList;
  if (!OpenClipboard(window)) {
    ShowClipboardOpenFailed(window);
    return 0;
  }
  HANDLE data = GetClipboardData(format);
  if (data == NULL) {
    CloseClipboard();
    MessageBoxW(window, TEXT("クリップボードからのデータ取得に失敗しました"), CAPTION, FAILURE_FLAGS);
    return 0;
  }
  // The scan works on a copy: dialogs run during the scan, and a timer tick in
  // their message loop may empty the clipboard and free the original block.
  FileListBlock block;
  block.size = (DWORD)LocalSize(data);
  BYTE* copy = (BYTE*)LocalAlloc(LMEM_FIXED, block.size > 0 ? block.size : 1);
  if (copy == NULL) {
    CloseClipboard();
    MessageBoxW(window, TEXT("クリップボードからのデータ取得に失敗しました"), CAPTION, FAILURE_FLAGS);
    return 0;
  }
  CopyMemory(copy, data, block.size);
  block.bytes = copy;
  CloseClipboard();

  ScanFileList(window, block, action, pathList);
  LocalFree(copy);
  if (action == ACTION_PATH_TO_CLIPBOARD) PlacePathList(window, pathList);
  return 1;
}
