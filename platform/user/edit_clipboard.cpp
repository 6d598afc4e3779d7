// The EDIT class and the clipboard: WM_COPY, WM_CUT and WM_PASTE in the device's
// text format, CF_UNICODETEXT (the device converts between no clipboard formats).
#include <algorithm>

#include "user/edit_control.h"

namespace sim {

namespace {

// Puts `text` on the clipboard as the edit's own; false when the clipboard could not
// be opened or the block not placed, in which case the clipboard keeps what it had
// unless it was already emptied.
bool PutOnClipboard(HWND owner, std::u16string_view text) {
  if (!OpenClipboard(owner)) return false;
  bool placed = false;
  if (EmptyClipboard()) {
    auto bytes = static_cast<UINT>((text.size() + 1) * sizeof(WCHAR));
    if (auto* block = static_cast<WCHAR*>(LocalAlloc(LMEM_FIXED, bytes))) {
      std::copy(text.begin(), text.end(), block);
      block[text.size()] = 0;
      placed = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
      if (!placed) LocalFree(block);
    }
  }
  CloseClipboard();
  return placed;
}

// The clipboard's text, up to its terminator or the end of its block; read while
// the clipboard is open.
std::optional<std::u16string> ClipboardText(HWND owner) {
  if (!OpenClipboard(owner)) return std::nullopt;
  std::optional<std::u16string> text;
  if (HANDLE block = GetClipboardData(CF_UNICODETEXT)) {
    const auto* first = static_cast<const WCHAR*>(block);
    const WCHAR* last = first + LocalSize(block) / sizeof(WCHAR);
    text = std::u16string(first, std::find(first, last, u'\0'));
  }
  CloseClipboard();
  return text;
}

std::u16string SelectedText(const Edit& edit) {
  const EditState& state = edit.state;
  return state.text.substr(state.selectionStart(), state.selectionEnd() - state.selectionStart());
}

}  // namespace

void CopySelection(Edit& edit) {
  if (edit.state.passwordChar || edit.state.anchor == edit.state.caret) return;
  PutOnClipboard(edit.hwnd, SelectedText(edit));
}

void CutSelection(Edit& edit) {
  if (edit.state.passwordChar || edit.state.anchor == edit.state.caret) return;
  // Text that did not reach the clipboard stays where it is.
  if (!PutOnClipboard(edit.hwnd, SelectedText(edit)) || edit.readOnly()) return;
  if (auto live = EditOf(edit.hwnd)) ReplaceSelection(*live, u"", UndoAs::Change);
}

void PasteClipboard(Edit& edit) {
  if (edit.readOnly()) return;
  auto text = ClipboardText(edit.hwnd);
  auto live = EditOf(edit.hwnd);
  if (!text || !live) return;
  if (!live->multiline()) text->resize(std::min(text->size(), text->find_first_of(u"\r\n")));
  ReplaceSelection(*live, std::move(*text), UndoAs::Change);
}

}  // namespace sim
