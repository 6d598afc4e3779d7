// BrackenwayConf: the setup tool. One dialog that writes the Start-menu shortcut
// starting the companion (with an optional initial folder), can put the stock File
// Explorer's shortcut back, and can create the Send-To and Move-To folders.
#include "setup.h"

#include <aygshell.h>

#include "bounded_format.h"
#include "resource.h"
#include "shortcut_file.h"

#define FOLDER_CHOICE_CAPACITY 28
#define PLACE_TEXT_CAPACITY 20
#define MESSAGE_CAPACITY 360
#define SHMENUBARINFO_SIZE_WITH_COLOR 36

#define PROGRAMS_SHORTCUT TEXT("\\Windows\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ\\ﾌｧｲﾙ ｴｸｽﾌﾟﾛｰﾗ.lnk")
#define START_MENU_SHORTCUT TEXT("\\Windows\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌｧｲﾙ ｴｸｽﾌﾟﾛｰﾗ.lnk")
#define PROGRAMS_PLACE TEXT("スタートメニューの「プログラム」")
#define START_MENU_PLACE TEXT("スタートメニュー直下")
#define UNCHANGED_CHOICE TEXT("標準動作（終了時のフォルダを開く）の")
#define ROOT_CHOICE TEXT("ルートフォルダを開く")
#define PROGRAM_FILES_CHOICE TEXT("プログラムフォルダを開く")
#define EXPLORER_TARGET TEXT("\\windows\\fexplore.exe")
#define DONE_CAPTION TEXT("設定完了")
#define ERROR_CAPTION TEXT("エラー")
#define WRITE_FAILED_TEXT TEXT("ショートカットの作成に失敗しました。")

WCHAR initialFolderArgument[MAX_PATH];
WCHAR folderChoiceText[FOLDER_CHOICE_CAPACITY];
WCHAR shortcutPath[MAX_PATH];
WCHAR shortcutPlaceText[PLACE_TEXT_CAPACITY];

void ResetSetupTexts() {
  initialFolderArgument[0] = 0;
  wcscpy(folderChoiceText, UNCHANGED_CHOICE);
  wcscpy(shortcutPath, PROGRAMS_SHORTCUT);
  wcscpy(shortcutPlaceText, PROGRAMS_PLACE);
}

// The tool's own folder with its trailing backslash, from its module path.
static BOOL GetOwnFolder(LPWSTR folder) {
  DWORD length = GetModuleFileNameW(NULL, folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return FALSE;
  LPWSTR lastBackslash = wcsrchr(folder, TEXT('\\'));
  if (lastBackslash == NULL) return FALSE;
  lastBackslash[1] = 0;
  return TRUE;
}

static void ShowWriteFailed(HWND dialog) {
  MessageBoxW(dialog, WRITE_FAILED_TEXT, ERROR_CAPTION, MB_OK | MB_ICONHAND);
}

void WriteCompanionShortcut(HWND dialog) {
  WCHAR folder[MAX_PATH];
  WCHAR target[MAX_PATH];
  if (!GetOwnFolder(folder) ||
      !FormatWhole(target, MAX_PATH, TEXT("\"%sBrackenway.exe\" %s"), folder, initialFolderArgument) ||
      !ReplaceShortcutFile(shortcutPath, target)) {
    ShowWriteFailed(dialog);
    return;
  }
  WCHAR message[MESSAGE_CAPACITY];
  FormatWhole(message, MESSAGE_CAPACITY, TEXT("%sショートカットを、%sに作成しました。"), folderChoiceText,
              shortcutPlaceText);
  MessageBoxW(dialog, message, DONE_CAPTION, MB_OK | MB_ICONINFORMATION);
}

void RestoreExplorerShortcut(HWND dialog) {
  if (!ReplaceShortcutFile(shortcutPath, EXPLORER_TARGET)) {
    ShowWriteFailed(dialog);
    return;
  }
  WCHAR message[MESSAGE_CAPACITY];
  FormatWhole(message, MESSAGE_CAPACITY, TEXT("%sに、標準のファイルエクスプローラへのリンクを作りなおしました。"),
              shortcutPlaceText);
  MessageBoxW(dialog, message, DONE_CAPTION, MB_OK | MB_ICONINFORMATION);
}

static void InitSetupDialog(HWND dialog) {
  SHINITDLGINFO init;
  ZeroMemory(&init, sizeof(init));
  init.dwMask = SHIDIM_FLAGS;
  init.hDlg = dialog;
  init.dwFlags = SHIDIF_SIZEDLGFULLSCREEN;
  SHInitDialog(&init);

  SHMENUBARINFO menuBar;
  ZeroMemory(&menuBar, sizeof(menuBar));
  menuBar.cbSize = SHMENUBARINFO_SIZE_WITH_COLOR;
  menuBar.hwndParent = dialog;
  menuBar.dwFlags = SHCMBF_EMPTYBAR;
  SHCreateMenuBar(&menuBar);

  SendMessageW(GetDlgItem(dialog, IDC_START_UNCHANGED), BM_SETCHECK, BST_CHECKED, 0);
  SendMessageW(GetDlgItem(dialog, IDC_LINK_PROGRAMS), BM_SETCHECK, BST_CHECKED, 0);
  ResetSetupTexts();
}

static void ChooseRadio(UINT id) {
  switch (id) {
    case IDC_START_UNCHANGED:
      initialFolderArgument[0] = 0;
      wcscpy(folderChoiceText, UNCHANGED_CHOICE);
      break;
    case IDC_START_ROOT:
      wcscpy(initialFolderArgument, TEXT("\\"));
      wcscpy(folderChoiceText, ROOT_CHOICE);
      break;
    case IDC_START_PROGRAM_FILES:
      wcscpy(initialFolderArgument, TEXT("\\Program Files\\"));
      wcscpy(folderChoiceText, PROGRAM_FILES_CHOICE);
      break;
    case IDC_LINK_PROGRAMS:
      wcscpy(shortcutPath, PROGRAMS_SHORTCUT);
      wcscpy(shortcutPlaceText, PROGRAMS_PLACE);
      break;
    case IDC_LINK_START_MENU:
      wcscpy(shortcutPath, START_MENU_SHORTCUT);
      wcscpy(shortcutPlaceText, START_MENU_PLACE);
      break;
  }
}

INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      InitSetupDialog(dialog);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          WriteCompanionShortcut(dialog);
          if (SendMessageW(GetDlgItem(dialog, IDC_MAKE_LINK_FOLDERS), BM_GETCHECK, 0, 0)) {
            CreateDirectoryW(TEXT("\\Windows\\SendTo"), NULL);
            CreateDirectoryW(TEXT("\\Windows\\MoveTo"), NULL);
          }
          EndDialog(dialog, 1);
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, 1);
          return TRUE;
        case IDC_RESTORE:
          RestoreExplorerShortcut(dialog);
          EndDialog(dialog, 1);
          return TRUE;
        case IDC_START_UNCHANGED:
        case IDC_LINK_PROGRAMS:
        case IDC_START_ROOT:
        case IDC_START_PROGRAM_FILES:
        case IDC_LINK_START_MENU:
          ChooseRadio(LOWORD(wParam));
          return FALSE;
      }
      return FALSE;
    case WM_CLOSE:
      EndDialog(dialog, 1);
      return TRUE;
  }
  return FALSE;
}

int BrackenwayConfMain(HINSTANCE instance, HINSTANCE previousInstance, LPWSTR commandLine, int showCommand) {
  HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(IDD_SETUP), RT_DIALOG);
  HGLOBAL dialogTemplate = LoadResource(instance, resource);
  DialogBoxIndirectParamW(instance, (LPCDLGTEMPLATEW)dialogTemplate, NULL, SetupDialogProc, 0);
  return 0;
}
