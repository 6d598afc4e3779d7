// The tree view's parts, a file each: the items (treeview_items.cpp), what it tells
// and asks its parent about them (treeview_callbacks.cpp), sorting a level
// (treeview_sort.cpp), the visible rows and where items stand on the screen
// (treeview_layout.cpp), expanding and selecting (treeview_selection.cpp), taps and
// keys (treeview_input.cpp), label editing (treeview_label_edit.cpp), styles and the
// values the program sets (treeview_styles.cpp), and the window procedure that
// decodes each message and calls one of them (treeview_messages.cpp).
//
// The parent may add or delete items while it handles any notification: after one,
// an item is found again by its handle (Alive, Lookup). Drawing a row reads the record
// and the rectangles the layout gives (GeometryOf).
#pragma once

#include <cstdint>
#include <string>

#include "comctl/treeview.h"

namespace sim::treeview {

// --- the record (treeview_items.cpp) -------------------------------------------------

inline bool HasStyle(HWND hwnd, LONG bits) { return (GetWindowLongW(hwnd, GWL_STYLE) & bits) != 0; }
inline std::uintptr_t ValueOf(HTREEITEM item) { return reinterpret_cast<std::uintptr_t>(item); }
inline HTREEITEM HandleOf(const TreeNode* node) { return node ? reinterpret_cast<HTREEITEM>(node->handle) : nullptr; }
inline bool IsRootHandle(HTREEITEM item) { return item == nullptr || item == TVI_ROOT; }
inline bool Alive(TreeViewState& s, std::uintptr_t handle) { return s.nodes.count(handle) != 0; }
inline void InvalidateRows(TreeViewState& s) { s.rowsValid = false; }

// The item of a handle. A handle this tree never gave out, or one of a deleted item,
// is the program's fault.
TreeNode* Lookup(TreeViewState& s, HTREEITEM item, const char* operation);
// The parent an operation names: the invisible root for null and TVI_ROOT.
TreeNode* ParentNamed(TreeViewState& s, HTREEITEM item, const char* operation);
bool IsDescendant(const TreeNode* node, const TreeNode* ancestor);
int Depth(const TreeNode* node);
// TVI_SORT and TVM_SORTCHILDREN order names as lstrcmpiW does: the device's Japanese
// order, ignoring case.
int CompareNames(const std::u16string& a, const std::u16string& b);

// --- notifications and callbacks (treeview_callbacks.cpp) ---------------------------

// TVN_*W with the old and the new item, each filled as that notification fills it;
// the parent's answer.
LRESULT NotifyTree(HWND hwnd, UINT code, UINT action, const TreeNode* oldNode, const TreeNode* newNode);
// The parts of an item the program left to its parent (LPSTR_TEXTCALLBACKW,
// I_IMAGECALLBACK, I_CHILDRENCALLBACK) among the TVIF_ bits of `wanted`.
UINT CallbackParts(const TreeNode& node, UINT wanted);
// Asks the parent (TVN_GETDISPINFOW) for those parts; with TVIF_DI_SETITEM in its
// answer the item keeps them and stops asking. The record comes back filled.
TVITEMW AskParent(HWND hwnd, TreeViewState& s, TreeNode& node, UINT parts, std::u16string* text);
// The text of an item as the parent sees it (LPSTR_TEXTCALLBACKW asks each time).
std::u16string NodeText(HWND hwnd, TreeViewState& s, TreeNode& node);
// The image an item shows, selected or not (I_IMAGECALLBACK asks each time).
int NodeImage(HWND hwnd, TreeViewState& s, TreeNode& node, bool selected);
// Whether the item shows a button: it has children, or the program says it has.
bool HasChildren(HWND hwnd, TreeViewState& s, TreeNode& node);

// --- items (treeview_items.cpp) ------------------------------------------------------

HTREEITEM Insert(HWND hwnd, TreeViewState& s, const TVINSERTSTRUCTW* request);
bool Delete(HWND hwnd, TreeViewState& s, HTREEITEM item, bool notify);
// Deletes the children of an item, each announced (TVE_COLLAPSERESET).
void DeleteChildrenOf(HWND hwnd, TreeViewState& s, TreeNode* node);
bool GetItem(HWND hwnd, TreeViewState& s, TVITEMW* item);
bool SetItem(TreeViewState& s, const TVITEMW* item);
HTREEITEM GetNextItem(TreeViewState& s, UINT code, HTREEITEM item);

// --- sorting (treeview_sort.cpp) -----------------------------------------------------

bool SortChildren(TreeViewState& s, HTREEITEM item, bool recurse);
bool SortChildrenBy(TreeViewState& s, const TVSORTCB* sort, bool recurse);

// --- rows and layout (treeview_layout.cpp) -------------------------------------------

// The visible items in display order, rebuilt when the shape changed.
void RebuildRows(TreeViewState& s);
bool RowOf(TreeViewState& s, const TreeNode* node, std::size_t* row);
std::size_t VisibleCount(HWND hwnd, const TreeViewState& s);

struct ItemGeometry {
  RECT row;
  RECT button;     // empty when the item shows no button
  RECT stateIcon;  // empty without state images
  RECT icon;
  RECT label;
};
// Where an item on row `row` stands, in client coordinates.
ItemGeometry GeometryOf(HWND hwnd, TreeViewState& s, TreeNode& node, std::size_t row);
TreeNode* HitTest(HWND hwnd, TreeViewState& s, POINT point, UINT* flags);
HTREEITEM HitTest(HWND hwnd, TreeViewState& s, TVHITTESTINFO* info);
// The rectangle's first bytes name the item on the way in.
bool GetItemRect(HWND hwnd, TreeViewState& s, bool textOnly, RECT* rect);
// Scrolls so that the row is in view.
void ScrollTo(HWND hwnd, TreeViewState& s, std::size_t row);
bool SetIndent(TreeViewState& s, int indent);
HIMAGELIST SetImageList(TreeViewState& s, WPARAM which, HIMAGELIST list);
HIMAGELIST GetImageList(const TreeViewState& s, WPARAM which);

// --- expanding and selecting (treeview_selection.cpp) --------------------------------

// Expands or collapses an item. A program's TVM_EXPAND tells the parent only until the
// item has been expanded once; the user's taps always do.
bool Expand(HWND hwnd, TreeViewState& s, TreeNode* node, UINT code, bool byUser);
bool Expand(HWND hwnd, TreeViewState& s, HTREEITEM item, UINT code);
// Moves the caret, asking the parent first (TVN_SELCHANGINGW may refuse).
bool Select(HWND hwnd, TreeViewState& s, TreeNode* node, UINT cause);
// Expands an item and every item below it.
void ExpandAll(HWND hwnd, TreeViewState& s, TreeNode* node);
// TVM_SELECTITEM: the caret, the drop target or the first visible item.
bool SelectItem(HWND hwnd, TreeViewState& s, UINT code, HTREEITEM item);
// Expands every ancestor of an item and scrolls it into view.
bool EnsureVisible(HWND hwnd, TreeViewState& s, TreeNode* node);
bool EnsureVisible(HWND hwnd, TreeViewState& s, HTREEITEM item);

// --- taps and keys (treeview_input.cpp) ----------------------------------------------

void NotifySimple(HWND hwnd, UINT code);
void OnButtonDown(HWND hwnd, TreeViewState& s, POINT point);
void OnButtonUp(HWND hwnd, TreeViewState& s);
void OnDoubleTap(HWND hwnd, TreeViewState& s, POINT point);
void OnKeyDown(HWND hwnd, TreeViewState& s, WPARAM key);

// --- label editing (treeview_label_edit.cpp; the editor itself: label_edit.cpp) -----

// TVM_EDITLABELW: selects the item and edits its label; the editor, or null when the
// parent refused.
HWND EditLabel(HWND hwnd, TreeViewState& s, HTREEITEM item);
// TVM_ENDEDITLABELNOW: ends the edit in progress, keeping the text unless `cancel`.
bool EndEditLabelNow(HWND hwnd, TreeViewState& s, bool cancel);
// Ends the edit of that item or of an item below it without keeping the typed text.
void CancelEditWithin(HWND hwnd, TreeViewState& s, const TreeNode* node);

// --- styles and the program's values (treeview_styles.cpp) --------------------------

void OnCreate(HWND hwnd, TreeViewState& s);
void OnStyleChanged(HWND hwnd, TreeViewState& s, WPARAM which, const STYLESTRUCT* styles);
// The state image an item gets when it is inserted: 1 (unchecked) with TVS_CHECKBOXES.
UINT DefaultStateImage(HWND hwnd);
// Space or a tap on the state image: checked and unchecked change places.
void ToggleCheck(TreeNode& node);
// Destroys the state images the control made for itself.
void DestroyOwnImages(TreeViewState& s);
// The colour, item height, scroll time and insertion mark messages; false for others.
bool OnValueMessage(TreeViewState& s, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

}  // namespace sim::treeview
