// The children of one tree view item, in display order.
//
// A level may hold a hundred thousand items and programs fill it with sorted
// insertion, so the order is kept in a balanced binary tree (a treap whose
// priorities are a hash of the item's handle, so every run builds the same shape)
// rather than in an array: inserting anywhere, removing, and finding where a sorted
// insertion goes all cost O(log n), and walking the whole level costs O(n).
//
// A sorted insertion goes before the first sibling whose name compares greater in
// lstrcmpiW's order (the device's Japanese order, ignoring case), even when the
// level is not in name order (items placed first, last or after another item).
// Each subtree remembers its greatest name, so that search descends straight to the
// place instead of scanning.
#pragma once

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <vector>

namespace sim {

struct TreeNode;

// An item's links inside its parent's SiblingList.
struct SiblingLinks {
  TreeNode* up = nullptr;
  TreeNode* left = nullptr;
  TreeNode* right = nullptr;
  TreeNode* greatest = nullptr;  // the item with the greatest name in this subtree
};

class SiblingList {
 public:
  SiblingList() = default;
  SiblingList(const SiblingList&) = delete;
  SiblingList& operator=(const SiblingList&) = delete;

  bool empty() const { return root_ == nullptr; }
  std::size_t size() const { return size_; }
  bool contains(const TreeNode* node) const;

  TreeNode* first() const;
  TreeNode* last() const;
  static TreeNode* next(const TreeNode* node);
  static TreeNode* previous(const TreeNode* node);

  void pushFront(TreeNode* node);
  void pushBack(TreeNode* node);
  void insertAfter(TreeNode* anchor, TreeNode* node);
  // Before the first item whose name compares greater than the node's, else last.
  void insertSorted(TreeNode* node);

  void remove(TreeNode* node);
  // Every item in order; the list is empty afterwards.
  std::vector<TreeNode*> takeAll();
  // Tells the list that an item's name changed, so sorted insertion stays right.
  void nameChanged(TreeNode* node);

  // Reorders the items with a stable sort; `less` compares two TreeNode pointers.
  template <class Less>
  void stableSort(const Less& less) {
    std::vector<TreeNode*> items = takeAll();
    std::stable_sort(items.begin(), items.end(), less);
    for (TreeNode* item : items) pushBack(item);
  }

  class Iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = TreeNode*;
    using difference_type = std::ptrdiff_t;
    using pointer = TreeNode* const*;
    using reference = TreeNode* const&;

    Iterator() = default;
    explicit Iterator(TreeNode* at) : at_(at) {}
    reference operator*() const { return at_; }
    Iterator& operator++() {
      at_ = SiblingList::next(at_);
      return *this;
    }
    Iterator operator++(int) {
      Iterator before = *this;
      ++*this;
      return before;
    }
    bool operator==(const Iterator&) const = default;

   private:
    TreeNode* at_ = nullptr;
  };
  Iterator begin() const { return Iterator(first()); }
  Iterator end() const { return Iterator(); }

 private:
  // Links `node` in just before `position` (null: at the end) and restores balance.
  void insertBefore(TreeNode* position, TreeNode* node);
  void rotateUp(TreeNode* node);
  void replaceChild(TreeNode* parent, TreeNode* from, TreeNode* to);
  void pullToRoot(TreeNode* from);

  TreeNode* root_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace sim
