#include "comctl/combobox.h"

#include <algorithm>

#include "comctl/combobox_paint.h"
#include "comctl/control_table.h"
#include "comctl/notify.h"

namespace sim {

namespace {

using Table = ControlTable<ComboBoxState>;

LONG StyleOf(HWND hwnd) { return GetWindowLongW(hwnd, GWL_STYLE); }
int Count(const ComboBoxState& s) { return static_cast<int>(s.entries.size()); }
bool Valid(const ComboBoxState& s, int index) { return index >= 0 && index < Count(s); }

bool PrefixMatch(const std::u16string& text, const WCHAR* prefix) {
  std::size_t length = wcslen(prefix);
  return length <= text.size() && _wcsnicmp(text.c_str(), prefix, length) == 0;
}

// Searches from the entry after `start` to the end and on from the top, as the
// device's list boxes do; a start of -1 (or past the end) searches from the top.
int Find(const ComboBoxState& s, int start, const WCHAR* text, bool exact) {
  if (!text || s.entries.empty()) return CB_ERR;
  int count = Count(s);
  int first = (start < 0 || start >= count) ? 0 : start + 1;
  for (int step = 0; step < count; ++step) {
    int i = (first + step) % count;
    const std::u16string& entry = s.entries[static_cast<std::size_t>(i)].text;
    if (exact ? _wcsicmp(entry.c_str(), text) == 0 : PrefixMatch(entry, text)) return i;
  }
  return CB_ERR;
}

// The edit field of CBS_DROPDOWN shows the selected entry.
void ShowSelection(ComboBoxState& s) {
  if (!s.edit) return;
  SetWindowTextW(s.edit, Valid(s, s.selection) ? s.entries[static_cast<std::size_t>(s.selection)].text.c_str() : u"");
}

void SetSelection(ComboBoxState& s, int index) {
  s.selection = Valid(s, index) ? index : CB_ERR;
  ShowSelection(s);
}

LRESULT Insert(ComboBoxState& s, int index, const WCHAR* text) {
  if (index == -1) index = Count(s);
  if (index < 0 || index > Count(s)) return CB_ERR;
  s.entries.insert(s.entries.begin() + index, ComboBoxEntry{text ? std::u16string(text) : std::u16string(), 0});
  if (s.selection >= index) ++s.selection;
  return index;
}

// Where CB_ADDSTRING puts an entry in a CBS_SORT box: after the entries that equal
// it in lstrcmpiW's order (the device's Japanese order, ignoring case).
int SortedPosition(const ComboBoxState& s, const std::u16string& text) {
  auto at = std::upper_bound(s.entries.begin(), s.entries.end(), text, [](const std::u16string& t, const ComboBoxEntry& e) {
    return lstrcmpiW(t.c_str(), e.text.c_str()) < 0;
  });
  return static_cast<int>(at - s.entries.begin());
}

LRESULT Add(HWND hwnd, ComboBoxState& s, const WCHAR* text) {
  if (!(StyleOf(hwnd) & CBS_SORT)) return Insert(s, -1, text);
  return Insert(s, SortedPosition(s, text ? std::u16string(text) : std::u16string()), text);
}

LRESULT Delete(ComboBoxState& s, int index) {
  if (!Valid(s, index)) return CB_ERR;
  s.entries.erase(s.entries.begin() + index);
  if (s.selection == index)
    SetSelection(s, CB_ERR);
  else if (s.selection > index)
    --s.selection;
  return Count(s);
}

void ShowDropDown(HWND hwnd, ComboBoxState& s, bool show) {
  if (s.dropped == show) return;
  if (show) SendCommandNotify(hwnd, CBN_DROPDOWN);
  s.dropped = show;
  ShowComboList(hwnd, s, show);
  if (!show) SendCommandNotify(hwnd, CBN_CLOSEUP);
}

// The box keeps the height of its field, whenever it is sized; the rest of the
// program's height is the list's.
void KeepFieldHeight(ComboBoxState& s, WINDOWPOS& pos) {
  if (pos.flags & SWP_NOSIZE) return;
  s.listHeight = std::max(pos.cy - ComboFieldHeight(), 0);
  pos.cy = ComboFieldHeight();
}

// The scroll bars a program asks for are its dropped list's, which keeps the
// selection in sight; the box itself never shows them.
LRESULT LeaveScrollBarsToList(HWND hwnd) {
  const DWORD style = static_cast<DWORD>(StyleOf(hwnd));
  const DWORD bars = style & (WS_VSCROLL | WS_HSCROLL);
  if (bars) SetWindowLongW(hwnd, GWL_STYLE, static_cast<LONG>(style & ~bars));
  return TRUE;
}

void CreateEditField(HWND hwnd, ComboBoxState& s, const CREATESTRUCTW* create) {
  SetWindowPos(hwnd, nullptr, 0, 0, create->cx, create->cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  if ((create->style & 3) != CBS_DROPDOWN) return;
  s.edit = CreateWindowExW(0, u"EDIT", u"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 1, 1,
                           std::max(create->cx - ComboButtonWidth() - 1, 1), ComboFieldHeight() - 2, hwnd, nullptr,
                           create->hInstance, nullptr);
}

// The user steps through the entries with the arrow keys.
void Step(HWND hwnd, ComboBoxState& s, int delta) {
  if (s.entries.empty()) return;
  int next = s.selection < 0 ? 0 : std::clamp(s.selection + delta, 0, Count(s) - 1);
  if (next == s.selection) return;
  SetSelection(s, next);
  SendCommandNotify(hwnd, CBN_SELCHANGE);
}

// ---- messages ----------------------------------------------------------------------

const std::u16string* EntryText(const ComboBoxState& s, int index) {
  return Valid(s, index) ? &s.entries[static_cast<std::size_t>(index)].text : nullptr;
}

LRESULT ResetContent(ComboBoxState& s) {
  s.entries.clear();
  SetSelection(s, CB_ERR);
  return CB_OKAY;
}

LRESULT SetCurrentSelection(ComboBoxState& s, int index) {
  SetSelection(s, index);
  return Valid(s, index) ? index : CB_ERR;
}

LRESULT SelectString(ComboBoxState& s, int start, const WCHAR* text) {
  int found = Find(s, start, text, false);
  if (found != CB_ERR) SetSelection(s, found);
  return found;
}

// CB_GETLBTEXT: the buffer holds the entry's whole text, as CB_GETLBTEXTLEN measured.
LRESULT GetEntryText(const ComboBoxState& s, int index, WCHAR* buffer) {
  const std::u16string* text = EntryText(s, index);
  return text ? CopyText(*text, buffer, static_cast<int>(text->size()) + 1) : CB_ERR;
}

LRESULT GetEntryTextLength(const ComboBoxState& s, int index) {
  const std::u16string* text = EntryText(s, index);
  return text ? static_cast<LRESULT>(text->size()) : CB_ERR;
}

LRESULT GetEntryData(const ComboBoxState& s, int index) {
  return Valid(s, index) ? s.entries[static_cast<std::size_t>(index)].data : CB_ERR;
}

LRESULT SetEntryData(ComboBoxState& s, int index, LPARAM data) {
  if (!Valid(s, index)) return CB_ERR;
  s.entries[static_cast<std::size_t>(index)].data = data;
  return TRUE;
}

// Messages about the edit field of CBS_DROPDOWN go to it; without one they fail.
LRESULT ToEditField(const ComboBoxState& s, UINT message, WPARAM wParam, LPARAM lParam) {
  return s.edit ? SendMessageW(s.edit, message, wParam, lParam) : CB_ERR;
}

LRESULT LimitText(const ComboBoxState& s, WPARAM limit) {
  if (s.edit) SendMessageW(s.edit, EM_LIMITTEXT, limit, 0);
  return TRUE;
}

// The window's text is the edit field's, or the selected entry's.
LRESULT OnGetText(const ComboBoxState& s, WPARAM capacity, LPARAM buffer) {
  if (s.edit) return SendMessageW(s.edit, WM_GETTEXT, capacity, buffer);
  const std::u16string* text = EntryText(s, s.selection);
  return CopyText(text ? *text : std::u16string(), reinterpret_cast<WCHAR*>(buffer), static_cast<int>(capacity));
}

LRESULT OnGetTextLength(const ComboBoxState& s) {
  if (s.edit) return SendMessageW(s.edit, WM_GETTEXTLENGTH, 0, 0);
  const std::u16string* text = EntryText(s, s.selection);
  return text ? static_cast<LRESULT>(text->size()) : 0;
}

// A drop-down list shows only its entries: the text selects the entry that has it.
LRESULT OnSetText(ComboBoxState& s, WPARAM wParam, LPARAM lParam) {
  if (s.edit) return SendMessageW(s.edit, WM_SETTEXT, wParam, lParam);
  auto text = reinterpret_cast<const WCHAR*>(lParam);
  if (!text) return CB_ERR;
  int found = Find(s, -1, text, true);
  if (found == CB_ERR) return CB_ERR;
  SetSelection(s, found);
  return TRUE;
}

void OnButtonDown(HWND hwnd, ComboBoxState& s) {
  if (GetFocus() != hwnd && !s.edit) SetFocus(hwnd);
  ShowDropDown(hwnd, s, !s.dropped);
}

void OnKeyDown(HWND hwnd, ComboBoxState& s, WPARAM key) {
  if (key == VK_DOWN) Step(hwnd, s, 1);
  if (key == VK_UP) Step(hwnd, s, -1);
  if (key == VK_ESCAPE || key == VK_RETURN) ShowDropDown(hwnd, s, false);
}

// The edit field's notifications become the combo box's.
void OnCommand(HWND hwnd, ComboBoxState& s, WPARAM wParam, HWND from) {
  if (!s.edit || from != s.edit) return;
  if (HIWORD(wParam) == EN_CHANGE) SendCommandNotify(hwnd, CBN_EDITCHANGE);
  if (HIWORD(wParam) == EN_UPDATE) SendCommandNotify(hwnd, CBN_EDITUPDATE);
}

void OnSetFocus(HWND hwnd, ComboBoxState& s) {
  if (s.edit) SetFocus(s.edit);
  SendCommandNotify(hwnd, CBN_SETFOCUS);
}

void OnKillFocus(HWND hwnd, ComboBoxState& s) {
  ShowDropDown(hwnd, s, false);
  SendCommandNotify(hwnd, CBN_KILLFOCUS);
}

LRESULT OnListMessage(HWND hwnd, ComboBoxState& s, UINT message, WPARAM wParam, LPARAM lParam) {
  auto text = reinterpret_cast<const WCHAR*>(lParam);
  int index = static_cast<int>(static_cast<LONG_PTR>(wParam));
  switch (message) {
    case CB_ADDSTRING: return Add(hwnd, s, text);
    case CB_INSERTSTRING: return Insert(s, index, text);
    case CB_DELETESTRING: return Delete(s, index);
    case CB_RESETCONTENT: return ResetContent(s);
    case CB_GETCOUNT: return Count(s);
    case CB_GETCURSEL: return s.selection;
    case CB_SETCURSEL: return SetCurrentSelection(s, index);
    case CB_FINDSTRING: return Find(s, index, text, false);
    case CB_FINDSTRINGEXACT: return Find(s, index, text, true);
    case CB_SELECTSTRING: return SelectString(s, index, text);
    case CB_GETLBTEXT: return GetEntryText(s, index, reinterpret_cast<WCHAR*>(lParam));
    case CB_GETLBTEXTLEN: return GetEntryTextLength(s, index);
    case CB_GETITEMDATA: return GetEntryData(s, index);
    case CB_SETITEMDATA: return SetEntryData(s, index, lParam);
    case CB_SHOWDROPDOWN: ShowDropDown(hwnd, s, wParam != 0); return TRUE;
    case CB_GETDROPPEDSTATE: return s.dropped;
    case CB_LIMITTEXT: return LimitText(s, wParam);
    case CB_GETEDITSEL: return ToEditField(s, EM_GETSEL, wParam, lParam);
    case CB_SETEDITSEL: return ToEditField(s, EM_SETSEL, LOWORD(lParam), static_cast<short>(HIWORD(lParam)));
    case CB_GETITEMHEIGHT: return static_cast<int>(wParam) == -1 ? ComboFieldHeight() : ComboItemHeight();
    case CB_SETITEMHEIGHT:
    case CB_SETEXTENDEDUI:
    case CB_SETDROPPEDWIDTH: return CB_OKAY;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

LRESULT Dispatch(HWND hwnd, ComboBoxState& s, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE: return LeaveScrollBarsToList(hwnd);
    case WM_CREATE: CreateEditField(hwnd, s, reinterpret_cast<const CREATESTRUCTW*>(lParam)); return 0;
    case WM_WINDOWPOSCHANGING: KeepFieldHeight(s, *reinterpret_cast<WINDOWPOS*>(lParam)); return 0;
    case WM_GETTEXT: return OnGetText(s, wParam, lParam);
    case WM_GETTEXTLENGTH: return OnGetTextLength(s);
    case WM_SETTEXT: return OnSetText(s, wParam, lParam);
    case WM_LBUTTONDOWN: OnButtonDown(hwnd, s); return 0;
    case WM_KEYDOWN: OnKeyDown(hwnd, s, wParam); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_COMMAND: OnCommand(hwnd, s, wParam, reinterpret_cast<HWND>(lParam)); return 0;
    case WM_SETFOCUS: OnSetFocus(hwnd, s); return 0;
    case WM_KILLFOCUS: OnKillFocus(hwnd, s); return 0;
    case WM_PAINT: PaintComboBox(hwnd, s); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_DESTROY: ShowComboList(hwnd, s, false); return 0;
    default: return OnListMessage(hwnd, s, message, wParam, lParam);
  }
}

}  // namespace

LRESULT CALLBACK ComboBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = Table::get().route(hwnd, message, wParam, lParam, Dispatch);
  // The field shows the selection and the focus.
  const bool changes = (message >= CB_GETEDITSEL && message <= CB_SETDROPPEDWIDTH) || message == WM_SETFOCUS ||
                       message == WM_KILLFOCUS || message == WM_KEYDOWN || message == WM_ENABLE;
  if (changes && message != WM_PAINT && Table::get().find(hwnd)) {
    InvalidateRect(hwnd, nullptr, TRUE);
    if (auto state = Table::get().find(hwnd); state && state->list) InvalidateRect(state->list, nullptr, TRUE);
  }
  return result;
}

std::shared_ptr<ComboBoxState> FindComboBox(HWND combo) { return Table::get().find(combo); }

bool ComboBoxPick(HWND combo, std::u16string_view text) {
  auto state = Table::get().find(combo);
  if (!state) return false;
  std::u16string wanted(text);
  int index = Find(*state, -1, wanted.c_str(), true);
  if (index == CB_ERR) return false;
  ShowDropDown(combo, *state, true);
  SetSelection(*state, index);
  SendCommandNotify(combo, CBN_SELCHANGE);
  SendCommandNotify(combo, CBN_SELENDOK);
  ShowDropDown(combo, *state, false);
  if (IsWindow(combo)) InvalidateRect(combo, nullptr, TRUE);
  return true;
}

std::vector<std::u16string> ComboBoxEntries(HWND combo) {
  std::vector<std::u16string> texts;
  if (auto state = Table::get().find(combo))
    for (const auto& entry : state->entries) texts.push_back(entry.text);
  return texts;
}

}  // namespace sim
