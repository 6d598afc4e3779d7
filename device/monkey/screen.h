// What a person sees on the handheld before the monkey's next step: the window in
// front and what kind of window it is, its controls, its list or tree, the open
// menu, the newest message box, an item's name being edited, and where the file
// windows are. Read through the automation layer; looking changes nothing.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "user.h"
#include "user/msgbox.h"

namespace sim::monkey {

enum class Place { Nothing, Explorer, PasteQuestion, FileBrowser, FolderTree, Setup, Dialog };

struct ControlView {
  HWND hwnd = nullptr;
  int id = 0;
  std::u16string cls;
  std::u16string text;
  bool checked = false;
  DWORD style = 0;
  std::vector<std::u16string> entries;  // a combo box's
};

struct ScreenView {
  HWND top = nullptr;
  std::u16string topClass;
  std::u16string title;
  Place place = Place::Nothing;
  bool titleOk = false;  // an OK button in the title bar
  bool enabled = false;  // the window in front takes taps (a modal window it owns disables it)
  std::vector<ControlView> controls;  // visible and enabled
  std::vector<std::u16string> menuBar;  // the labels of the menu bar's buttons
  bool menuOpen = false;
  std::vector<MenuEntryView> menuEntries;  // the innermost open menu's
  std::optional<OpenMessageBox> box;       // the newest open message box
  bool boxEnabled = false;                 // ... and it takes taps
  std::vector<std::u16string> listItems;
  std::vector<std::u16string> selected;
  bool listEnabled = false;  // the list takes taps
  std::vector<std::u16string> treePaths;  // items a person can see, as paths
  bool focusInEdit = false;               // the keyboard focus is in an edit box
  bool labelEditing = false;              // a list item's name is being edited
  HWND labelEditBox = nullptr;            // ... in this edit box
  std::u16string labelItem;               // ... the item's name
  std::u16string labelText;               // ... what the edit box holds
  std::u16string explorerFolder;          // the File Explorer's folder, "\...\", when it runs
  std::u16string browserFolder;           // the file browser's folder when it is in front
  int focusedButton = 0;                  // the id of the button with the keyboard focus
  int defaultButton = 0;                  // the id of the default push button
  bool controlHeld = false;

  const ControlView* control(int id) const;
};

ScreenView Look(const User& user);

}  // namespace sim::monkey
