// The list view's side of editing an item's label: starting an edit (the parent may
// refuse it), and ending it, keeping or dropping the typed text (the parent may
// refuse the new name). The editor is label_edit.cpp's.
#include <algorithm>
#include <vector>

#include "comctl/label_edit.h"
#include "comctl/listview_internal.h"
#include "comctl/notify.h"

namespace sim {

using namespace listview;

namespace {

// LVN_BEGINLABELEDITW; true when the parent refuses the edit.
bool NotifyBegin(HWND hwnd, ListViewState& s, int index, const std::u16string& text) {
  std::vector<WCHAR> buffer(text.begin(), text.end());
  buffer.push_back(0);
  NMLVDISPINFOW begin{};
  begin.item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_STATE;
  begin.item.iItem = index;
  begin.item.state = ItemAt(s, index).state;
  begin.item.lParam = ItemAt(s, index).param;
  begin.item.pszText = buffer.data();
  begin.item.cchTextMax = static_cast<int>(buffer.size());
  return SendNotify(hwnd, LVN_BEGINLABELEDITW, &begin.hdr) != 0;
}

// LVN_ENDLABELEDITW, then the new name when the parent accepts it.
void NotifyEnd(HWND hwnd, ListViewState& s, std::uint64_t id, bool commit, std::vector<WCHAR>& text) {
  int index = IndexOfId(s, id);
  if (index < 0) return;
  NMLVDISPINFOW end{};
  end.item.mask = LVIF_TEXT | LVIF_PARAM;
  end.item.iItem = index;
  end.item.lParam = ItemAt(s, index).param;
  end.item.pszText = commit ? text.data() : nullptr;
  end.item.cchTextMax = commit ? static_cast<int>(text.size()) : 0;
  bool accepted = SendNotify(hwnd, LVN_ENDLABELEDITW, &end.hdr) != 0;
  // The parent may have deleted or moved the item meanwhile: find it by identity.
  index = IndexOfId(s, id);
  if (accepted && commit && index >= 0) SetItemText(hwnd, s, index, 0, text.data());
}

std::vector<WCHAR> EditorText(HWND edit) {
  int length = GetWindowTextLengthW(edit);
  std::vector<WCHAR> text(static_cast<std::size_t>(std::max(length, 0)) + 1, 0);
  GetWindowTextW(edit, text.data(), static_cast<int>(text.size()));
  return text;
}

}  // namespace

HWND BeginLabelEdit(HWND hwnd, int index) {
  auto state = FindListView(hwnd);
  if (!state || state->destroying) return nullptr;
  ListViewState& s = *state;
  if (s.edit) EndLabelEdit(hwnd, true);
  if (!ValidIndex(s, index)) return nullptr;
  // The editor takes the keyboard from the list: a list that cannot have the focus
  // (in a window a modal dialog has disabled) starts no edit, which no key could end.
  if (GetFocus() != hwnd) SetFocus(hwnd);
  if (GetFocus() != hwnd) return nullptr;
  std::uint64_t id = ItemAt(s, index).id;
  std::u16string text = ItemText(hwnd, s, index, 0);
  index = IndexOfId(s, id);
  if (index < 0) return nullptr;
  HWND edit = CreateLabelEditor(hwnd, text, ItemRect(hwnd, s, index, LVIR_LABEL), EndLabelEdit);
  if (!edit) return nullptr;
  s.edit = edit;
  s.editItem = id;
  bool refused = NotifyBegin(hwnd, s, index, text);
  if (s.edit != edit) return nullptr;  // ended while the parent looked at it
  if (refused || IndexOfId(s, id) < 0) {
    s.edit = nullptr;
    s.editItem = 0;
    DestroyWindow(edit);
    return nullptr;
  }
  ShowLabelEditor(edit);
  return edit;
}

void EndLabelEdit(HWND hwnd, bool commit) {
  auto state = FindListView(hwnd);
  if (!state || !state->edit || state->editEnding) return;
  ListViewState& s = *state;
  s.editEnding = true;
  HWND edit = s.edit;
  std::uint64_t id = s.editItem;
  std::vector<WCHAR> text;
  if (commit && !s.destroying) text = EditorText(edit);
  // The control no longer edits while the parent hears of the end: a parent that
  // rebuilds the list from the notification finds nothing to cancel.
  s.edit = nullptr;
  s.editItem = 0;
  ShowWindow(edit, SW_HIDE);
  if (GetFocus() == edit && !s.destroying) SetFocus(hwnd);
  if (!s.destroying) NotifyEnd(hwnd, s, id, commit, text);
  s.editEnding = false;
  DestroyWindow(edit);
}

namespace listview {

void CancelEditOf(HWND hwnd, ListViewState& s, std::uint64_t id) {
  if (s.edit && (id == 0 || s.editItem == id)) EndLabelEdit(hwnd, false);
}

HWND EditLabel(HWND hwnd, ListViewState& s, int index) {
  if (index == -1) {
    CancelEditOf(hwnd, s, 0);
    return nullptr;
  }
  return BeginLabelEdit(hwnd, index);
}

}  // namespace listview

}  // namespace sim
