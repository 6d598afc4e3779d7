// The tree view's taps and keys: expanding by the button, selecting, activating,
// holding, and moving the caret.
#include <algorithm>

#include "comctl/notify.h"
#include "comctl/treeview_internal.h"
#include "user/input.h"

namespace sim::treeview {

namespace {

constexpr UINT kOnItem = TVHT_ONITEM | TVHT_ONITEMRIGHT | TVHT_ONITEMINDENT;

void SelectByKey(HWND hwnd, TreeViewState& s, TreeNode* node) { Select(hwnd, s, node, TVC_BYKEYBOARD); }

// Left collapses an expanded item, else goes to its parent; Right expands a collapsed
// item, else goes to its first child.
void OnLeftKey(HWND hwnd, TreeViewState& s) {
  if (!s.caret) return;
  if (s.caret->state & TVIS_EXPANDED)
    Expand(hwnd, s, s.caret, TVE_COLLAPSE, true);
  else if (s.caret->parent != &s.root)
    SelectByKey(hwnd, s, s.caret->parent);
}

void OnRightKey(HWND hwnd, TreeViewState& s) {
  if (!s.caret) return;
  if (!(s.caret->state & TVIS_EXPANDED))
    Expand(hwnd, s, s.caret, TVE_EXPAND, true);
  else if (!s.caret->children.empty())
    SelectByKey(hwnd, s, s.caret->children.first());
}

// The keys that act on the caret alone: + expands, - collapses, * expands the whole
// branch, Backspace goes to the parent, Space checks or unchecks with TVS_CHECKBOXES.
void OnCaretKey(HWND hwnd, TreeViewState& s, WPARAM key) {
  if (!s.caret) return;
  switch (key) {
    case VK_ADD:
      Expand(hwnd, s, s.caret, TVE_EXPAND, true);
      break;
    case VK_SUBTRACT:
      Expand(hwnd, s, s.caret, TVE_COLLAPSE, true);
      break;
    case VK_MULTIPLY:
      ExpandAll(hwnd, s, s.caret);
      break;
    case VK_BACK:
      if (s.caret->parent != &s.root) SelectByKey(hwnd, s, s.caret->parent);
      break;
    case VK_SPACE:
      if (HasStyle(hwnd, TVS_CHECKBOXES)) ToggleCheck(*s.caret);
      break;
    default:
      break;
  }
}

}  // namespace

void NotifySimple(HWND hwnd, UINT code) {
  NMHDR header{};
  SendNotify(hwnd, code, &header);
}

// A tap on an item's button expands or collapses it, one on its check box checks or
// unchecks it; a tap on the item selects it.
void OnButtonDown(HWND hwnd, TreeViewState& s, POINT point) {
  if (GetFocus() != hwnd) SetFocus(hwnd);
  UINT flags = 0;
  TreeNode* node = HitTest(hwnd, s, point, &flags);
  if (node && flags == TVHT_ONITEMBUTTON)
    Expand(hwnd, s, node, TVE_TOGGLE, true);
  else if (node && flags == TVHT_ONITEMSTATEICON && HasStyle(hwnd, TVS_CHECKBOXES))
    ToggleCheck(*node);
  else if (node && (flags & kOnItem))
    Select(hwnd, s, node, TVC_BYMOUSE);
  s.buttonDown = true;
  s.buttonDownTime = GetMessageTime();
}

// A release after the device's hold time is the tap-and-hold gesture.
void OnButtonUp(HWND hwnd, TreeViewState& s) {
  if (!s.buttonDown) return;
  s.buttonDown = false;
  bool held = static_cast<DWORD>(GetMessageTime() - s.buttonDownTime) >= Input::kHoldMs;
  NotifySimple(hwnd, held ? NM_RCLICK : NM_CLICK);
}

// A double tap on an item toggles it unless the parent handled NM_DBLCLK.
void OnDoubleTap(HWND hwnd, TreeViewState& s, POINT point) {
  s.buttonDown = false;
  UINT flags = 0;
  TreeNode* node = HitTest(hwnd, s, point, &flags);
  std::uintptr_t handle = node ? node->handle : 0;
  NMHDR header{};
  if (SendNotify(hwnd, NM_DBLCLK, &header)) return;
  if (node && Alive(s, handle) && (flags & kOnItem)) Expand(hwnd, s, node, TVE_TOGGLE, true);
}

void OnKeyDown(HWND hwnd, TreeViewState& s, WPARAM key) {
  NMTVKEYDOWN down{};
  down.wVKey = static_cast<WORD>(key);
  SendNotify(hwnd, TVN_KEYDOWN, &down.hdr);
  RebuildRows(s);
  if (s.rows.empty()) return;
  std::size_t row = 0;
  bool hasRow = s.caret && RowOf(s, s.caret, &row);
  switch (key) {
    case VK_UP:
      return SelectByKey(hwnd, s, s.rows[hasRow && row > 0 ? row - 1 : 0]);
    case VK_DOWN:
      return SelectByKey(hwnd, s, s.rows[hasRow ? std::min(row + 1, s.rows.size() - 1) : 0]);
    case VK_HOME:
      return SelectByKey(hwnd, s, s.rows.front());
    case VK_END:
      return SelectByKey(hwnd, s, s.rows.back());
    case VK_LEFT:
      return OnLeftKey(hwnd, s);
    case VK_RIGHT:
      return OnRightKey(hwnd, s);
    case VK_RETURN:
      return NotifySimple(hwnd, NM_RETURN);
    default:
      return OnCaretKey(hwnd, s, key);
  }
}

}  // namespace sim::treeview
