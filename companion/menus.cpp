// The companion's items in the File Explorer's menu, and the Send-To and Move-To
// submenus filled from the shortcut files of their folders.
#include "companion.h"

static void InsertCompanionItems(HMENU menu) {
  InsertMenuW(menu, 1, MF_BYPOSITION | MF_STRING, CMD_PASTE_SHORTCUT, TEXT("ｼｮｰﾄｶｯﾄの貼り付け"));
  InsertMenuW(menu, 3, MF_BYPOSITION | MF_POPUP, (UINT_PTR)companionState.sendToMenu, TEXT("送る"));
  InsertMenuW(menu, 5, MF_BYPOSITION | MF_STRING, CMD_PROPERTIES, TEXT("ﾌﾟﾛﾊﾟﾃｨ"));
  InsertMenuW(menu, 7, MF_BYPOSITION | MF_POPUP, (UINT_PTR)companionState.moveToMenu, TEXT("ﾌｫﾙﾀﾞ移動"));
  InsertMenuW(menu, 8, MF_BYPOSITION | MF_SEPARATOR, 0, NULL);
  InsertMenuW(menu, 9, MF_BYPOSITION | MF_STRING, CMD_MULTI_SELECT, TEXT("複数選択ﾓｰﾄﾞ"));
}

static void EmptyMenu(HMENU menu) {
  while (DeleteMenu(menu, 0, MF_BYPOSITION)) {
  }
}

// One item per shortcut file matching `pattern`, named after the file without its
// ".lnk", in the order the file system lists them, at most MAX_LINK_ITEMS.
void FillLinkMenu(HMENU submenu, LPCWSTR pattern, UINT firstId) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(pattern, &found);
  if (search == INVALID_HANDLE_VALUE) return;
  UINT index = 0;
  do {
    size_t length = wcslen(found.cFileName);
    found.cFileName[length >= 4 ? length - 4 : 0] = 0;
    AppendMenuW(submenu, MF_STRING, firstId + index, found.cFileName);
    ++index;
  } while (index < MAX_LINK_ITEMS && FindNextFileW(search, &found));
  FindClose(search);
}

static void RebuildSendToMenu() {
  EmptyMenu(companionState.sendToMenu);
  FillLinkMenu(companionState.sendToMenu, SEND_TO_PATTERN, CMD_SEND_TO_FIRST);
  AppendMenuW(companionState.sendToMenu, MF_STRING, CMD_PATH_TO_CLIPBOARD, TEXT("ﾊﾟｽをｸﾘｯﾌﾟﾎﾞｰﾄﾞへ"));
}

static void RebuildMoveToMenu() {
  HMENU menu = companionState.moveToMenu;
  EmptyMenu(menu);
  AppendMenuW(menu, MF_STRING, CMD_PICK_FOLDER, TEXT("ﾂﾘｰで選択"));
  AppendMenuW(menu, MF_SEPARATOR, 0, NULL);
  AppendMenuW(menu, MF_STRING, CMD_GO_MY_DOCUMENTS, TEXT("My Documents"));
  AppendMenuW(menu, MF_STRING, CMD_GO_START_MENU, TEXT("ｽﾀｰﾄ ﾒﾆｭｰ"));
  AppendMenuW(menu, MF_STRING, CMD_GO_TEMP, TEXT("Temp"));
  FillLinkMenu(menu, MOVE_TO_PATTERN, CMD_MOVE_TO_FIRST);
}

void UpdateExplorerMenu(HMENU menu) {
  if (companionState.menusInserted == 0) {
    InsertCompanionItems(menu);
    companionState.menusInserted = 1;
  }
  EnableMenuItem(menu, CMD_PASTE_SHORTCUT, MF_BYCOMMAND | (FindFileListFormat() == 0 ? MF_GRAYED : MF_ENABLED));
  CheckMenuItem(menu, CMD_MULTI_SELECT, MF_BYCOMMAND | ((GetKeyState(VK_CONTROL) & 0x8000) ? MF_CHECKED : MF_UNCHECKED));
  RebuildSendToMenu();
  RebuildMoveToMenu();
}
