// The shortcut paste: for each copied file, ask whether a shortcut to it shall be
// made in the folder on screen, and write it.
#include "companion.h"

#include <aygshell.h>

#include "bounded_format.h"
#include "resource.h"
#include "shortcut_file.h"

#define QUESTION_LENGTH 360
#define SHMENUBARINFO_SIZE_WITHOUT_COLOR 32

// The part of the path after its last backslash, without its last extension unless
// the only dot is the name's first character.
static CString ShortcutBaseName(const CString& path) {
  CString name = path.Right(path.GetLength() - path.ReverseFind(TEXT('\\')) - 1);
  int dot = name.ReverseFind(TEXT('.'));
  if (dot >= 1) name = name.Left(dot);
  return name;
}

BOOL CreatePastedShortcut(HWND dialog) {
  CString name = ShortcutBaseName(companionState.selectedPath);
  WCHAR linkPath[MAX_PATH];
  WCHAR linkTarget[MAX_PATH];
  // A name or target that does not fit is refused rather than cut into a wrong one.
  if (!FormatWhole(linkPath, MAX_PATH, TEXT("%s%s.lnk"), (LPCWSTR)companionState.currentFolder, (LPCWSTR)name))
    return FALSE;
  if (!FormatWhole(linkTarget, MAX_PATH, TEXT("\"%s\""), (LPCWSTR)companionState.selectedPath)) return FALSE;
  // A shortcut pasted into the folder of a copied shortcut can take that shortcut's
  // own name (a.lnk gives a.lnk). Writing it would put a link to itself in place of
  // the copied file, so it fails instead.
  if (_wcsicmp(linkPath, companionState.selectedPath) == 0) return FALSE;

  if (GetFileAttributesW(linkPath) != INVALID_FILE_ATTRIBUTES) {
    int answer = MessageBoxW(dialog, TEXT("同名のファイルがすでに存在します。上書きしますか?"), TEXT("上書きの確認"),
                             MB_YESNO | MB_ICONQUESTION);
    if (answer != IDYES) return TRUE;
  }
  return ReplaceShortcutFile(linkPath, linkTarget);
}

static void InitPasteDialog(HWND dialog) {
  SHMENUBARINFO menuBar;
  ZeroMemory(&menuBar, sizeof(menuBar));
  menuBar.cbSize = SHMENUBARINFO_SIZE_WITHOUT_COLOR;
  menuBar.hwndParent = dialog;
  menuBar.dwFlags = SHCMBF_EMPTYBAR;
  SHCreateMenuBar(&menuBar);

  // A question that does not fit is shown cut rather than not at all.
  WCHAR question[QUESTION_LENGTH];
  int written = _snwprintf(question, QUESTION_LENGTH, TEXT("このﾌｫﾙﾀﾞに'%s'へのｼｮｰﾄｶｯﾄを作成しますか?"),
                           (LPCWSTR)companionState.selectedPath);
  if (written < 0 || written >= QUESTION_LENGTH) question[QUESTION_LENGTH - 1] = 0;
  SetWindowTextW(GetDlgItem(dialog, IDC_PASTE_MESSAGE), question);

  // The icon goes to its control, which releases it with the dialog; without the
  // control nothing would.
  HWND iconControl = GetDlgItem(dialog, IDC_PASTE_ICON);
  SHFILEINFO info;
  ZeroMemory(&info, sizeof(info));
  if (iconControl != NULL) SHGetFileInfo(companionState.selectedPath, 0, &info, sizeof(info), SHGFI_ICON);
  if (info.hIcon != NULL) SendMessageW(iconControl, STM_SETIMAGE, IMAGE_ICON, (LPARAM)info.hIcon);
}

// The icon came from the file information call and is the dialog's to release; a
// dialog whose controls could not all be made may have no icon control.
static void ReleasePasteIcon(HWND dialog) {
  HWND iconControl = GetDlgItem(dialog, IDC_PASTE_ICON);
  if (iconControl == NULL) return;
  HICON icon = (HICON)SendMessageW(iconControl, STM_SETIMAGE, IMAGE_ICON, 0);
  if (icon != NULL) DestroyIcon(icon);
}

INT_PTR CALLBACK PasteShortcutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      InitPasteDialog(dialog);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          if (!CreatePastedShortcut(dialog))
            MessageBoxW(dialog, TEXT("ｼｮｰﾄｶｯﾄの作成に失敗しました。"), TEXT("エラー"), MB_OK | MB_ICONHAND);
          EndDialog(dialog, 1);
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, 1);
          return TRUE;
      }
      return FALSE;
    case WM_CLOSE:
      EndDialog(dialog, 1);
      return TRUE;
    case WM_DESTROY:
      ReleasePasteIcon(dialog);
      return FALSE;
  }
  return FALSE;
}
