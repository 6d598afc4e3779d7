#include "comctl/treeview.h"

#include <algorithm>

#include "comctl/control_table.h"
#include "comctl/notify.h"
#include "user/input.h"

namespace sim {

namespace {

using Table = ControlTable<TreeViewState>;

bool HasStyle(HWND hwnd, LONG bits) { return (GetWindowLongW(hwnd, GWL_STYLE) & bits) != 0; }

std::uintptr_t ValueOf(HTREEITEM item) { return reinterpret_cast<std::uintptr_t>(item); }
HTREEITEM HandleOf(const TreeNode* node) { return node ? reinterpret_cast<HTREEITEM>(node->handle) : nullptr; }

// The item of a handle. A handle this tree never gave out, or one of a deleted item,
// is the program's fault.
TreeNode* Lookup(TreeViewState& s, HTREEITEM item, const char* operation) {
  auto it = s.nodes.find(ValueOf(item));
  if (it != s.nodes.end()) return it->second.get();
  ReportControlFault(operation, item,
                     ValueOf(item) < s.nextHandle ? "tree item already deleted" : "not an item of this tree");
  return nullptr;
}

bool IsRootHandle(HTREEITEM item) { return item == nullptr || item == TVI_ROOT; }

// The parent an operation names: the invisible root for null and TVI_ROOT.
TreeNode* ParentNamed(TreeViewState& s, HTREEITEM item, const char* operation) {
  return IsRootHandle(item) ? &s.root : Lookup(s, item, operation);
}

bool Alive(TreeViewState& s, std::uintptr_t handle) { return s.nodes.count(handle) != 0; }

void InvalidateRows(TreeViewState& s) { s.rowsValid = false; }

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

// TVI_SORT and TVM_SORTCHILDREN order names as lstrcmpiW does: the device's Japanese
// order, ignoring case.
int CompareNames(const std::u16string& a, const std::u16string& b) { return lstrcmpiW(a.c_str(), b.c_str()); }

// ---- notifications -----------------------------------------------------------------

TVITEMW Describe(const TreeNode* node) {
  TVITEMW item{};
  if (!node) return item;
  item.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_STATE;
  item.hItem = HandleOf(node);
  item.state = node->state;
  item.stateMask = 0xFFFF;
  item.lParam = node->param;
  return item;
}

LRESULT NotifyTree(HWND hwnd, UINT code, UINT action, const TreeNode* oldNode, const TreeNode* newNode) {
  NMTREEVIEWW tree{};
  tree.action = action;
  tree.itemOld = Describe(oldNode);
  tree.itemNew = Describe(newNode);
  return SendNotify(hwnd, code, &tree.hdr);
}

std::u16string NodeText(HWND hwnd, TreeNode& node) {
  if (!node.textCallback) return node.text;
  WCHAR buffer[MAX_PATH] = {};
  NMTVDISPINFOW info{};
  info.item.mask = TVIF_TEXT;
  info.item.hItem = HandleOf(&node);
  info.item.lParam = node.param;
  info.item.pszText = buffer;
  info.item.cchTextMax = MAX_PATH;
  SendNotify(hwnd, TVN_GETDISPINFOW, &info.hdr);
  if (!info.item.pszText || info.item.pszText == LPSTR_TEXTCALLBACKW) return {};
  return std::u16string(info.item.pszText, wcsnlen(info.item.pszText, MAX_PATH));
}

bool HasChildren(HWND hwnd, TreeNode& node) {
  if (!node.children.empty()) return true;
  if (!node.childrenHintSet) return false;
  if (node.childrenHint != I_CHILDRENCALLBACK) return node.childrenHint > 0;
  NMTVDISPINFOW info{};
  info.item.mask = TVIF_CHILDREN;
  info.item.hItem = HandleOf(&node);
  info.item.lParam = node.param;
  SendNotify(hwnd, TVN_GETDISPINFOW, &info.hdr);
  return info.item.cChildren > 0;
}

// ---- rows --------------------------------------------------------------------------

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

int ClientHeight(HWND hwnd) {
  RECT client{};
  GetClientRect(hwnd, &client);
  return static_cast<int>(client.bottom - client.top);
}

std::size_t VisibleCount(HWND hwnd) { return static_cast<std::size_t>(std::max(ClientHeight(hwnd) / kTreeRowHeight, 1)); }

// The indentation level of an item's button column: top-level items have a button
// column only with TVS_LINESATROOT.
int Level(HWND hwnd, const TreeNode* node) {
  bool atRoot = HasStyle(hwnd, TVS_LINESATROOT) && HasStyle(hwnd, TVS_HASLINES | TVS_HASBUTTONS);
  return Depth(node) + (atRoot ? 1 : 0);
}

struct ItemGeometry {
  RECT row;
  RECT button;  // empty when the item shows no button
  RECT icon;
  RECT label;
};

ItemGeometry GeometryOf(HWND hwnd, TreeViewState& s, TreeNode& node, std::size_t row) {
  RECT client{};
  GetClientRect(hwnd, &client);
  LONG top = (static_cast<LONG>(row) - static_cast<LONG>(s.topRow)) * kTreeRowHeight;
  ItemGeometry g{};
  g.row = RECT{0, top, client.right, top + kTreeRowHeight};
  LONG x = Level(hwnd, &node) * s.indent;
  if (HasStyle(hwnd, TVS_HASBUTTONS) && x >= s.indent && HasChildren(hwnd, node))
    g.button = RECT{x - s.indent, top, x, top + kTreeRowHeight};
  LONG iconWidth = s.normalImages ? 16 : 0;
  g.icon = RECT{x, top, x + iconWidth, top + kTreeRowHeight};
  LONG textWidth = static_cast<LONG>(NodeText(hwnd, node).size()) * 8 + 6;
  g.label = RECT{x + iconWidth + (iconWidth ? 3 : 0), top, x + iconWidth + (iconWidth ? 3 : 0) + textWidth, top + kTreeRowHeight};
  return g;
}

bool Contains(const RECT& rect, POINT point) {
  return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

TreeNode* HitTest(HWND hwnd, TreeViewState& s, POINT point, UINT* flags) {
  RebuildRows(s);
  *flags = TVHT_NOWHERE;
  if (point.y < 0) {
    *flags = TVHT_ABOVE;
    return nullptr;
  }
  std::size_t row = s.topRow + static_cast<std::size_t>(point.y / kTreeRowHeight);
  if (row >= s.rows.size() || point.x < 0) return nullptr;
  TreeNode* node = s.rows[row];
  ItemGeometry g = GeometryOf(hwnd, s, *node, row);
  if (Contains(g.button, point))
    *flags = TVHT_ONITEMBUTTON;
  else if (point.x < g.icon.left)
    *flags = TVHT_ONITEMINDENT;
  else if (Contains(g.icon, point))
    *flags = TVHT_ONITEMICON;
  else if (Contains(g.label, point))
    *flags = TVHT_ONITEMLABEL;
  else
    *flags = TVHT_ONITEMRIGHT;
  return node;
}

// ---- expanding, selecting, scrolling -------------------------------------------------

bool Select(HWND hwnd, TreeViewState& s, TreeNode* node, UINT cause);

// Expands or collapses an item. A program's TVM_EXPAND tells the parent only until the
// item has been expanded once; the user's taps always do.
bool Expand(HWND hwnd, TreeViewState& s, TreeNode* node, UINT code, bool byUser) {
  if (!node || node == &s.root) return false;
  UINT action = code & TVE_ACTIONMASK;
  bool expanded = node->state & TVIS_EXPANDED;
  if (action == TVE_TOGGLE) action = expanded ? TVE_COLLAPSE : TVE_EXPAND;
  if (action != TVE_EXPAND && action != TVE_COLLAPSE) return false;
  if (action == TVE_EXPAND && expanded) return true;
  if (action == TVE_COLLAPSE && !expanded && !(code & TVE_COLLAPSERESET)) return true;
  if (action == TVE_EXPAND && !HasChildren(hwnd, *node)) return false;
  bool notify = byUser || !(node->state & TVIS_EXPANDEDONCE);
  std::uintptr_t handle = node->handle;
  if (notify && NotifyTree(hwnd, TVN_ITEMEXPANDINGW, action, nullptr, node)) return false;
  if (!Alive(s, handle)) return false;
  if (action == TVE_EXPAND) {
    node->state |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
  } else {
    node->state &= ~TVIS_EXPANDED;
    if (code & TVE_COLLAPSERESET) node->state &= ~TVIS_EXPANDEDONCE;
  }
  InvalidateRows(s);
  if (action == TVE_COLLAPSE && s.caret && s.caret != node && IsDescendant(s.caret, node)) Select(hwnd, s, node, TVC_UNKNOWN);
  if (notify && Alive(s, handle)) NotifyTree(hwnd, TVN_ITEMEXPANDEDW, action, nullptr, node);
  return true;
}

void ScrollTo(HWND hwnd, TreeViewState& s, std::size_t row) {
  std::size_t visible = VisibleCount(hwnd);
  if (row < s.topRow)
    s.topRow = row;
  else if (row >= s.topRow + visible)
    s.topRow = row - visible + 1;
}

// Expands every ancestor of an item and scrolls it into view.
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

// Moves the caret, asking the parent first (TVN_SELCHANGINGW may refuse).
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

// ---- inserting, deleting, sorting ----------------------------------------------------

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

HTREEITEM Insert(HWND hwnd, TreeViewState& s, const TVINSERTSTRUCTW* request) {
  if (!request) return nullptr;
  TreeNode* parent = ParentNamed(s, request->hParent, "TVM_INSERTITEMW");
  if (!parent || parent->deleting) return nullptr;
  auto node = std::make_unique<TreeNode>();
  node->handle = s.nextHandle++;
  node->parent = parent;
  ApplyItem(*node, request->item);
  node->state &= ~(TVIS_SELECTED | TVIS_FOCUSED);

  TreeNode* raw = node.get();
  HTREEITEM after = request->hInsertAfter;
  auto anchor = after ? s.nodes.find(ValueOf(after)) : s.nodes.end();
  if (after == TVI_FIRST) {
    parent->children.pushFront(raw);
  } else if (after == TVI_SORT) {
    parent->children.insertSorted(raw);
  } else if (anchor != s.nodes.end() && anchor->second->parent == parent && !anchor->second->deleting) {
    parent->children.insertAfter(anchor->second.get(), raw);
  } else {
    // TVI_LAST, or a sibling to insert after that is not one: the item goes last.
    parent->children.pushBack(raw);
  }
  s.nodes.emplace(raw->handle, std::move(node));
  InvalidateRows(s);
  return HandleOf(raw);
}

void Unlink(TreeNode* node) { node->parent->children.remove(node); }

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

bool Delete(HWND hwnd, TreeViewState& s, HTREEITEM item, bool notify) {
  if (IsRootHandle(item)) {
    DeleteChildren(hwnd, s, &s.root, notify);
    s.caret = nullptr;
    s.topRow = 0;
    return true;
  }
  TreeNode* node = Lookup(s, item, "TVM_DELETEITEM");
  if (!node) return false;
  if (node->deleting) return true;
  // The caret leaves a deleted branch for the next sibling, else the previous one,
  // else the parent.
  if (notify && s.caret && IsDescendant(s.caret, node)) {
    TreeNode* next = SiblingList::next(node);
    if (!next) next = SiblingList::previous(node);
    if (!next && node->parent != &s.root) next = node->parent;
    Select(hwnd, s, next, TVC_UNKNOWN);
    node = Lookup(s, item, "TVM_DELETEITEM");
    if (!node || node->deleting) return node != nullptr;
  }
  Unlink(node);
  DeleteDetached(hwnd, s, node, notify);
  return true;
}

void SortLevelByName(TreeNode& parent, bool recurse) {
  parent.children.stableSort([](const TreeNode* a, const TreeNode* b) { return CompareNames(a->text, b->text) < 0; });
  if (recurse)
    for (TreeNode* child : parent.children) SortLevelByName(*child, true);
}

bool SortChildren(TreeViewState& s, HTREEITEM item, bool recurse) {
  TreeNode* parent = ParentNamed(s, item, "TVM_SORTCHILDREN");
  if (!parent) return false;
  SortLevelByName(*parent, recurse);
  InvalidateRows(s);
  return true;
}

// The child of `parent` (0: the invisible root) a handle names, if it is still one.
TreeNode* LiveChild(TreeViewState& s, std::uintptr_t parent, std::uintptr_t child) {
  auto it = s.nodes.find(child);
  if (it == s.nodes.end() || it->second->deleting) return nullptr;
  TreeNode* node = it->second.get();
  return node->parent->handle == parent ? node : nullptr;
}

// Sorts a level with the program's comparison. The program runs while the sort is
// under way and may add or delete items, so the sort orders handles and parameters,
// leaves the level untouched meanwhile, and then moves to the end, in sorted order,
// the items still there; items added meanwhile stay in front.
void SortLevelBy(TreeViewState& s, std::uintptr_t parentHandle, const TVSORTCB& sort, bool recurse) {
  struct Entry {
    std::uintptr_t handle;
    LPARAM param;
  };
  std::vector<Entry> entries;
  TreeNode* parent = parentHandle ? s.nodes.at(parentHandle).get() : &s.root;
  for (TreeNode* child : parent->children) entries.push_back({child->handle, child->param});
  std::stable_sort(entries.begin(), entries.end(),
                   [&sort](const Entry& a, const Entry& b) { return sort.lpfnCompare(a.param, b.param, sort.lParam) < 0; });
  for (const Entry& entry : entries) {
    if (TreeNode* child = LiveChild(s, parentHandle, entry.handle)) {
      child->parent->children.remove(child);
      child->parent->children.pushBack(child);
    }
  }
  if (!recurse) return;
  for (const Entry& entry : entries)
    if (LiveChild(s, parentHandle, entry.handle)) SortLevelBy(s, entry.handle, sort, true);
}

bool SortChildrenBy(TreeViewState& s, const TVSORTCB* sort, bool recurse) {
  if (!sort || !sort->lpfnCompare) return false;
  TreeNode* parent = ParentNamed(s, sort->hParent, "TVM_SORTCHILDRENCB");
  if (!parent || parent->deleting) return false;
  SortLevelBy(s, parent->handle, *sort, recurse);
  InvalidateRows(s);
  return true;
}

// ---- reading and writing items ----------------------------------------------------

bool GetItem(HWND hwnd, TreeViewState& s, TVITEMW* item) {
  if (!item) return false;
  TreeNode* node = Lookup(s, item->hItem, "TVM_GETITEMW");
  if (!node) return false;
  if (item->mask & TVIF_TEXT) CopyText(NodeText(hwnd, *node), item->pszText, item->cchTextMax);
  if (item->mask & TVIF_IMAGE) item->iImage = node->image;
  if (item->mask & TVIF_SELECTEDIMAGE) item->iSelectedImage = node->selectedImage;
  if (item->mask & TVIF_PARAM) item->lParam = node->param;
  if (item->mask & TVIF_STATE) item->state = node->state & item->stateMask;
  if (item->mask & TVIF_CHILDREN)
    item->cChildren = node->childrenHintSet ? node->childrenHint : (node->children.empty() ? 0 : 1);
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

HTREEITEM GetNextItem(HWND hwnd, TreeViewState& s, UINT code, HTREEITEM item) {
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
  if (!node) return nullptr;
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

// ---- input -------------------------------------------------------------------------


void NotifySimple(HWND hwnd, UINT code) {
  NMHDR header{};
  SendNotify(hwnd, code, &header);
}

// A tap on an item's button expands or collapses it; a tap on the item selects it.
void OnButtonDown(HWND hwnd, TreeViewState& s, POINT point) {
  if (GetFocus() != hwnd) SetFocus(hwnd);
  UINT flags = 0;
  TreeNode* node = HitTest(hwnd, s, point, &flags);
  if (node && flags == TVHT_ONITEMBUTTON)
    Expand(hwnd, s, node, TVE_TOGGLE, true);
  else if (node && (flags & (TVHT_ONITEM | TVHT_ONITEMRIGHT | TVHT_ONITEMINDENT)))
    Select(hwnd, s, node, TVC_BYMOUSE);
  s.buttonDown = true;
  s.buttonDownTime = GetMessageTime();
}

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
  if (node && Alive(s, handle) && (flags & (TVHT_ONITEM | TVHT_ONITEMRIGHT | TVHT_ONITEMINDENT)))
    Expand(hwnd, s, node, TVE_TOGGLE, true);
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
      Select(hwnd, s, s.rows[hasRow && row > 0 ? row - 1 : 0], TVC_BYKEYBOARD);
      break;
    case VK_DOWN:
      Select(hwnd, s, s.rows[hasRow ? std::min(row + 1, s.rows.size() - 1) : 0], TVC_BYKEYBOARD);
      break;
    case VK_HOME:
      Select(hwnd, s, s.rows.front(), TVC_BYKEYBOARD);
      break;
    case VK_END:
      Select(hwnd, s, s.rows.back(), TVC_BYKEYBOARD);
      break;
    case VK_LEFT:
      if (!s.caret) break;
      if (s.caret->state & TVIS_EXPANDED)
        Expand(hwnd, s, s.caret, TVE_COLLAPSE, true);
      else if (s.caret->parent != &s.root)
        Select(hwnd, s, s.caret->parent, TVC_BYKEYBOARD);
      break;
    case VK_RIGHT:
      if (!s.caret) break;
      if (!(s.caret->state & TVIS_EXPANDED))
        Expand(hwnd, s, s.caret, TVE_EXPAND, true);
      else if (!s.caret->children.empty())
        Select(hwnd, s, s.caret->children.first(), TVC_BYKEYBOARD);
      break;
    case VK_RETURN:
      NotifySimple(hwnd, NM_RETURN);
      break;
    default:
      break;
  }
}

LRESULT Dispatch(HWND hwnd, TreeViewState& s, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case TVM_INSERTITEMW:
      return reinterpret_cast<LRESULT>(Insert(hwnd, s, reinterpret_cast<const TVINSERTSTRUCTW*>(lParam)));
    case TVM_DELETEITEM:
      return Delete(hwnd, s, reinterpret_cast<HTREEITEM>(lParam), true);
    case TVM_EXPAND: {
      TreeNode* node = Lookup(s, reinterpret_cast<HTREEITEM>(lParam), "TVM_EXPAND");
      return node && Expand(hwnd, s, node, static_cast<UINT>(wParam), false);
    }
    case TVM_GETNEXTITEM:
      return reinterpret_cast<LRESULT>(GetNextItem(hwnd, s, static_cast<UINT>(wParam), reinterpret_cast<HTREEITEM>(lParam)));
    case TVM_SELECTITEM: {
      auto item = reinterpret_cast<HTREEITEM>(lParam);
      TreeNode* node = item ? Lookup(s, item, "TVM_SELECTITEM") : nullptr;
      if (item && !node) return FALSE;
      switch (wParam & 0xFF) {
        case TVGN_CARET:
          return Select(hwnd, s, node, TVC_UNKNOWN);
        case TVGN_DROPHILITE:
          if (s.dropHighlight) s.dropHighlight->state &= ~TVIS_DROPHILITED;
          s.dropHighlight = node;
          if (node) node->state |= TVIS_DROPHILITED;
          return TRUE;
        case TVGN_FIRSTVISIBLE: {
          std::size_t row = 0;
          if (!node || !EnsureVisible(hwnd, s, node) || !RowOf(s, node, &row)) return FALSE;
          s.topRow = row;
          return TRUE;
        }
        default:
          return FALSE;
      }
    }
    case TVM_GETITEMW:
      return GetItem(hwnd, s, reinterpret_cast<TVITEMW*>(lParam));
    case TVM_SETITEMW:
      return SetItem(s, reinterpret_cast<const TVITEMW*>(lParam));
    case TVM_SORTCHILDREN:
      return SortChildren(s, reinterpret_cast<HTREEITEM>(lParam), wParam != 0);
    case TVM_SORTCHILDRENCB:
      return SortChildrenBy(s, reinterpret_cast<const TVSORTCB*>(lParam), wParam != 0);
    case TVM_SETIMAGELIST: {
      HIMAGELIST* slot = wParam == TVSIL_NORMAL ? &s.normalImages : wParam == TVSIL_STATE ? &s.stateImages : nullptr;
      if (!slot) return 0;
      HIMAGELIST previous = *slot;
      *slot = reinterpret_cast<HIMAGELIST>(lParam);
      return reinterpret_cast<LRESULT>(previous);
    }
    case TVM_GETIMAGELIST:
      return reinterpret_cast<LRESULT>(wParam == TVSIL_NORMAL ? s.normalImages : wParam == TVSIL_STATE ? s.stateImages : nullptr);
    case TVM_GETCOUNT:
      return static_cast<LRESULT>(s.nodes.size());
    case TVM_GETINDENT:
      return s.indent;
    case TVM_SETINDENT:
      s.indent = std::max(static_cast<int>(wParam), 1);
      return TRUE;
    case TVM_GETVISIBLECOUNT:
      return static_cast<LRESULT>(VisibleCount(hwnd));
    case TVM_ENSUREVISIBLE: {
      TreeNode* node = Lookup(s, reinterpret_cast<HTREEITEM>(lParam), "TVM_ENSUREVISIBLE");
      return node && EnsureVisible(hwnd, s, node);
    }
    case TVM_GETITEMRECT:
      return GetItemRect(hwnd, s, wParam != 0, reinterpret_cast<RECT*>(lParam));
    case TVM_HITTEST: {
      auto* info = reinterpret_cast<TVHITTESTINFO*>(lParam);
      if (!info) return 0;
      info->hItem = HandleOf(HitTest(hwnd, s, info->pt, &info->flags));
      return reinterpret_cast<LRESULT>(info->hItem);
    }
    case WM_LBUTTONDOWN:
      OnButtonDown(hwnd, s, PointOf(lParam));
      return 0;
    case WM_LBUTTONUP:
      OnButtonUp(hwnd, s);
      return 0;
    case WM_LBUTTONDBLCLK:
      OnDoubleTap(hwnd, s, PointOf(lParam));
      return 0;
    case WM_RBUTTONDOWN:
      NotifySimple(hwnd, NM_RCLICK);
      return 0;
    case WM_KEYDOWN:
      OnKeyDown(hwnd, s, wParam);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
      NotifySimple(hwnd, NM_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      NotifySimple(hwnd, NM_KILLFOCUS);
      return 0;
    case WM_DESTROY:
      // The items go with the window, each announced to the parent; the image lists
      // stay: a tree view never owns them.
      Delete(hwnd, s, TVI_ROOT, true);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

LRESULT CALLBACK TreeViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return Table::get().route(hwnd, message, wParam, lParam, Dispatch);
}

HTREEITEM TreeViewItemByPath(HWND tree, std::u16string_view path) {
  auto state = Table::get().find(tree);
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
  auto state = Table::get().find(tree);
  if (!state) return {};
  auto it = state->nodes.find(ValueOf(item));
  if (it == state->nodes.end()) return {};
  std::u16string path;
  for (const TreeNode* at = it->second.get(); at && at != &state->root; at = at->parent)
    path = at->parent != &state->root ? u"\\" + at->text + path : at->text + path;
  return path;
}

}  // namespace sim
