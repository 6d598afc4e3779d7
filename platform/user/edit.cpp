// The EDIT window procedure. Typed characters replace the selection, within the
// text limit and the control's styles (read-only, digits only, letter case); every
// change by the user or by EM_REPLACESEL tells the parent EN_UPDATE then EN_CHANGE.
#include "user/edit.h"

#include <algorithm>

#include "user/system_classes.h"
#include "user/window.h"

namespace sim {

namespace {

struct Edit {
  HWND hwnd;
  Window& window;
  EditState& state;

  DWORD style() const { return window.style; }
  bool multiline() const { return (style() & ES_MULTILINE) != 0; }
  bool readOnly() const { return (style() & ES_READONLY) != 0; }
};

std::optional<Edit> EditOf(HWND hwnd) {
  Window* window = WindowSystem::get().find(hwnd);
  if (!window) return std::nullopt;
  return Edit{hwnd, *window, window->state<EditState>()};
}

// The window record carries the same text, so whoever reads a window's text (the
// automation layer, GetWindowTextW) sees what the edit shows.
void Publish(Edit& edit) { edit.window.text = edit.state.text; }

void Select(Edit& edit, std::size_t anchor, std::size_t caret) {
  std::size_t length = edit.state.text.size();
  edit.state.anchor = std::min(anchor, length);
  edit.state.caret = std::min(caret, length);
}

void Changed(Edit& edit) {
  Publish(edit);
  NotifyParent(edit.hwnd, EN_UPDATE);
  NotifyParent(edit.hwnd, EN_CHANGE);
}

// Replaces the selection with `insert`, cut to what the limit leaves room for. A cut
// tells the parent EN_MAXTEXT. Gives whether the text changed.
bool ReplaceSelection(Edit& edit, std::u16string insert) {
  EditState& state = edit.state;
  std::size_t start = state.selectionStart();
  std::size_t removed = state.selectionEnd() - start;
  std::size_t kept = state.text.size() - removed;
  std::size_t room = kept >= state.limit ? 0 : state.limit - kept;
  if (insert.size() > room) {
    insert.resize(room);
    NotifyParent(edit.hwnd, EN_MAXTEXT);
    // The notification may have destroyed the control.
    if (!WindowSystem::get().find(edit.hwnd)) return false;
  }
  if (insert.empty() && removed == 0) return false;
  state.text.replace(start, removed, insert);
  state.anchor = state.caret = start + insert.size();
  Changed(edit);
  return true;
}

char16_t ApplyCase(DWORD style, char16_t ch) {
  if ((style & ES_UPPERCASE) && ch >= u'a' && ch <= u'z') return static_cast<char16_t>(ch - u'a' + u'A');
  if ((style & ES_LOWERCASE) && ch >= u'A' && ch <= u'Z') return static_cast<char16_t>(ch - u'A' + u'a');
  return ch;
}

// The user deletes: the selection, or one character before (Backspace) or after
// (Delete) the caret; a line break of a multi-line edit goes as a whole.
void DeleteByUser(Edit& edit, bool backward) {
  if (edit.readOnly()) return;
  EditState& state = edit.state;
  if (state.anchor == state.caret) {
    const std::u16string& text = state.text;
    std::size_t caret = state.caret;
    if (backward) {
      if (caret == 0) return;
      std::size_t width = caret >= 2 && text.compare(caret - 2, 2, u"\r\n") == 0 ? 2 : 1;
      state.anchor = caret - width;
    } else {
      if (caret >= text.size()) return;
      std::size_t width = text.compare(caret, 2, u"\r\n") == 0 ? 2 : 1;
      state.anchor = caret + width;
    }
  }
  ReplaceSelection(edit, u"");
}

void TypeCharacter(Edit& edit, char16_t ch) {
  if (ch == VK_BACK) return DeleteByUser(edit, true);
  if (edit.readOnly()) {
    MessageBeep(0);
    return;
  }
  if (ch == u'\r' || ch == u'\n') {
    if (edit.multiline()) ReplaceSelection(edit, u"\r\n");
    return;
  }
  if (ch < 0x20) return;  // other control characters are shortcuts, not text
  if ((edit.style() & ES_NUMBER) && (ch < u'0' || ch > u'9')) {
    MessageBeep(0);
    return;
  }
  ReplaceSelection(edit, std::u16string(1, ApplyCase(edit.style(), ch)));
}

void MoveCaret(Edit& edit, WPARAM key) {
  EditState& state = edit.state;
  std::size_t caret = state.caret;
  switch (key) {
    case VK_LEFT: caret = caret > 0 ? caret - 1 : 0; break;
    case VK_RIGHT: caret = std::min(caret + 1, state.text.size()); break;
    case VK_HOME: caret = 0; break;
    case VK_END: caret = state.text.size(); break;
    default: return;
  }
  bool extend = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
  Select(edit, extend ? state.anchor : caret, caret);
}

LRESULT GetText(const Edit& edit, WPARAM max, LPARAM buffer) {
  auto* out = reinterpret_cast<WCHAR*>(buffer);
  if (!out || max == 0) return 0;
  std::size_t count = std::min<std::size_t>(edit.state.text.size(), max - 1);
  std::copy_n(edit.state.text.data(), count, out);
  out[count] = 0;
  return static_cast<LRESULT>(count);
}

void SetText(Edit& edit, LPCWSTR text) {
  edit.state.text = text ? std::u16string(text) : std::u16string();
  Select(edit, 0, 0);
  Publish(edit);
  // A multi-line edit keeps quiet about text set by its program, as on the device.
  if (!edit.multiline()) {
    NotifyParent(edit.hwnd, EN_UPDATE);
    NotifyParent(edit.hwnd, EN_CHANGE);
  }
}

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

LRESULT DialogCode(const Edit& edit, LPARAM lParam) {
  LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
  const auto* msg = reinterpret_cast<const MSG*>(lParam);
  if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN && edit.multiline() &&
      (edit.style() & ES_WANTRETURN))
    code |= DLGC_WANTMESSAGE;
  return code;
}

void SetReadOnly(Edit& edit, bool readOnly) {
  DWORD style = readOnly ? (edit.style() | ES_READONLY) : (edit.style() & ~static_cast<DWORD>(ES_READONLY));
  SetWindowLongW(edit.hwnd, GWL_STYLE, static_cast<LONG>(style));
}

}  // namespace

LRESULT CALLBACK EditWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto found = EditOf(hwnd);
  if (!found) return DefWindowProcW(hwnd, msg, wParam, lParam);
  Edit& edit = *found;
  switch (msg) {
    case WM_CREATE:
      edit.state.text = edit.window.text;
      return 0;
    case WM_SETTEXT:
      SetText(edit, reinterpret_cast<LPCWSTR>(lParam));
      return TRUE;
    case WM_GETTEXT:
      return GetText(edit, wParam, lParam);
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(edit.state.text.size());
    case WM_CHAR:
      TypeCharacter(edit, static_cast<char16_t>(wParam));
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_DELETE)
        DeleteByUser(edit, false);
      else
        MoveCaret(edit, wParam);
      return 0;
    case WM_GETDLGCODE:
      return DialogCode(edit, lParam);
    case WM_SETFOCUS:
      edit.state.focused = true;
      NotifyParent(hwnd, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      edit.state.focused = false;
      NotifyParent(hwnd, EN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      // Nothing is drawn, so a tap cannot be placed within the text: the caret goes
      // to the end.
      Select(edit, edit.state.text.size(), edit.state.text.size());
      if (GetFocus() != hwnd) SetFocus(hwnd);
      return 0;
    case WM_CLEAR:
      if (!edit.readOnly()) ReplaceSelection(edit, u"");
      return 0;
    case EM_GETSEL:
      return GetSelection(edit, wParam, lParam);
    case EM_SETSEL:
      SetSelection(edit, wParam, lParam);
      return 0;
    case EM_REPLACESEL:
      ReplaceSelection(edit, lParam ? std::u16string(reinterpret_cast<LPCWSTR>(lParam)) : std::u16string());
      return 0;
    case EM_LIMITTEXT:
      edit.state.limit = wParam ? static_cast<std::size_t>(wParam) : EditState::kMaximumLimit;
      return 0;
    case EM_GETLIMITTEXT:
      return static_cast<LRESULT>(edit.state.limit);
    case EM_SETREADONLY:
      SetReadOnly(edit, wParam != 0);
      return TRUE;
    case EM_GETLINECOUNT:
      return LineCount(edit);
    case EM_GETLINE:
      return GetLine(edit, wParam, lParam);
    default:
      return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

}  // namespace sim
