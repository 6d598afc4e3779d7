// The tree view's items: handles, inserting, deleting, reading and writing them,
// walking the tree, and finding an item by its path for the automation layer.
#include <algorithm>
#include <vector>

#include "comctl/control_table.h"
#include "comctl/notify.h"
#include "comctl/treeview_internal.h"

namespace sim::treeview {

namespace {

void ApplyItem(TreeNode& node, const TVITEMW& item) {
  if (item.mask & TVIF_TEXT) {
    node.textCallback = item.pszText == LPSTR_TEXTCALLBACKW;
    node.text = (item.pszText && !node.textCallback) ? std::u16string(item.pszText) : std::u16string();
  }
  if (item.mask & TVIF_IMAGE) node.image = item.iImage;
  if (item.mask & TVIF_SELECTEDIMAGE) node.selectedImage = item.iSelectedImage;
  if (item.mask & TVIF_PARAM) node.param = item.lParam;
  if (item.mask & TVIF_CHILDREN) {
    node.childrenHint = item.cChildren;
    node.childrenHintSet = true;
  }
  if (item.mask & TVIF_STATE) {
    // The caret and expansion are the control's to manage; the other bits are the program's.
    UINT mask = item.stateMask & ~(TVIS_SELECTED | TVIS_FOCUSED);
    node.state = (node.state & ~mask) | (item.state & mask);
  }
}

// Puts a new item among its parent's children where the request says.
void Place(TreeViewState& s, TreeNode* parent, TreeNode* node, HTREEITEM after) {
  auto anchor = after ? s.nodes.find(ValueOf(after)) : s.nodes.end();
  if (after == TVI_FIRST) {
    parent->children.pushFront(node);
  } else if (after == TVI_SORT) {
    parent->children.insertSorted(node);
  } else if (anchor != s.nodes.end() && anchor->second->parent == parent && !anchor->second->deleting) {
    parent->children.insertAfter(anchor->second.get(), node);
  } else {
    // TVI_LAST, or a sibling to insert after that is not one: the item goes last.
    parent->children.pushBack(node);
  }
}

void DeleteDetached(HWND hwnd, TreeViewState& s, TreeNode* node, bool notify);

// Deletes every child of an item. The children leave the item's list all at once,
// so deleting a level costs its length, not one removal per child.
void DeleteChildren(HWND hwnd, TreeViewState& s, TreeNode* parent, bool notify) {
  std::vector<TreeNode*> children = parent->children.takeAll();
  for (TreeNode* child : children) DeleteDetached(hwnd, s, child, notify);
}

// Deletes an item already taken out of its parent's children, and everything below
// it, telling the parent window of each (TVN_DELETEITEMW). The record stays until its
// own notification is done, so a handle the parent window uses meanwhile still
// resolves; a delete of an item on its way out does nothing.
void DeleteDetached(HWND hwnd, TreeViewState& s, TreeNode* node, bool notify) {
  node->deleting = true;
  DeleteChildren(hwnd, s, node, notify);
  if (notify) NotifyTree(hwnd, TVN_DELETEITEMW, 0, node, nullptr);
  DeleteChildren(hwnd, s, node, notify);  // anything the parent window added meanwhile
  if (s.caret == node) s.caret = nullptr;
  if (s.dropHighlight == node) s.dropHighlight = nullptr;
  s.nodes.erase(node->handle);
  InvalidateRows(s);
}

// The caret leaves a deleted branch for the next sibling, else the previous one,
// else the parent.
void MoveCaretOutOf(HWND hwnd, TreeViewState& s, TreeNode* node) {
  TreeNode* next = SiblingList::next(node);
  if (!next) next = SiblingList::previous(node);
  if (!next && node->parent != &s.root) next = node->parent;
  Select(hwnd, s, next, TVC_UNKNOWN);
}

HTREEITEM RelativeOf(TreeViewState& s, TreeNode* node, UINT code) {
  switch (code) {
    case TVGN_NEXT:
      return HandleOf(SiblingList::next(node));
    case TVGN_PREVIOUS:
      return HandleOf(SiblingList::previous(node));
    case TVGN_PARENT:
      return node->parent == &s.root ? nullptr : HandleOf(node->parent);
    case TVGN_NEXTVISIBLE:
    case TVGN_PREVIOUSVISIBLE: {
      std::size_t row = 0;
      if (!RowOf(s, node, &row)) return nullptr;
      if (code == TVGN_NEXTVISIBLE) return row + 1 < s.rows.size() ? HandleOf(s.rows[row + 1]) : nullptr;
      return row > 0 ? HandleOf(s.rows[row - 1]) : nullptr;
    }
    default:
      return nullptr;
  }
}

}  // namespace

TreeNode* Lookup(TreeViewState& s, HTREEITEM item, const char* operation) {
  auto it = s.nodes.find(ValueOf(item));
  if (it != s.nodes.end()) return it->second.get();
  ReportControlFault(operation, item,
                     ValueOf(item) < s.nextHandle ? "tree item already deleted" : "not an item of this tree");
  return nullptr;
}

TreeNode* ParentNamed(TreeViewState& s, HTREEITEM item, const char* operation) {
  return IsRootHandle(item) ? &s.root : Lookup(s, item, operation);
}

int Depth(const TreeNode* node) {
  int depth = 0;
  for (const TreeNode* at = node->parent; at && at->parent; at = at->parent) ++depth;
  return depth;
}

bool IsDescendant(const TreeNode* node, const TreeNode* ancestor) {
  for (const TreeNode* at = node; at; at = at->parent)
    if (at == ancestor) return true;
  return false;
}

int CompareNames(const std::u16string& a, const std::u16string& b) { return lstrcmpiW(a.c_str(), b.c_str()); }

HTREEITEM Insert(HWND hwnd, TreeViewState& s, const TVINSERTSTRUCTW* request) {
  if (!request) return nullptr;
  TreeNode* parent = ParentNamed(s, request->hParent, "TVM_INSERTITEMW");
  if (!parent || parent->deleting) return nullptr;
  auto node = std::make_unique<TreeNode>();
  node->handle = s.nextHandle++;
  node->parent = parent;
  node->state = DefaultStateImage(hwnd);
  ApplyItem(*node, request->item);
  node->state &= ~(TVIS_SELECTED | TVIS_FOCUSED);
  TreeNode* raw = node.get();
  Place(s, parent, raw, request->hInsertAfter);
  s.nodes.emplace(raw->handle, std::move(node));
  InvalidateRows(s);
  return HandleOf(raw);
}

void DeleteChildrenOf(HWND hwnd, TreeViewState& s, TreeNode* node) {
  CancelEditWithin(hwnd, s, node);
  if (s.caret && s.caret != node && IsDescendant(s.caret, node)) Select(hwnd, s, node, TVC_UNKNOWN);
  DeleteChildren(hwnd, s, node, true);
}

// An edit of the item or of one below it is cancelled first, as the parent hears
// (TVN_ENDLABELEDITW with no text).
bool Delete(HWND hwnd, TreeViewState& s, HTREEITEM item, bool notify) {
  if (IsRootHandle(item)) {
    if (notify) CancelEditWithin(hwnd, s, &s.root);
    DeleteChildren(hwnd, s, &s.root, notify);
    s.caret = nullptr;
    s.topRow = 0;
    return true;
  }
  TreeNode* node = Lookup(s, item, "TVM_DELETEITEM");
  if (!node) return false;
  if (node->deleting) return true;
  if (notify && s.edit) {
    CancelEditWithin(hwnd, s, node);
    node = Lookup(s, item, "TVM_DELETEITEM");
    if (!node || node->deleting) return node != nullptr;
  }
  if (notify && s.caret && IsDescendant(s.caret, node)) {
    MoveCaretOutOf(hwnd, s, node);
    node = Lookup(s, item, "TVM_DELETEITEM");
    if (!node || node->deleting) return node != nullptr;
  }
  node->parent->children.remove(node);
  DeleteDetached(hwnd, s, node, notify);
  return true;
}

// Parts the program left to the parent are asked for in one TVN_GETDISPINFOW. The
// state comes whole, whatever `stateMask` asks, as the device's control gives it.
bool GetItem(HWND hwnd, TreeViewState& s, TVITEMW* item) {
  if (!item) return false;
  TreeNode* node = Lookup(s, item->hItem, "TVM_GETITEMW");
  if (!node) return false;
  TVITEMW stored{};
  stored.state = node->state;
  stored.iImage = node->image;
  stored.iSelectedImage = node->selectedImage;
  stored.lParam = node->param;
  stored.cChildren = node->childrenHintSet ? node->childrenHint : (node->children.empty() ? 0 : 1);
  std::u16string text = node->text;
  UINT asked = CallbackParts(*node, item->mask);
  if (asked) {
    TVITEMW answer = AskParent(hwnd, s, *node, asked, &text);
    if (asked & TVIF_IMAGE) stored.iImage = answer.iImage;
    if (asked & TVIF_SELECTEDIMAGE) stored.iSelectedImage = answer.iSelectedImage;
    if (asked & TVIF_CHILDREN) stored.cChildren = answer.cChildren;
  }
  if (item->mask & TVIF_TEXT) CopyText(text, item->pszText, item->cchTextMax);
  if (item->mask & TVIF_IMAGE) item->iImage = stored.iImage;
  if (item->mask & TVIF_SELECTEDIMAGE) item->iSelectedImage = stored.iSelectedImage;
  if (item->mask & TVIF_PARAM) item->lParam = stored.lParam;
  if (item->mask & TVIF_STATE) item->state = stored.state;
  if (item->mask & TVIF_CHILDREN) item->cChildren = stored.cChildren;
  return true;
}

bool SetItem(TreeViewState& s, const TVITEMW* item) {
  if (!item) return false;
  TreeNode* node = Lookup(s, item->hItem, "TVM_SETITEMW");
  if (!node) return false;
  bool wasExpanded = node->state & TVIS_EXPANDED;
  ApplyItem(*node, *item);
  if (item->mask & TVIF_TEXT) node->parent->children.nameChanged(node);
  if (wasExpanded != static_cast<bool>(node->state & TVIS_EXPANDED)) InvalidateRows(s);
  return true;
}

HTREEITEM GetNextItem(TreeViewState& s, UINT code, HTREEITEM item) {
  RebuildRows(s);
  switch (code) {
    case TVGN_ROOT:
      return HandleOf(s.root.children.first());
    case TVGN_CARET:
      return HandleOf(s.caret);
    case TVGN_DROPHILITE:
      return HandleOf(s.dropHighlight);
    case TVGN_FIRSTVISIBLE:
      return s.rows.empty() ? nullptr : HandleOf(s.rows[s.topRow]);
    case TVGN_LASTVISIBLE:
      return s.rows.empty() ? nullptr : HandleOf(s.rows.back());
    case TVGN_CHILD: {
      TreeNode* parent = ParentNamed(s, item, "TVM_GETNEXTITEM");
      return parent ? HandleOf(parent->children.first()) : nullptr;
    }
    default:
      break;
  }
  if (!item) return nullptr;
  TreeNode* node = Lookup(s, item, "TVM_GETNEXTITEM");
  return node ? RelativeOf(s, node, code) : nullptr;
}

}  // namespace sim::treeview

namespace sim {

using namespace treeview;

HTREEITEM TreeViewItemByPath(HWND tree, std::u16string_view path) {
  auto state = ControlTable<TreeViewState>::get().find(tree);
  if (!state) return nullptr;
  TreeNode* at = &state->root;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find(u'\\', start);
    if (end == std::u16string_view::npos) end = path.size();
    std::u16string name(path.substr(start, end - start));
    auto it = std::find_if(at->children.begin(), at->children.end(),
                           [&](const TreeNode* child) { return CompareNames(child->text, name) == 0; });
    if (it == at->children.end()) return nullptr;
    at = *it;
    start = end + 1;
  }
  return at == &state->root ? nullptr : HandleOf(at);
}

std::u16string TreeViewPathOf(HWND tree, HTREEITEM item) {
  auto state = ControlTable<TreeViewState>::get().find(tree);
  if (!state) return {};
  auto it = state->nodes.find(ValueOf(item));
  if (it == state->nodes.end()) return {};
  std::u16string path;
  for (const TreeNode* at = it->second.get(); at && at != &state->root; at = at->parent)
    path = at->parent != &state->root ? u"\\" + at->text + path : at->text + path;
  return path;
}

}  // namespace sim
