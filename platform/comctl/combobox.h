// The combo box control ("COMBOBOX"): a drop-down list of texts, with an edit field
// for CBS_DROPDOWN.
#pragma once

#include <commctrl.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

struct ComboBoxEntry {
  std::u16string text;
  LPARAM data = 0;
};

struct ComboBoxState {
  std::vector<ComboBoxEntry> entries;
  int selection = CB_ERR;
  bool dropped = false;
  HWND edit = nullptr;  // CBS_DROPDOWN only
  HWND list = nullptr;  // the dropped list's window while it is open
  int listHeight = 0;   // what the program's height gave beyond the field
};

LRESULT CALLBACK ComboBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// The record of a combo box window, or null.
std::shared_ptr<ComboBoxState> FindComboBox(HWND combo);

// For the automation layer: the user picks the entry with that text (ignoring case)
// from the dropped list; the parent hears CBN_SELCHANGE. False when no entry has it.
bool ComboBoxPick(HWND combo, std::u16string_view text);
// The entries' texts in order, and the selected index (CB_ERR when none).
std::vector<std::u16string> ComboBoxEntries(HWND combo);

}  // namespace sim
