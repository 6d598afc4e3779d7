// The stand-in File Explorer: \Windows\fexplore.exe, a small file manager.
//
// Its main window (class "FEXPLORE") has the folder button as its first child, the
// list of the shown folder's entries below it, and a menu bar at the bottom of the
// screen with the menu "編集". Ctrl+C puts the selection on the clipboard as a
// "Shell IDList Array" block, Ctrl+V copies the clipboard's files here, Ctrl+P shows
// the properties of the selection.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace explorer {

inline constexpr const char16_t* kWindowClass = u"FEXPLORE";
inline constexpr const char16_t* kFolderButtonClass = u"FEXPLORE_FOLDER";
inline constexpr const char16_t* kDefaultFolder = u"\\My Documents\\";
inline constexpr const char16_t* kFileListFormat = u"Shell IDList Array";
inline constexpr const char16_t* kDesktopFolder = u"\\Windows\\Desktop\\";

// The edit menu is announced to the main window with this mark in the low word.
inline constexpr int kEditMenuMark = 200;

// Command ids of the File Explorer; all outside 100-199.
enum Command : UINT {
  kCmdCopy = 40101,
  kCmdPaste,
  kCmdRename,
  kCmdDelete,
  kCmdSelectAll,
  kCmdNewFolder,
  kCmdProperties,
  kCmdEditMenu,
  kCmdFolderLevelFirst = 41000,  // folder menu: 41000 is the root, 41000 + n level n
};

inline constexpr int kFileListId = 2001;
inline constexpr int kMenuBarId = 2002;

// A private message by which a second start hands its folder to the running one.
inline constexpr UINT kShowFolderMessage = WM_APP + 1;

struct ExplorerState {
  HWND window = nullptr;
  HWND folderButton = nullptr;
  HWND list = nullptr;
  HWND menuBar = nullptr;
  HMENU editMenu = nullptr;
  std::u16string folder;  // begins and ends with a backslash
};

ExplorerState* StateOf(HWND window);

// main.cpp
int ExplorerMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int);
std::u16string NormalizeFolder(std::u16string_view text);

// window.cpp
bool RegisterExplorerClasses(HINSTANCE instance);
// False when the folder button cannot take the path: the File Explorer stays where it was.
bool ShowFolder(ExplorerState& state, std::u16string folder);

// folder_button.cpp
HWND CreateFolderButton(HWND parent, HINSTANCE instance);
std::vector<std::u16string> FolderLevels(const std::u16string& folder);

// file_list.cpp
HWND CreateFileList(HWND parent, HINSTANCE instance);
void FillFileList(ExplorerState& state);
// Fills the list again when the folder changed since (another program wrote into
// it), keeping the selected and the focused entries that are still there.
void RefreshFileList(ExplorerState& state);
void OpenItem(ExplorerState& state, int index);
std::vector<std::u16string> SelectedNames(const ExplorerState& state);
void SelectAll(ExplorerState& state);
LRESULT OnFileListNotify(ExplorerState& state, NMHDR* header);

// clipboard_files.cpp
std::vector<BYTE> BuildFileListBlock(const std::u16string& folder, const std::vector<std::u16string>& names);
std::vector<std::u16string> ParseFileListBlock(const BYTE* bytes, size_t size);
void CopySelection(ExplorerState& state);
void PasteFiles(ExplorerState& state);

// edit_menu.cpp
HWND CreateMenuBar(ExplorerState& state, HINSTANCE instance);
void OpenEditMenu(ExplorerState& state);
bool RunEditCommand(ExplorerState& state, UINT id);
void ShowProperties(ExplorerState& state);
void DeleteSelection(ExplorerState& state);
void CreateFolderHere(ExplorerState& state);

// paths.cpp
std::u16string JoinPath(const std::u16string& folder, const std::u16string& name);
bool IsFolderAttributes(DWORD attributes);

}  // namespace explorer
