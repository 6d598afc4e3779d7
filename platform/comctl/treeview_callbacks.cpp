// What the tree view tells its parent about items (the records of its notifications,
// each filled as the device's control fills it) and what it asks the parent: the
// text, images and children of items the program left to it.
#include "comctl/notify.h"
#include "comctl/treeview_internal.h"

namespace sim::treeview {

namespace {

// The parts each notification fills: a deleted item names its handle and parameter;
// an expanding item also its state and images; a selection change its state.
constexpr UINT kDeletedParts = TVIF_HANDLE | TVIF_PARAM;
constexpr UINT kExpandingParts = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
constexpr UINT kSelectionParts = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM;

UINT PartsOf(UINT code) {
  switch (code) {
    case TVN_DELETEITEMW:
      return kDeletedParts;
    case TVN_ITEMEXPANDINGW:
    case TVN_ITEMEXPANDEDW:
      return kExpandingParts;
    default:
      return kSelectionParts;
  }
}

TVITEMW Describe(const TreeNode* node, UINT parts) {
  TVITEMW item{};
  if (!node) return item;
  item.mask = parts;
  item.hItem = HandleOf(node);
  item.lParam = node->param;
  if (parts & TVIF_STATE) {
    item.state = node->state;
    item.stateMask = 0xFFFF;
  }
  if (parts & TVIF_IMAGE) item.iImage = node->image;
  if (parts & TVIF_SELECTEDIMAGE) item.iSelectedImage = node->selectedImage;
  return item;
}

// TVIF_DI_SETITEM: the item keeps what the parent answered.
void Keep(TreeNode& node, UINT parts, const TVITEMW& answer, const std::u16string& text) {
  if (parts & TVIF_TEXT) {
    node.text = text;
    node.textCallback = false;
  }
  if (parts & TVIF_IMAGE) node.image = answer.iImage;
  if (parts & TVIF_SELECTEDIMAGE) node.selectedImage = answer.iSelectedImage;
  if (parts & TVIF_CHILDREN) node.childrenHint = answer.cChildren;
}

}  // namespace

LRESULT NotifyTree(HWND hwnd, UINT code, UINT action, const TreeNode* oldNode, const TreeNode* newNode) {
  NMTREEVIEWW tree{};
  tree.action = action;
  tree.itemOld = Describe(oldNode, PartsOf(code));
  tree.itemNew = Describe(newNode, PartsOf(code));
  return SendNotify(hwnd, code, &tree.hdr);
}

UINT CallbackParts(const TreeNode& node, UINT wanted) {
  UINT parts = 0;
  if (node.textCallback) parts |= TVIF_TEXT;
  if (node.image == I_IMAGECALLBACK) parts |= TVIF_IMAGE;
  if (node.selectedImage == I_IMAGECALLBACK) parts |= TVIF_SELECTEDIMAGE;
  if (node.childrenHintSet && node.childrenHint == I_CHILDRENCALLBACK) parts |= TVIF_CHILDREN;
  return parts & wanted;
}

TVITEMW AskParent(HWND hwnd, TreeViewState& s, TreeNode& node, UINT parts, std::u16string* text) {
  NMTVDISPINFOW info{};
  info.item.mask = parts;
  info.item.hItem = HandleOf(&node);
  info.item.state = node.state;
  info.item.stateMask = 0xFFFF;
  info.item.lParam = node.param;
  std::uintptr_t handle = node.handle;
  std::u16string answered;
  if (parts & TVIF_TEXT)
    answered = TextFromParent(hwnd, TVN_GETDISPINFOW, info);
  else
    SendNotify(hwnd, TVN_GETDISPINFOW, &info.hdr);
  // The parent may have deleted the item while it answered.
  if ((info.item.mask & TVIF_DI_SETITEM) && Alive(s, handle)) Keep(node, parts, info.item, answered);
  if (text) *text = std::move(answered);
  return info.item;
}

std::u16string NodeText(HWND hwnd, TreeViewState& s, TreeNode& node) {
  if (!node.textCallback) return node.text;
  std::u16string text;
  AskParent(hwnd, s, node, TVIF_TEXT, &text);
  return text;
}

int NodeImage(HWND hwnd, TreeViewState& s, TreeNode& node, bool selected) {
  UINT part = selected ? TVIF_SELECTEDIMAGE : TVIF_IMAGE;
  int stored = selected ? node.selectedImage : node.image;
  if (!CallbackParts(node, part)) return stored;
  TVITEMW answer = AskParent(hwnd, s, node, part, nullptr);
  return selected ? answer.iSelectedImage : answer.iImage;
}

bool HasChildren(HWND hwnd, TreeViewState& s, TreeNode& node) {
  if (!node.children.empty()) return true;
  if (!node.childrenHintSet) return false;
  if (!CallbackParts(node, TVIF_CHILDREN)) return node.childrenHint > 0;
  return AskParent(hwnd, s, node, TVIF_CHILDREN, nullptr).cChildren > 0;
}

}  // namespace sim::treeview
