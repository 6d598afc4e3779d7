// The tree view's visible rows and where items stand on the screen: each row's
// button, icon and label, hit testing, and scrolling.
#include <algorithm>
#include <vector>

#include "comctl/treeview_internal.h"
#include "user/draw.h"

namespace sim::treeview {

namespace {

int ClientHeight(HWND hwnd) {
  RECT client{};
  GetClientRect(hwnd, &client);
  return static_cast<int>(client.bottom - client.top);
}

// The indentation level of an item's button column: top-level items have a button
// column only with TVS_LINESATROOT.
int Level(HWND hwnd, const TreeNode* node) {
  bool atRoot = HasStyle(hwnd, TVS_LINESATROOT) && HasStyle(hwnd, TVS_HASLINES | TVS_HASBUTTONS);
  return Depth(node) + (atRoot ? 1 : 0);
}

UINT PartAt(const ItemGeometry& g, POINT point) {
  if (PtInRect(&g.button, point)) return TVHT_ONITEMBUTTON;
  if (PtInRect(&g.stateIcon, point)) return TVHT_ONITEMSTATEICON;
  if (point.x < g.icon.left) return TVHT_ONITEMINDENT;
  if (PtInRect(&g.icon, point)) return TVHT_ONITEMICON;
  if (PtInRect(&g.label, point)) return TVHT_ONITEMLABEL;
  return TVHT_ONITEMRIGHT;
}

}  // namespace

void RebuildRows(TreeViewState& s) {
  if (s.rowsValid) return;
  s.rows.clear();
  ++s.rowStamp;
  std::vector<TreeNode*> pending;
  auto pushChildren = [&pending](const TreeNode& parent) {
    for (TreeNode* child = parent.children.last(); child; child = SiblingList::previous(child)) pending.push_back(child);
  };
  pushChildren(s.root);
  while (!pending.empty()) {
    TreeNode* node = pending.back();
    pending.pop_back();
    node->row = s.rows.size();
    node->rowStamp = s.rowStamp;
    s.rows.push_back(node);
    if (node->state & TVIS_EXPANDED) pushChildren(*node);
  }
  s.rowsValid = true;
  if (s.topRow >= s.rows.size()) s.topRow = s.rows.empty() ? 0 : s.rows.size() - 1;
}

bool RowOf(TreeViewState& s, const TreeNode* node, std::size_t* row) {
  RebuildRows(s);
  if (node->rowStamp != s.rowStamp) return false;
  *row = node->row;
  return true;
}

std::size_t VisibleCount(HWND hwnd, const TreeViewState& s) {
  return static_cast<std::size_t>(std::max(ClientHeight(hwnd) / s.itemHeight, 1));
}

// From the left: the indentation with the button, the state image (TVS_CHECKBOXES),
// the icon and the label.
ItemGeometry GeometryOf(HWND hwnd, TreeViewState& s, TreeNode& node, std::size_t row) {
  RECT client{};
  GetClientRect(hwnd, &client);
  LONG height = s.itemHeight;
  LONG top = (static_cast<LONG>(row) - static_cast<LONG>(s.topRow)) * height;
  ItemGeometry g{};
  g.row = RECT{0, top, client.right, top + height};
  LONG x = Level(hwnd, &node) * s.indent;
  if (HasStyle(hwnd, TVS_HASBUTTONS) && x >= s.indent && HasChildren(hwnd, s, node))
    g.button = RECT{x - s.indent, top, x, top + height};
  int stateWidth = 0, iconWidth = 0, iconHeight = 0;
  if (s.stateImages && (node.state & TVIS_STATEIMAGEMASK) && ImageList_GetIconSize(s.stateImages, &stateWidth, &iconHeight)) {
    g.stateIcon = RECT{x, top, x + stateWidth, top + height};
    x += stateWidth;
  }
  if (!s.normalImages || !ImageList_GetIconSize(s.normalImages, &iconWidth, &iconHeight)) iconWidth = 0;
  g.icon = RECT{x, top, x + iconWidth, top + height};
  // The label is as wide as its text is drawn, with a margin each side.
  LONG textWidth = SystemTextWidth(NodeText(hwnd, s, node), DT_SINGLELINE | DT_NOPREFIX) + Scaled(6);
  LONG labelLeft = x + iconWidth + (iconWidth ? Scaled(3) : 0);
  g.label = RECT{labelLeft, top, labelLeft + textWidth, top + height};
  return g;
}

TreeNode* HitTest(HWND hwnd, TreeViewState& s, POINT point, UINT* flags) {
  RebuildRows(s);
  *flags = TVHT_NOWHERE;
  if (point.y < 0) {
    *flags = TVHT_ABOVE;
    return nullptr;
  }
  std::size_t row = s.topRow + static_cast<std::size_t>(point.y / s.itemHeight);
  if (row >= s.rows.size() || point.x < 0) return nullptr;
  TreeNode* node = s.rows[row];
  *flags = PartAt(GeometryOf(hwnd, s, *node, row), point);
  return node;
}

HTREEITEM HitTest(HWND hwnd, TreeViewState& s, TVHITTESTINFO* info) {
  if (!info) return nullptr;
  info->hItem = HandleOf(HitTest(hwnd, s, info->pt, &info->flags));
  return info->hItem;
}

bool GetItemRect(HWND hwnd, TreeViewState& s, bool textOnly, RECT* rect) {
  if (!rect) return false;
  HTREEITEM item = *reinterpret_cast<HTREEITEM*>(rect);
  TreeNode* node = Lookup(s, item, "TVM_GETITEMRECT");
  std::size_t row = 0;
  if (!node || !RowOf(s, node, &row)) return false;
  ItemGeometry g = GeometryOf(hwnd, s, *node, row);
  *rect = textOnly ? g.label : g.row;
  return true;
}

void ScrollTo(HWND hwnd, TreeViewState& s, std::size_t row) {
  std::size_t visible = VisibleCount(hwnd, s);
  if (row < s.topRow)
    s.topRow = row;
  else if (row >= s.topRow + visible)
    s.topRow = row - visible + 1;
}

bool SetIndent(TreeViewState& s, int indent) {
  s.indent = std::max(indent, 1);
  return true;
}

HIMAGELIST SetImageList(TreeViewState& s, WPARAM which, HIMAGELIST list) {
  HIMAGELIST* slot = which == TVSIL_NORMAL ? &s.normalImages : which == TVSIL_STATE ? &s.stateImages : nullptr;
  if (!slot) return nullptr;
  HIMAGELIST previous = *slot;
  *slot = list;
  return previous;
}

HIMAGELIST GetImageList(const TreeViewState& s, WPARAM which) {
  return which == TVSIL_NORMAL ? s.normalImages : which == TVSIL_STATE ? s.stateImages : nullptr;
}

}  // namespace sim::treeview
