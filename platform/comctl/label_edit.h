// Editing an item's label in place: a real EDIT control over the item, hooked so that
// Enter commits, Escape cancels and losing the focus commits.
#pragma once

#include <windows.h>

#include <string>

namespace sim {

// How the owner ends the edit in progress, keeping (commit) or dropping the typed text.
using EndLabelEditFunction = void (*)(HWND owner, bool commit);

// Creates the (hidden) editor as a child of `owner` over `label`, holding `text`;
// Enter, Escape and the loss of the focus end the edit through `end`.
HWND CreateLabelEditor(HWND owner, const std::u16string& text, const RECT& label, EndLabelEditFunction end);
// Shows the editor with all of its text selected and gives it the focus.
void ShowLabelEditor(HWND edit);

// The list view's side (listview_label_edit.cpp): start editing an item's label, and
// end the edit in progress, keeping (commit) or dropping the typed text.
HWND BeginLabelEdit(HWND listView, int index);
void EndLabelEdit(HWND listView, bool commit);

}  // namespace sim
