// The list of the shown folder's entries: the shell's small icon of each kind, name,
// size and date, sorted by name in the device's Japanese order (the list view's own
// LVS_SORTASCENDING, as lstrcmpiW).
#include "explorer.h"

#include <system_shell.h>

#include <algorithm>

namespace explorer {

namespace {

struct Column {
  const char16_t* title;
  int format;
  int width;
};
constexpr Column kColumns[] = {{u"名前", LVCFMT_LEFT, 120}, {u"ｻｲｽﾞ", LVCFMT_RIGHT, 50}, {u"更新日時", LVCFMT_LEFT, 110}};

std::u16string SizeText(const WIN32_FIND_DATAW& found) {
  if (IsFolderAttributes(found.dwFileAttributes)) return u"";
  ULONGLONG size = (static_cast<ULONGLONG>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
  WCHAR text[32];
  if (size < 1024)
    _snwprintf(text, 32, u"%uB", static_cast<unsigned>(size));
  else
    _snwprintf(text, 32, u"%uK", static_cast<unsigned>((size + 1023) / 1024));
  return text;
}

std::u16string DateText(const FILETIME& written) {
  FILETIME local{};
  SYSTEMTIME time{};
  FileTimeToLocalFileTime(&written, &local);
  FileTimeToSystemTime(&local, &time);
  WCHAR text[32];
  _snwprintf(text, 32, u"%02d/%02d/%02d %02d:%02d", time.wYear % 100, time.wMonth, time.wDay, time.wHour,
             time.wMinute);
  return text;
}

void SetCell(HWND list, int index, int column, const std::u16string& text) {
  LVITEMW cell{};
  cell.mask = LVIF_TEXT;
  cell.iItem = index;
  cell.iSubItem = column;
  cell.pszText = const_cast<char16_t*>(text.c_str());
  SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&cell));
}

bool EndsWithIgnoringCase(const std::u16string& text, const char16_t* suffix) {
  size_t length = wcslen(suffix);
  return text.size() >= length && _wcsicmp(text.c_str() + text.size() - length, suffix) == 0;
}

// The kinds the shell draws icons for, in the order of the list's image list; each
// with a name and attributes the shell recognises it by.
enum IconKind { kFolderIcon, kStorageCardIcon, kProgramIcon, kShortcutIcon, kFileIcon, kIconKinds };
constexpr struct {
  const char16_t* name;
  DWORD attributes;
} kIconSamples[kIconKinds] = {{u"a", FILE_ATTRIBUTE_DIRECTORY},
                              {u"a", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY},
                              {u"a.exe", FILE_ATTRIBUTE_NORMAL},
                              {u"a.lnk", FILE_ATTRIBUTE_NORMAL},
                              {u"a.txt", FILE_ATTRIBUTE_NORMAL}};

IconKind IconKindOf(const WIN32_FIND_DATAW& found) {
  DWORD folder = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY;
  if ((found.dwFileAttributes & folder) == folder) return kStorageCardIcon;
  if (IsFolderAttributes(found.dwFileAttributes)) return kFolderIcon;
  if (EndsWithIgnoringCase(found.cFileName, u".exe")) return kProgramIcon;
  if (EndsWithIgnoringCase(found.cFileName, u".lnk")) return kShortcutIcon;
  return kFileIcon;
}

// The shell's small icons of every kind; a kind whose icon cannot be had is shown
// without one, and a list without images still lists every entry.
void SetSmallIcons(HWND list) {
  int size = GetSystemMetrics(SM_CXSMICON);
  HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR | ILC_MASK, kIconKinds, 0);
  if (!images) return;
  for (const auto& sample : kIconSamples) {
    SHFILEINFO info{};
    if (SHGetFileInfo(sample.name, sample.attributes, &info, sizeof(info),
                      SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES) &&
        info.hIcon) {
      ImageList_ReplaceIcon(images, -1, info.hIcon);
      DestroyIcon(info.hIcon);
    }
  }
  if (ImageList_GetImageCount(images) != kIconKinds) {
    ImageList_Destroy(images);
    return;
  }
  SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
}

void AddEntry(HWND list, const WIN32_FIND_DATAW& found) {
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
  item.iItem = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  item.iImage = IconKindOf(found);
  item.pszText = const_cast<char16_t*>(found.cFileName);
  item.lParam = static_cast<LPARAM>(found.dwFileAttributes);
  int index = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  if (index < 0) return;
  SetCell(list, index, 1, SizeText(found));
  SetCell(list, index, 2, DateText(found.ftLastWriteTime));
}

struct ListItem {
  std::u16string name;
  DWORD attributes = 0;
};

ListItem ReadItem(HWND list, int index) {
  WCHAR name[MAX_PATH] = {};
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = index;
  item.pszText = name;
  item.cchTextMax = MAX_PATH;
  SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  return {name, static_cast<DWORD>(item.lParam)};
}

// What the list shows, and what it would show if filled now: name, size and date.
std::vector<std::u16string> ListedRows(HWND list) {
  std::vector<std::u16string> rows;
  const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int index = 0; index < count; ++index) {
    std::u16string row;
    for (int column = 0; column < 3; ++column) {
      WCHAR text[MAX_PATH] = {};
      LVITEMW cell{};
      cell.iSubItem = column;
      cell.pszText = text;
      cell.cchTextMax = MAX_PATH;
      SendMessageW(list, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&cell));
      row += text;
      row += u'\t';
    }
    rows.push_back(std::move(row));
  }
  std::sort(rows.begin(), rows.end());
  return rows;
}

std::vector<std::u16string> RowsOnDisk(const std::u16string& folder) {
  std::vector<std::u16string> rows;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((folder + u"*.*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return rows;
  do {
    rows.push_back(std::u16string(found.cFileName) + u'\t' + SizeText(found) + u'\t' + DateText(found.ftLastWriteTime) + u'\t');
  } while (FindNextFileW(search, &found));
  FindClose(search);
  std::sort(rows.begin(), rows.end());
  return rows;
}

void MarkItem(HWND list, const std::u16string& name, UINT mark) {
  LVFINDINFOW find{};
  find.flags = LVFI_STRING;
  find.psz = name.c_str();
  const int index = static_cast<int>(SendMessageW(list, LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
  if (index < 0) return;
  LVITEMW item{};
  item.stateMask = mark;
  item.state = mark;
  SendMessageW(list, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
}

// Starts a program with a command line, as the shell does.
void Launch(const std::u16string& program, const std::u16string& arguments) {
  std::u16string line = arguments;
  PROCESS_INFORMATION process{};
  if (CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &process)) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
}

// A shortcut opens as the shell starts its target; a folder target is shown instead.
void OpenShortcut(ExplorerState& state, const std::u16string& path) {
  WCHAR target[MAX_PATH] = {};
  if (!SHGetShortcutTarget(const_cast<char16_t*>(path.c_str()), target, MAX_PATH)) return;
  sim::ShortcutCommand command = sim::SplitShortcutTarget(target);
  DWORD attributes = GetFileAttributesW(command.program.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && IsFolderAttributes(attributes))
    ShowFolder(state, NormalizeFolder(command.program));
  else
    Launch(command.program, command.arguments);
}

// A name holding a path separator or a character file names cannot have would move
// the entry elsewhere or fail: it is refused with a message, and the entry keeps
// its name.
bool IsFileName(std::u16string_view name) { return name.find_first_of(u"\\/:*?\"<>|") == std::u16string_view::npos; }

void RenameItem(ExplorerState& state, int index, const char16_t* newName) {
  if (!newName || !*newName) return;
  if (!IsFileName(newName)) {
    MessageBoxW(state.window, u"名前に次の文字は使えません。\n\\ / : * ? \" < > |", u"名前の変更", MB_OK | MB_ICONHAND);
    return;
  }
  ListItem item = ReadItem(state.list, index);
  MoveFileW(JoinPath(state.folder, item.name).c_str(), JoinPath(state.folder, newName).c_str());
  FillFileList(state);
}

}  // namespace

HWND CreateFileList(HWND parent, HINSTANCE instance) {
  HWND list = CreateWindowExW(0, WC_LISTVIEWW, u"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SORTASCENDING |
                                  LVS_SHOWSELALWAYS | LVS_EDITLABELS,
                              0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kFileListId)),
                              instance, nullptr);
  if (!list) return nullptr;
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = kColumns[i].format;
    column.cx = kColumns[i].width;
    column.pszText = const_cast<char16_t*>(kColumns[i].title);
    column.iSubItem = i;
    SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
  SetSmallIcons(list);
  return list;
}

void FillFileList(ExplorerState& state) {
  SendMessageW(state.list, LVM_DELETEALLITEMS, 0, 0);
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((state.folder + u"*.*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    AddEntry(state.list, found);
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

void RefreshFileList(ExplorerState& state) {
  if (ListedRows(state.list) == RowsOnDisk(state.folder)) return;
  std::vector<std::u16string> selected = SelectedNames(state);
  const int focusedIndex = static_cast<int>(SendMessageW(state.list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  std::u16string focused = focusedIndex >= 0 ? ReadItem(state.list, focusedIndex).name : std::u16string();
  FillFileList(state);
  for (const auto& name : selected) MarkItem(state.list, name, LVIS_SELECTED);
  if (!focused.empty()) MarkItem(state.list, focused, LVIS_FOCUSED);
}

void OpenItem(ExplorerState& state, int index) {
  if (index < 0) return;
  ListItem item = ReadItem(state.list, index);
  std::u16string path = JoinPath(state.folder, item.name);
  if (IsFolderAttributes(item.attributes))
    ShowFolder(state, path + u"\\");
  else if (EndsWithIgnoringCase(item.name, u".lnk"))
    OpenShortcut(state, path);
  else if (EndsWithIgnoringCase(item.name, u".exe"))
    Launch(path, u"");
}

std::vector<std::u16string> SelectedNames(const ExplorerState& state) {
  std::vector<std::u16string> names;
  int index = -1;
  while ((index = static_cast<int>(SendMessageW(state.list, LVM_GETNEXTITEM, index, LVNI_SELECTED))) >= 0)
    names.push_back(ReadItem(state.list, index).name);
  return names;
}

void SelectAll(ExplorerState& state) {
  LVITEMW selected{};
  selected.stateMask = LVIS_SELECTED;
  selected.state = LVIS_SELECTED;
  SendMessageW(state.list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&selected));
}

LRESULT OnFileListNotify(ExplorerState& state, NMHDR* header) {
  switch (header->code) {
    case NM_DBLCLK:
      OpenItem(state, static_cast<int>(SendMessageW(state.list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)));
      return 0;
    case LVN_KEYDOWN: {
      WORD key = reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey;
      bool control = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
      if (control && key == 'C') RunEditCommand(state, kCmdCopy);
      if (control && key == 'V') RunEditCommand(state, kCmdPaste);
      if (control && key == 'P') RunEditCommand(state, kCmdProperties);
      if (key == VK_DELETE) RunEditCommand(state, kCmdDelete);
      return 0;
    }
    case LVN_ENDLABELEDITW: {
      auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
      RenameItem(state, info->item.iItem, info->item.pszText);
      return FALSE;
    }
  }
  return 0;
}

}  // namespace explorer
