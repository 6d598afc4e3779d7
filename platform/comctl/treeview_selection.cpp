// Expanding and collapsing the tree view's items, the caret (the selected item), the
// drop target, and scrolling an item into view.
#include <vector>

#include "comctl/treeview_internal.h"

namespace sim::treeview {

namespace {

// The change an expansion makes: TVE_EXPAND or TVE_COLLAPSE, or 0 for none with what
// TVM_EXPAND answers then (`done`): expanding an expanded item succeeds, collapsing a
// collapsed one does not, and an item without children can be neither.
UINT ExpandAction(HWND hwnd, TreeViewState& s, TreeNode& node, UINT code, bool* done) {
  UINT action = code & TVE_ACTIONMASK;
  bool expanded = node.state & TVIS_EXPANDED;
  if (action == TVE_TOGGLE) action = expanded ? TVE_COLLAPSE : TVE_EXPAND;
  *done = false;
  if (action != TVE_EXPAND && action != TVE_COLLAPSE) return 0;
  if (!HasChildren(hwnd, s, node)) return 0;
  if (action == TVE_COLLAPSE) return expanded ? action : 0;
  *done = expanded;
  return expanded ? 0 : action;
}

void ApplyExpansion(TreeNode& node, UINT action) {
  if (action == TVE_EXPAND)
    node.state |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
  else
    node.state &= ~TVIS_EXPANDED;
}

// TVE_COLLAPSERESET: the item's children go, and the next expansion tells the parent
// again (programs refill a branch from TVN_ITEMEXPANDINGW).
void ResetBranch(HWND hwnd, TreeViewState& s, TreeNode* node) {
  node->state &= ~TVIS_EXPANDEDONCE;
  DeleteChildrenOf(hwnd, s, node);
  InvalidateRows(s);
}

bool SetDropHighlight(TreeViewState& s, TreeNode* node) {
  if (s.dropHighlight) s.dropHighlight->state &= ~TVIS_DROPHILITED;
  s.dropHighlight = node;
  if (node) node->state |= TVIS_DROPHILITED;
  return true;
}

bool ScrollToTop(HWND hwnd, TreeViewState& s, TreeNode* node) {
  std::size_t row = 0;
  if (!node || !EnsureVisible(hwnd, s, node) || !RowOf(s, node, &row)) return false;
  s.topRow = row;
  return true;
}

}  // namespace

bool Expand(HWND hwnd, TreeViewState& s, TreeNode* node, UINT code, bool byUser) {
  if (!node || node == &s.root) return false;
  bool reset = (code & TVE_COLLAPSERESET) && (code & TVE_ACTIONMASK) == TVE_COLLAPSE;
  bool done = false;
  UINT action = ExpandAction(hwnd, s, *node, code, &done);
  if (!action) {
    if (reset) ResetBranch(hwnd, s, node);
    return done;
  }
  bool notify = byUser || !(node->state & TVIS_EXPANDEDONCE);
  std::uintptr_t handle = node->handle;
  if (notify && NotifyTree(hwnd, TVN_ITEMEXPANDINGW, action, nullptr, node)) return false;
  if (!Alive(s, handle)) return false;
  ApplyExpansion(*node, action);
  InvalidateRows(s);
  if (action == TVE_COLLAPSE && s.caret && s.caret != node && IsDescendant(s.caret, node)) Select(hwnd, s, node, TVC_UNKNOWN);
  if (notify && Alive(s, handle)) NotifyTree(hwnd, TVN_ITEMEXPANDEDW, action, nullptr, node);
  if (reset && Alive(s, handle)) ResetBranch(hwnd, s, node);
  return true;
}

void ExpandAll(HWND hwnd, TreeViewState& s, TreeNode* node) {
  std::uintptr_t handle = node->handle;
  Expand(hwnd, s, node, TVE_EXPAND, true);
  if (!Alive(s, handle)) return;
  std::vector<std::uintptr_t> children;
  for (TreeNode* child : node->children) children.push_back(child->handle);
  for (std::uintptr_t child : children)
    if (auto found = s.nodes.find(child); found != s.nodes.end() && !found->second->deleting) ExpandAll(hwnd, s, found->second.get());
}

bool Expand(HWND hwnd, TreeViewState& s, HTREEITEM item, UINT code) {
  TreeNode* node = Lookup(s, item, "TVM_EXPAND");
  return node && Expand(hwnd, s, node, code, false);
}

bool EnsureVisible(HWND hwnd, TreeViewState& s, TreeNode* node) {
  std::uintptr_t handle = node->handle;
  std::vector<std::uintptr_t> ancestors;
  for (TreeNode* at = node->parent; at && at != &s.root; at = at->parent) ancestors.push_back(at->handle);
  for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it) {
    auto found = s.nodes.find(*it);
    if (found == s.nodes.end()) return false;
    if (!(found->second->state & TVIS_EXPANDED)) Expand(hwnd, s, found->second.get(), TVE_EXPAND, false);
  }
  if (!Alive(s, handle)) return false;
  std::size_t row = 0;
  if (!RowOf(s, node, &row)) return false;
  ScrollTo(hwnd, s, row);
  return true;
}

bool EnsureVisible(HWND hwnd, TreeViewState& s, HTREEITEM item) {
  TreeNode* node = Lookup(s, item, "TVM_ENSUREVISIBLE");
  return node && EnsureVisible(hwnd, s, node);
}

bool Select(HWND hwnd, TreeViewState& s, TreeNode* node, UINT cause) {
  if (node == s.caret) {
    if (node) EnsureVisible(hwnd, s, node);
    return true;
  }
  std::uintptr_t newHandle = node ? node->handle : 0;
  if (NotifyTree(hwnd, TVN_SELCHANGINGW, cause, s.caret, node)) return false;
  if (node && !Alive(s, newHandle)) return false;
  TreeNode* previous = s.caret;
  if (previous) previous->state &= ~(TVIS_SELECTED | TVIS_FOCUSED);
  s.caret = node;
  if (node) {
    node->state |= TVIS_SELECTED | TVIS_FOCUSED;
    EnsureVisible(hwnd, s, node);
    if (!Alive(s, newHandle)) return true;
  }
  TreeNode* current = s.caret;
  if (previous && !Alive(s, previous->handle)) previous = nullptr;
  NotifyTree(hwnd, TVN_SELCHANGEDW, cause, previous, current);
  return true;
}

bool SelectItem(HWND hwnd, TreeViewState& s, UINT code, HTREEITEM item) {
  TreeNode* node = item ? Lookup(s, item, "TVM_SELECTITEM") : nullptr;
  if (item && !node) return false;
  switch (code & 0xFF) {
    case TVGN_CARET:
      return Select(hwnd, s, node, TVC_UNKNOWN);
    case TVGN_DROPHILITE:
      return SetDropHighlight(s, node);
    case TVGN_FIRSTVISIBLE:
      return ScrollToTop(hwnd, s, node);
    default:
      return false;
  }
}

}  // namespace sim::treeview
