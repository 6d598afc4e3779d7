#include "comctl/sibling_list.h"

#include <cstdint>

#include "comctl/treeview.h"

namespace sim {

namespace {

SiblingLinks& Links(TreeNode* node) { return node->links; }
const SiblingLinks& Links(const TreeNode* node) { return node->links; }

// The tree view's name order (lstrcmpiW), so a sorted insertion lands where a sort puts it.
int CompareNames(const TreeNode* a, const TreeNode* b) { return lstrcmpiW(a->text.c_str(), b->text.c_str()); }

// A fixed, well-spread priority per handle; handles are given out in sequence, and
// the mix keeps the treap balanced as if the priorities were random.
std::uint64_t Priority(const TreeNode* node) {
  std::uint64_t z = static_cast<std::uint64_t>(node->handle) + 0x9E3779B97F4A7C15ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

TreeNode* Leftmost(TreeNode* node) {
  while (Links(node).left) node = Links(node).left;
  return node;
}

TreeNode* Rightmost(TreeNode* node) {
  while (Links(node).right) node = Links(node).right;
  return node;
}

// Recomputes a node's greatest name from its own and its subtrees'.
void Pull(TreeNode* node) {
  SiblingLinks& links = Links(node);
  TreeNode* greatest = node;
  for (TreeNode* child : {links.left, links.right})
    if (child && CompareNames(Links(child).greatest, greatest) > 0) greatest = Links(child).greatest;
  links.greatest = greatest;
}

bool HoldsGreater(const TreeNode* subtree, const TreeNode* than) {
  return subtree && CompareNames(Links(subtree).greatest, than) > 0;
}

}  // namespace

bool SiblingList::contains(const TreeNode* node) const {
  while (node && Links(node).up) node = Links(node).up;
  return node && node == root_;
}

TreeNode* SiblingList::first() const { return root_ ? Leftmost(root_) : nullptr; }
TreeNode* SiblingList::last() const { return root_ ? Rightmost(root_) : nullptr; }

TreeNode* SiblingList::next(const TreeNode* node) {
  if (!node) return nullptr;
  if (Links(node).right) return Leftmost(Links(node).right);
  const TreeNode* at = node;
  TreeNode* up = Links(at).up;
  while (up && Links(up).right == at) {
    at = up;
    up = Links(up).up;
  }
  return up;
}

TreeNode* SiblingList::previous(const TreeNode* node) {
  if (!node) return nullptr;
  if (Links(node).left) return Rightmost(Links(node).left);
  const TreeNode* at = node;
  TreeNode* up = Links(at).up;
  while (up && Links(up).left == at) {
    at = up;
    up = Links(up).up;
  }
  return up;
}

void SiblingList::pushFront(TreeNode* node) { insertBefore(first(), node); }
void SiblingList::pushBack(TreeNode* node) { insertBefore(nullptr, node); }
void SiblingList::insertAfter(TreeNode* anchor, TreeNode* node) { insertBefore(next(anchor), node); }

void SiblingList::insertSorted(TreeNode* node) {
  // Descend only into a subtree known to hold a greater name; the leftmost such item
  // is the first greater one in order.
  if (!HoldsGreater(root_, node)) return insertBefore(nullptr, node);
  TreeNode* at = root_;
  for (;;) {
    if (HoldsGreater(Links(at).left, node))
      at = Links(at).left;
    else if (CompareNames(at, node) > 0)
      break;
    else
      at = Links(at).right;
  }
  insertBefore(at, node);
}

void SiblingList::insertBefore(TreeNode* position, TreeNode* node) {
  Links(node) = SiblingLinks{};
  Links(node).greatest = node;
  ++size_;
  if (!root_) {
    root_ = node;
    return;
  }
  // The slot just before `position` in order is free: its left child if it has none,
  // else the right child of its predecessor.
  TreeNode* parent = nullptr;
  bool asLeft = false;
  if (!position) {
    parent = Rightmost(root_);
  } else if (!Links(position).left) {
    parent = position;
    asLeft = true;
  } else {
    parent = Rightmost(Links(position).left);
  }
  (asLeft ? Links(parent).left : Links(parent).right) = node;
  Links(node).up = parent;
  std::uint64_t priority = Priority(node);
  while (Links(node).up && Priority(Links(node).up) < priority) rotateUp(node);
  // Above the node every subtree only gained it, so a greatest name changes only where
  // the new name beats it, and not above the first place where it does not.
  for (TreeNode* at = Links(node).up; at && CompareNames(node, Links(at).greatest) > 0; at = Links(at).up)
    Links(at).greatest = node;
}

void SiblingList::remove(TreeNode* node) {
  if (!contains(node)) return;  // an item taken out already, e.g. on its way to deletion
  // Rotate the node down until it is a leaf, keeping the heap order, then cut it off.
  for (;;) {
    TreeNode* left = Links(node).left;
    TreeNode* right = Links(node).right;
    if (!left && !right) break;
    TreeNode* child = !right ? left : !left ? right : Priority(left) > Priority(right) ? left : right;
    rotateUp(child);
  }
  TreeNode* parent = Links(node).up;
  replaceChild(parent, node, nullptr);
  Links(node) = SiblingLinks{};
  --size_;
  pullToRoot(parent);
}

std::vector<TreeNode*> SiblingList::takeAll() {
  std::vector<TreeNode*> items;
  items.reserve(size_);
  for (TreeNode* at = first(); at; at = next(at)) items.push_back(at);
  for (TreeNode* item : items) Links(item) = SiblingLinks{};
  root_ = nullptr;
  size_ = 0;
  return items;
}

void SiblingList::nameChanged(TreeNode* node) {
  if (contains(node)) pullToRoot(node);
}

void SiblingList::replaceChild(TreeNode* parent, TreeNode* from, TreeNode* to) {
  if (!parent)
    root_ = to;
  else if (Links(parent).left == from)
    Links(parent).left = to;
  else
    Links(parent).right = to;
  if (to) Links(to).up = parent;
}

// Lifts `node` above its parent, keeping the order of the items.
void SiblingList::rotateUp(TreeNode* node) {
  TreeNode* parent = Links(node).up;
  TreeNode* grand = Links(parent).up;
  if (Links(parent).left == node) {
    Links(parent).left = Links(node).right;
    if (Links(node).right) Links(Links(node).right).up = parent;
    Links(node).right = parent;
  } else {
    Links(parent).right = Links(node).left;
    if (Links(node).left) Links(Links(node).left).up = parent;
    Links(node).left = parent;
  }
  Links(parent).up = node;
  replaceChild(grand, parent, node);
  Pull(parent);
  Pull(node);
}

void SiblingList::pullToRoot(TreeNode* from) {
  for (TreeNode* at = from; at; at = Links(at).up) Pull(at);
}

}  // namespace sim
