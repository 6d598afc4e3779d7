// The tree view's side of editing an item's label: the program starts it
// (TVM_EDITLABELW, which selects the item first; the parent may refuse it) and may
// end it (TVM_ENDEDITLABELNOW); Enter, Escape and the loss of the focus end it too.
// The parent accepts or refuses the new text. The editor is label_edit.cpp's.
#include <algorithm>
#include <vector>

#include "comctl/control_table.h"
#include "comctl/label_edit.h"
#include "comctl/notify.h"
#include "comctl/treeview_internal.h"

namespace sim::treeview {

namespace {

std::vector<WCHAR> Terminated(const std::u16string& text) {
  std::vector<WCHAR> buffer(text.begin(), text.end());
  buffer.push_back(0);
  return buffer;
}

// TVN_BEGINLABELEDITW; true when the parent refuses the edit.
bool NotifyBegin(HWND hwnd, TreeNode& node, const std::u16string& text) {
  std::vector<WCHAR> buffer = Terminated(text);
  NMTVDISPINFOW begin{};
  begin.item.mask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM | TVIF_TEXT;
  begin.item.hItem = HandleOf(&node);
  begin.item.state = node.state;
  begin.item.stateMask = 0xFFFF;
  begin.item.lParam = node.param;
  begin.item.pszText = buffer.data();
  begin.item.cchTextMax = static_cast<int>(buffer.size());
  return SendNotify(hwnd, TVN_BEGINLABELEDITW, &begin.hdr) != 0;
}

// TVN_ENDLABELEDITW (no text: cancelled), then the new text when the parent accepts
// it. An item whose text the parent keeps (LPSTR_TEXTCALLBACKW) stays so: the parent
// stores the new text itself.
void NotifyEnd(HWND hwnd, TreeViewState& s, std::uintptr_t handle, bool commit, std::vector<WCHAR>& text) {
  auto found = s.nodes.find(handle);
  if (found == s.nodes.end()) return;
  NMTVDISPINFOW end{};
  end.item.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_TEXT;
  end.item.hItem = HandleOf(found->second.get());
  end.item.lParam = found->second->param;
  end.item.pszText = commit ? text.data() : nullptr;
  end.item.cchTextMax = commit ? static_cast<int>(text.size()) : 0;
  bool accepted = SendNotify(hwnd, TVN_ENDLABELEDITW, &end.hdr) != 0;
  found = s.nodes.find(handle);
  if (!accepted || !commit || found == s.nodes.end() || found->second->textCallback) return;
  TreeNode& node = *found->second;
  node.text = text.data();
  node.parent->children.nameChanged(&node);
  InvalidateRows(s);
}

std::vector<WCHAR> EditorText(HWND edit) {
  int length = GetWindowTextLengthW(edit);
  std::vector<WCHAR> text(static_cast<std::size_t>(std::max(length, 0)) + 1, 0);
  GetWindowTextW(edit, text.data(), static_cast<int>(text.size()));
  return text;
}

// Ends the edit in progress; the control no longer edits while the parent hears of
// the end, so a parent that deletes items from the notification finds nothing to cancel.
void EndEdit(HWND hwnd, bool commit) {
  auto state = ControlTable<TreeViewState>::get().find(hwnd);
  if (!state || !state->edit || state->editEnding) return;
  TreeViewState& s = *state;
  s.editEnding = true;
  HWND edit = s.edit;
  std::uintptr_t handle = s.editItem;
  std::vector<WCHAR> text;
  if (commit && !s.destroying) text = EditorText(edit);
  s.edit = nullptr;
  s.editItem = 0;
  ShowWindow(edit, SW_HIDE);
  if (GetFocus() == edit && !s.destroying) SetFocus(hwnd);
  if (!s.destroying) NotifyEnd(hwnd, s, handle, commit, text);
  s.editEnding = false;
  DestroyWindow(edit);
}

// The editor over the item's label, or null when the item is not on a visible row.
HWND MakeEditor(HWND hwnd, TreeViewState& s, TreeNode& node, const std::u16string& text) {
  std::size_t row = 0;
  if (!RowOf(s, &node, &row)) return nullptr;
  return CreateLabelEditor(hwnd, text, GeometryOf(hwnd, s, node, row).label, EndEdit);
}

}  // namespace

HWND EditLabel(HWND hwnd, TreeViewState& s, HTREEITEM item) {
  if (s.destroying) return nullptr;
  TreeNode* node = Lookup(s, item, "TVM_EDITLABELW");
  if (!node || node->deleting) return nullptr;
  std::uintptr_t handle = node->handle;
  if (s.edit) EndEdit(hwnd, true);
  // The editor takes the keyboard from the tree: a tree that cannot have the focus
  // starts no edit, which no key could end.
  if (GetFocus() != hwnd) SetFocus(hwnd);
  if (GetFocus() != hwnd) return nullptr;
  if (!Alive(s, handle) || !Select(hwnd, s, s.nodes.at(handle).get(), TVC_UNKNOWN) || !Alive(s, handle)) return nullptr;
  node = s.nodes.at(handle).get();
  std::u16string text = NodeText(hwnd, s, *node);
  if (!Alive(s, handle)) return nullptr;
  HWND edit = MakeEditor(hwnd, s, *node, text);
  if (!edit) return nullptr;
  s.edit = edit;
  s.editItem = handle;
  bool refused = NotifyBegin(hwnd, *node, text);
  if (s.edit != edit) return nullptr;  // ended while the parent looked at it
  if (refused || !Alive(s, handle)) {
    s.edit = nullptr;
    s.editItem = 0;
    DestroyWindow(edit);
    return nullptr;
  }
  ShowLabelEditor(edit);
  return edit;
}

bool EndEditLabelNow(HWND hwnd, TreeViewState& s, bool cancel) {
  if (!s.edit) return false;
  EndEdit(hwnd, !cancel);
  return true;
}

void CancelEditWithin(HWND hwnd, TreeViewState& s, const TreeNode* node) {
  if (!s.edit) return;
  auto edited = s.nodes.find(s.editItem);
  if (node == &s.root || edited == s.nodes.end() || IsDescendant(edited->second.get(), node)) EndEdit(hwnd, false);
}

}  // namespace sim::treeview
