// What the EDIT class's files share: the edit being worked on and the changes every
// message makes the same way.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <windows.h>

#include "user/edit.h"
#include "user/window.h"

namespace sim {

struct Edit {
  HWND hwnd;
  Window& window;
  EditState& state;

  DWORD style() const { return window.style; }
  bool multiline() const { return (style() & ES_MULTILINE) != 0; }
  bool readOnly() const { return (style() & ES_READONLY) != 0; }
};

std::optional<Edit> EditOf(HWND hwnd);

// The window record carries what the edit shows, so whoever reads a window's text
// from outside (the automation layer, another program) sees that.
void Publish(Edit& edit);
void Select(Edit& edit, std::size_t anchor, std::size_t caret);

// How a change is remembered for EM_UNDO: not at all (the undo buffer is emptied),
// as a change of its own, or as typing that joins the characters typed just before.
enum class UndoAs { Nothing, Change, Typing };

// Replaces the selection with `insert`, cut to what the limit and the box's width
// leave room for (a cut tells the parent EN_MAXTEXT), then tells the parent EN_UPDATE and EN_CHANGE.
// Gives whether the text changed.
bool ReplaceSelection(Edit& edit, std::u16string insert, UndoAs undo);
// Brings back the text and selection before the last change; false when there is
// nothing to undo.
bool Undo(Edit& edit);

// --- the look (edit_paint.cpp) ---
void PaintEdit(Edit& edit);
// How many characters of `insert`, put in place of [start, start + removed), leave
// the text within the box: a one-line box without ES_AUTOHSCROLL takes no more text
// than it can show; other boxes take it all.
std::size_t InsertionThatFits(const Edit& edit, std::size_t start, std::size_t removed, std::u16string_view insert);
// The text, the selection or the focus changed: scrolls to keep the caret in
// sight and draws the box again.
void ShowEditChange(Edit& edit);

// --- the EM_ messages and WM_GETDLGCODE (edit_messages.cpp) ---
// Answers the messages the window procedure leaves to it; the rest go to
// DefWindowProcW.
LRESULT EditMessage(Edit& edit, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT EditDialogCode(const Edit& edit, LPARAM lParam);

// --- the clipboard (edit_clipboard.cpp) ---
// WM_COPY and WM_CUT: the selection goes to the clipboard as CF_UNICODETEXT; a
// password edit gives nothing away. A cut deletes only what was copied.
void CopySelection(Edit& edit);
void CutSelection(Edit& edit);
// WM_PASTE: the clipboard's CF_UNICODETEXT replaces the selection; a single-line
// edit takes its first line.
void PasteClipboard(Edit& edit);

}  // namespace sim
