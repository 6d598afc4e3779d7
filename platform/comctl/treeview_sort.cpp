// Sorting a level of the tree view: by name, or with the program's comparison.
#include <algorithm>
#include <vector>

#include "comctl/treeview_internal.h"

namespace sim::treeview {

namespace {

void SortLevelByName(TreeNode& parent, bool recurse) {
  parent.children.stableSort([](const TreeNode* a, const TreeNode* b) { return CompareNames(a->text, b->text) < 0; });
  if (recurse)
    for (TreeNode* child : parent.children) SortLevelByName(*child, true);
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

}  // namespace

bool SortChildren(TreeViewState& s, HTREEITEM item, bool recurse) {
  TreeNode* parent = ParentNamed(s, item, "TVM_SORTCHILDREN");
  if (!parent) return false;
  SortLevelByName(*parent, recurse);
  InvalidateRows(s);
  return true;
}

bool SortChildrenBy(TreeViewState& s, const TVSORTCB* sort, bool recurse) {
  if (!sort || !sort->lpfnCompare) return false;
  TreeNode* parent = ParentNamed(s, sort->hParent, "TVM_SORTCHILDRENCB");
  if (!parent || parent->deleting) return false;
  SortLevelBy(s, parent->handle, *sort, recurse);
  InvalidateRows(s);
  return true;
}

}  // namespace sim::treeview
