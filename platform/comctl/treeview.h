// The tree view control ("SysTreeView32").
//
// Each item has a handle that is a number of this tree, never an address: a handle
// of a deleted item is recognised and reported as the program's fault. Each item's
// children are a SiblingList, so inserting anywhere in a long level, sorted insertion
// included, and removing an item cost O(log n), and sorting a level O(n log n).
#pragma once

#include <commctrl.h>

#include "comctl/sibling_list.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace sim {

struct TreeNode {
  std::uintptr_t handle = 0;
  TreeNode* parent = nullptr;  // the tree's invisible root for top-level items
  SiblingList children;
  SiblingLinks links;  // this item's place among its parent's children
  std::u16string text;
  bool textCallback = false;
  int image = 0;
  int selectedImage = 0;
  int childrenHint = 0;  // cChildren as the program set it
  bool childrenHintSet = false;
  LPARAM param = 0;
  UINT state = 0;
  std::uint64_t rowStamp = 0;  // `row` is valid when this equals the tree's stamp
  std::size_t row = 0;
  bool deleting = false;
};

// The height of a row on the 240 x 320 screen until the program sets another
// (TVM_SETITEMHEIGHT); TreeRowHeight() gives it on this screen.
inline constexpr int kTreeRowHeight = 18;

struct TreeViewState {
  TreeNode root;  // invisible; its children are the top-level items
  std::unordered_map<std::uintptr_t, std::unique_ptr<TreeNode>> nodes;
  std::uintptr_t nextHandle = 0x100;
  TreeNode* caret = nullptr;
  TreeNode* dropHighlight = nullptr;
  HIMAGELIST normalImages = nullptr;
  HIMAGELIST stateImages = nullptr;
  HIMAGELIST checkBoxImages = nullptr;  // the state images made for TVS_CHECKBOXES, destroyed with the tree
  int indent = 19;
  int itemHeight = kTreeRowHeight;
  std::size_t topRow = 0;

  // values the program sets and reads back
  COLORREF background = CLR_NONE;  // CLR_NONE: the system's colour
  COLORREF textColour = CLR_NONE;
  COLORREF insertMarkColour = 0;
  UINT scrollTime = 200;
  std::uintptr_t insertMark = 0;
  bool insertMarkAfter = false;

  // label edit in progress
  HWND edit = nullptr;
  std::uintptr_t editItem = 0;
  bool editEnding = false;
  bool destroying = false;

  // the visible items in display order, rebuilt when the shape changed
  std::vector<TreeNode*> rows;
  bool rowsValid = false;
  std::uint64_t rowStamp = 0;

  bool buttonDown = false;
  LONG buttonDownTime = 0;
  bool painting = false;  // in WM_PAINT: what the parent sends meanwhile paints nothing again
};

// The row height on this screen until the program sets another.
int TreeRowHeight();

LRESULT CALLBACK TreeViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// For the automation layer: the item reached by a path of item texts joined by "\"
// from a top-level item (texts compared ignoring case), or null; and the path of an item.
HTREEITEM TreeViewItemByPath(HWND tree, std::u16string_view path);
std::u16string TreeViewPathOf(HWND tree, HTREEITEM item);

}  // namespace sim
