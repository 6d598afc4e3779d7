// The menu bar at the bottom of the screen with the menu "編集", and its commands.
#include "explorer.h"

#include <system_shell.h>

namespace explorer {

namespace {

constexpr int kMenuBarHeight = 26;

struct EditItem {
  UINT id;
  const char16_t* text;
};
constexpr EditItem kEditItems[] = {
    {kCmdCopy, u"ｺﾋﾟｰ"},          {kCmdPaste, u"貼り付け"},       {kCmdRename, u"名前の変更"},
    {kCmdDelete, u"削除"},         {kCmdSelectAll, u"すべて選択"}, {kCmdNewFolder, u"新しいﾌｫﾙﾀﾞ"},
};

HMENU BuildEditMenu() {
  HMENU menu = CreatePopupMenu();
  for (const auto& item : kEditItems) AppendMenuW(menu, MF_STRING, item.id, item.text);
  return menu;
}

void RenameFocused(ExplorerState& state) {
  int index = static_cast<int>(SendMessageW(state.list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  if (index < 0) return;
  SetFocus(state.list);
  SendMessageW(state.list, LVM_EDITLABELW, index, 0);
}

std::u16string DescribeEntry(const std::u16string& path) {
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return path;
  FindClose(search);
  FILETIME local{};
  SYSTEMTIME time{};
  FileTimeToLocalFileTime(&found.ftLastWriteTime, &local);
  FileTimeToSystemTime(&local, &time);
  // Room for a name and a path of a whole MAX_PATH each, beside the fixed words.
  WCHAR text[3 * MAX_PATH];
  bool folder = IsFolderAttributes(found.dwFileAttributes);
  _snwprintf(text, 3 * MAX_PATH, u"名前: %s\n種類: %s\nｻｲｽﾞ: %u ﾊﾞｲﾄ\n更新日時: %04d/%02d/%02d %02d:%02d\n場所: %s", found.cFileName,
             folder ? u"ﾌｫﾙﾀﾞ" : u"ﾌｧｲﾙ", folder ? 0u : found.nFileSizeLow, time.wYear, time.wMonth, time.wDay,
             time.wHour, time.wMinute, path.c_str());
  return text;
}

}  // namespace

HWND CreateMenuBar(ExplorerState& state, HINSTANCE instance) {
  state.editMenu = BuildEditMenu();
  int width = GetSystemMetrics(SM_CXSCREEN);
  int height = GetSystemMetrics(SM_CYSCREEN);
  HWND bar = CreateWindowExW(WS_EX_NOACTIVATE, TOOLBARCLASSNAME, u"", WS_POPUP | WS_VISIBLE | CCS_NOPARENTALIGN | CCS_NORESIZE, 0,
                             height - kMenuBarHeight, width, kMenuBarHeight, state.window,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kMenuBarId)), instance, nullptr);
  if (!bar) return nullptr;
  SendMessageW(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  TBBUTTON button{};
  button.iBitmap = I_IMAGENONE;
  button.idCommand = kCmdEditMenu;
  button.fsState = TBSTATE_ENABLED;
  button.fsStyle = TBSTYLE_DROPDOWN | TBSTYLE_AUTOSIZE;
  button.iString = reinterpret_cast<INT_PTR>(u"編集");
  SendMessageW(bar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
  return bar;
}

// The edit menu is announced to the main window with its own mark, so that
// programs attached to the window can tell it from the folder menu. Its button
// shows pressed while the menu is open.
void OpenEditMenu(ExplorerState& state) {
  HWND bar = state.menuBar;
  if (bar) SendMessageW(bar, TB_PRESSBUTTON, kCmdEditMenu, TRUE);
  sim::TrackMenu(state.editMenu, state.window, kEditMenuMark, TPM_LEFTALIGN | TPM_BOTTOMALIGN);
  if (bar && IsWindow(bar)) SendMessageW(bar, TB_PRESSBUTTON, kCmdEditMenu, FALSE);
}

// What is deleted is what the question was about: the entries selected in the
// folder shown when it was asked, even if the File Explorer has been sent to another
// folder while the question was open.
void DeleteSelection(ExplorerState& state) {
  auto names = SelectedNames(state);
  if (names.empty()) return;
  const std::u16string folder = state.folder;
  if (MessageBoxW(state.window, u"選択した項目を削除しますか?", u"削除の確認", MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  for (const auto& name : names) {
    std::u16string path = JoinPath(folder, name);
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && IsFolderAttributes(attributes))
      RemoveDirectoryW(path.c_str());
    else
      DeleteFileW(path.c_str());
  }
  FillFileList(state);
}

void CreateFolderHere(ExplorerState& state) {
  for (int n = 1; n <= 100; ++n) {
    WCHAR name[64];
    if (n == 1)
      _snwprintf(name, 64, u"新しいﾌｫﾙﾀﾞ");
    else
      _snwprintf(name, 64, u"新しいﾌｫﾙﾀﾞ (%d)", n);
    if (CreateDirectoryW(JoinPath(state.folder, name).c_str(), nullptr)) break;
  }
  FillFileList(state);
}

void ShowProperties(ExplorerState& state) {
  auto names = SelectedNames(state);
  std::u16string text;
  if (names.empty())
    text = DescribeEntry(state.folder.size() > 1 ? state.folder.substr(0, state.folder.size() - 1) : state.folder);
  else if (names.size() == 1)
    text = DescribeEntry(JoinPath(state.folder, names.front()));
  else {
    WCHAR count[64 + MAX_PATH];
    _snwprintf(count, 64 + MAX_PATH, u"%u 個の項目を選択しています。\n場所: %s", static_cast<unsigned>(names.size()),
               state.folder.c_str());
    text = count;
  }
  MessageBoxW(state.window, text.c_str(), u"ﾌﾟﾛﾊﾟﾃｨ", MB_OK | MB_ICONINFORMATION);
}

bool RunEditCommand(ExplorerState& state, UINT id) {
  switch (id) {
    case kCmdCopy:
      CopySelection(state);
      return true;
    case kCmdPaste:
      PasteFiles(state);
      return true;
    case kCmdRename:
      RenameFocused(state);
      return true;
    case kCmdDelete:
      DeleteSelection(state);
      return true;
    case kCmdSelectAll:
      SelectAll(state);
      return true;
    case kCmdNewFolder:
      CreateFolderHere(state);
      return true;
    case kCmdProperties:
      ShowProperties(state);
      return true;
  }
  return false;
}

}  // namespace explorer
