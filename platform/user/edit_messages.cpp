// The EDIT class's own messages: selection, lines, limit, read-only, undo and the
// password character.
#include <algorithm>

#include "user/edit_control.h"

namespace sim {

namespace {

LRESULT GetSelection(const Edit& edit, WPARAM startOut, LPARAM endOut) {
  auto start = static_cast<DWORD>(edit.state.selectionStart());
  auto end = static_cast<DWORD>(edit.state.selectionEnd());
  if (auto* p = reinterpret_cast<DWORD*>(startOut)) *p = start;
  if (auto* p = reinterpret_cast<DWORD*>(endOut)) *p = end;
  return MAKELRESULT(std::min<DWORD>(start, 0xFFFF), std::min<DWORD>(end, 0xFFFF));
}

// EM_SETSEL: start -1 removes the selection; an end of -1 (or past the text) is the
// end of the text.
void SetSelection(Edit& edit, WPARAM wParam, LPARAM lParam) {
  auto start = static_cast<std::int32_t>(wParam);
  auto end = static_cast<std::int32_t>(lParam);
  std::size_t length = edit.state.text.size();
  if (start == -1) {
    Select(edit, edit.state.caret, edit.state.caret);
    return;
  }
  std::size_t from = start < 0 ? length : static_cast<std::size_t>(start);
  std::size_t to = end < 0 ? length : static_cast<std::size_t>(end);
  Select(edit, from, to);
}

LRESULT LineCount(const Edit& edit) {
  if (!edit.multiline()) return 1;
  return 1 + std::count(edit.state.text.begin(), edit.state.text.end(), u'\n');
}

// EM_GETLINE: the buffer's first WORD holds its size in characters; the line is
// copied without a terminator.
LRESULT GetLine(const Edit& edit, WPARAM index, LPARAM buffer) {
  auto* out = reinterpret_cast<WCHAR*>(buffer);
  if (!out) return 0;
  std::size_t capacity = *reinterpret_cast<WORD*>(out);
  std::u16string_view text = edit.state.text;
  std::size_t line = edit.multiline() ? index : 0;
  std::size_t begin = 0;
  for (; line > 0; --line) {
    std::size_t next = text.find(u'\n', begin);
    if (next == std::u16string_view::npos) return 0;
    begin = next + 1;
  }
  std::size_t end = edit.multiline() ? text.find(u'\n', begin) : text.size();
  if (end == std::u16string_view::npos) end = text.size();
  if (end > begin && text[end - 1] == u'\r') --end;
  std::size_t count = std::min(end - begin, capacity);
  std::copy_n(text.data() + begin, count, out);
  return static_cast<LRESULT>(count);
}

void SetReadOnly(Edit& edit, bool readOnly) {
  DWORD style = readOnly ? (edit.style() | ES_READONLY) : (edit.style() & ~static_cast<DWORD>(ES_READONLY));
  SetWindowLongW(edit.hwnd, GWL_STYLE, static_cast<LONG>(style));
  InvalidateRect(edit.hwnd, nullptr, TRUE);
}

// A multi-line edit has no password character. Setting one gives the edit the
// ES_PASSWORD style; 0 takes the style away and shows the text again.
void SetPasswordChar(Edit& edit, WPARAM ch) {
  if (edit.multiline()) return;
  edit.state.passwordChar = static_cast<char16_t>(ch);
  DWORD style = ch ? (edit.style() | ES_PASSWORD) : (edit.style() & ~static_cast<DWORD>(ES_PASSWORD));
  SetWindowLongW(edit.hwnd, GWL_STYLE, static_cast<LONG>(style));
  if (auto live = EditOf(edit.hwnd)) Publish(*live);
}

// A single-line edit answers TRUE to EM_UNDO whatever happened; a multi-line one
// tells whether there was something to undo.
LRESULT UndoMessage(Edit& edit) {
  bool undone = Undo(edit);
  return edit.multiline() ? undone : TRUE;
}

}  // namespace

LRESULT EditDialogCode(const Edit& edit, LPARAM lParam) {
  LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
  const auto* msg = reinterpret_cast<const MSG*>(lParam);
  if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN && edit.multiline() &&
      (edit.style() & ES_WANTRETURN))
    code |= DLGC_WANTMESSAGE;
  return code;
}

LRESULT EditMessage(Edit& edit, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case EM_GETSEL: return GetSelection(edit, wParam, lParam);
    case EM_SETSEL: SetSelection(edit, wParam, lParam); return 0;
    case EM_REPLACESEL: {
      std::u16string text = lParam ? std::u16string(reinterpret_cast<LPCWSTR>(lParam)) : std::u16string();
      ReplaceSelection(edit, std::move(text), wParam ? UndoAs::Change : UndoAs::Nothing);
      return 0;
    }
    case EM_LIMITTEXT:
      edit.state.limit = wParam ? static_cast<std::size_t>(wParam) : EditState::kMaximumLimit;
      return 0;
    case EM_GETLIMITTEXT: return static_cast<LRESULT>(edit.state.limit);
    case EM_SETREADONLY: SetReadOnly(edit, wParam != 0); return TRUE;
    case EM_GETLINECOUNT: return LineCount(edit);
    case EM_GETLINE: return GetLine(edit, wParam, lParam);
    case EM_CANUNDO: return edit.state.undo.has_value();
    case EM_UNDO:
    case WM_UNDO: return UndoMessage(edit);
    case EM_EMPTYUNDOBUFFER:
      edit.state.undo.reset();
      edit.state.typedUpTo.reset();
      return 0;
    case EM_SETPASSWORDCHAR: SetPasswordChar(edit, wParam); return 0;
    case EM_GETPASSWORDCHAR: return edit.state.passwordChar;
    default: return DefWindowProcW(edit.hwnd, msg, wParam, lParam);
  }
}

}  // namespace sim
