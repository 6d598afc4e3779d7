// The EDIT window procedure. Typed characters replace the selection, within the
// text limit and the control's styles (read-only, digits only, letter case); every
// change by the user or by EM_REPLACESEL tells the parent EN_UPDATE then EN_CHANGE.
// The keyboard's editing commands arrive as control characters: Ctrl+X, Ctrl+C,
// Ctrl+V and Ctrl+Z cut, copy, paste and undo through the messages a program sends.
#include "user/edit.h"

#include <algorithm>

#include "user/dialog.h"
#include "user/edit_control.h"
#include "user/system_classes.h"

namespace sim {

namespace {

constexpr char16_t kCopyKey = 0x03;
constexpr char16_t kPasteKey = 0x16;
constexpr char16_t kCutKey = 0x18;
constexpr char16_t kUndoKey = 0x1A;

char16_t ApplyCase(DWORD style, char16_t ch) {
  if ((style & ES_UPPERCASE) && ch >= u'a' && ch <= u'z') return static_cast<char16_t>(ch - u'a' + u'A');
  if ((style & ES_LOWERCASE) && ch >= u'A' && ch <= u'Z') return static_cast<char16_t>(ch - u'A' + u'a');
  return ch;
}

bool InsideDialog(const Edit& edit) {
  HWND parent = GetParent(edit.hwnd);
  return parent && IsDialogWindow(parent);
}

// Enter in a multi-line edit of a dialog makes a line break only with ES_WANTRETURN;
// without it Enter is the dialog's default button.
bool TakesLineBreaks(const Edit& edit) {
  return edit.multiline() && ((edit.style() & ES_WANTRETURN) || !InsideDialog(edit));
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
  ReplaceSelection(edit, u"", UndoAs::Change);
}

// The editing commands go through the messages, so a program that handles WM_PASTE
// (or any other) in a subclass sees the keyboard's paste too.
bool EditingCommand(Edit& edit, char16_t ch) {
  switch (ch) {
    case kCopyKey: SendMessageW(edit.hwnd, WM_COPY, 0, 0); return true;
    case kCutKey: SendMessageW(edit.hwnd, edit.readOnly() ? WM_COPY : WM_CUT, 0, 0); return true;
    case kPasteKey:
      if (!edit.readOnly()) SendMessageW(edit.hwnd, WM_PASTE, 0, 0);
      return true;
    case kUndoKey:
      if (!edit.readOnly()) SendMessageW(edit.hwnd, WM_UNDO, 0, 0);
      return true;
    default: return false;
  }
}

void TypeCharacter(Edit& edit, char16_t ch) {
  if (ch == VK_BACK) return DeleteByUser(edit, true);
  if (EditingCommand(edit, ch)) return;
  if (edit.readOnly()) {
    MessageBeep(0);
    return;
  }
  if (ch == u'\r' || ch == u'\n') {
    if (TakesLineBreaks(edit)) ReplaceSelection(edit, u"\r\n", UndoAs::Change);
    return;
  }
  if (ch < 0x20) return;  // other control characters are shortcuts, not text
  if ((edit.style() & ES_NUMBER) && (ch < u'0' || ch > u'9')) {
    MessageBeep(0);
    return;
  }
  ReplaceSelection(edit, std::u16string(1, ApplyCase(edit.style(), ch)), UndoAs::Typing);
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

// Enter reaching the edit itself (a dialog that does not filter its keys through
// IsDialogMessageW, or a program sending the key): in a dialog an edit that takes no
// line breaks presses the dialog's default button; elsewhere the key does nothing.
void KeyDown(Edit& edit, WPARAM key) {
  if (key == VK_DELETE) return DeleteByUser(edit, false);
  if (key == VK_RETURN) {
    if (!TakesLineBreaks(edit) && InsideDialog(edit)) PressDefaultButton(GetParent(edit.hwnd));
    return;
  }
  MoveCaret(edit, key);
}

LRESULT GetText(const Edit& edit, WPARAM max, LPARAM buffer) {
  auto* out = reinterpret_cast<WCHAR*>(buffer);
  if (!out || max == 0) return 0;
  std::size_t count = std::min<std::size_t>(edit.state.text.size(), max - 1);
  std::copy_n(edit.state.text.data(), count, out);
  out[count] = 0;
  return static_cast<LRESULT>(count);
}

// Text set by the program replaces everything and cannot be undone.
void SetText(Edit& edit, LPCWSTR text) {
  edit.state.text = text ? std::u16string(text) : std::u16string();
  edit.state.undo.reset();
  edit.state.typedUpTo.reset();
  Select(edit, 0, 0);
  Publish(edit);
  // A multi-line edit keeps quiet about text set by its program, as on the device.
  if (!edit.multiline()) {
    NotifyParent(edit.hwnd, EN_UPDATE);
    NotifyParent(edit.hwnd, EN_CHANGE);
  }
}

void Create(Edit& edit) {
  edit.state.text = edit.window.text;
  // Only a single-line edit hides its text.
  if ((edit.style() & ES_PASSWORD) && !edit.multiline()) edit.state.passwordChar = u'*';
  Publish(edit);
}

// The text goes with the window; a subclass that still asks after passing
// WM_NCDESTROY on gets the default procedure's answers about an empty window.
void Destroy(Edit& edit) {
  std::u16string().swap(edit.state.text);
  edit.state.undo.reset();
  edit.state.destroyed = true;
  edit.window.text.clear();
}

void TapAt(Edit& edit) {
  // A tap cannot be placed within the text: the caret goes to the end.
  Select(edit, edit.state.text.size(), edit.state.text.size());
  if (GetFocus() != edit.hwnd) SetFocus(edit.hwnd);
}

}  // namespace

LRESULT CALLBACK EditWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto found = EditOf(hwnd);
  if (!found || found->state.destroyed) return DefWindowProcW(hwnd, msg, wParam, lParam);
  Edit& edit = *found;
  switch (msg) {
    case WM_CREATE: Create(edit); return 0;
    case WM_NCDESTROY: Destroy(edit); return DefWindowProcW(hwnd, msg, wParam, lParam);
    case WM_SETTEXT: SetText(edit, reinterpret_cast<LPCWSTR>(lParam)); return TRUE;
    case WM_GETTEXT: return GetText(edit, wParam, lParam);
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(edit.state.text.size());
    case WM_CHAR: TypeCharacter(edit, static_cast<char16_t>(wParam)); return 0;
    case WM_KEYDOWN: KeyDown(edit, wParam); return 0;
    case WM_GETDLGCODE: return EditDialogCode(edit, lParam);
    case WM_PAINT: PaintEdit(edit); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_ENABLE: InvalidateRect(hwnd, nullptr, TRUE); return 0;
    case WM_SETFOCUS:
      edit.state.focused = true;
      ShowEditChange(edit);
      NotifyParent(hwnd, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      edit.state.focused = false;
      ShowEditChange(edit);
      NotifyParent(hwnd, EN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: TapAt(edit); return 0;
    case WM_CLEAR:
      if (!edit.readOnly()) ReplaceSelection(edit, u"", UndoAs::Change);
      return 0;
    case WM_COPY: CopySelection(edit); return 0;
    case WM_CUT: CutSelection(edit); return 0;
    case WM_PASTE: PasteClipboard(edit); return 0;
    default: return EditMessage(edit, msg, wParam, lParam);
  }
}

}  // namespace sim
