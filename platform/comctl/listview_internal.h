// The list view's parts, a file each: the items (listview_items.cpp), what it asks
// its parent about them and owner data (listview_callbacks.cpp), their states and the
// selection (listview_selection.cpp), where items stand on the screen
// (listview_layout.cpp), the view's messages (listview_view.cpp), columns and image
// lists (listview_columns.cpp), the column header (listview_header.cpp), taps and
// keys (listview_input.cpp), label editing (listview_label_edit.cpp) and the window
// procedure that decodes each message and calls one of them (listview_messages.cpp).
//
// Items are found by their identity again after every notification: the parent may
// insert, delete or re-sort items while it handles one. Drawing an item reads the
// record and the rectangles the layout gives (ItemRect).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "comctl/listview.h"

namespace sim::listview {

// --- the record ----------------------------------------------------------------------

inline LONG StyleOf(HWND hwnd) { return GetWindowLongW(hwnd, GWL_STYLE); }
inline int ViewOf(HWND hwnd) { return static_cast<int>(StyleOf(hwnd) & LVS_TYPEMASK); }
inline bool HasStyle(HWND hwnd, LONG bits) { return (StyleOf(hwnd) & bits) != 0; }

inline int Count(const ListViewState& s) { return static_cast<int>(s.items.size()); }
inline bool ValidIndex(const ListViewState& s, int index) { return index >= 0 && index < Count(s); }
inline ListViewItem& ItemAt(ListViewState& s, int index) { return *s.items[static_cast<std::size_t>(index)]; }
// The index of an item by its identity; `hint` is where it was last seen, which is
// almost always where it still is. -1 when the item is gone.
int IndexOfId(const ListViewState& s, std::uint64_t id, int hint = -1);

// --- what the parent keeps (listview_callbacks.cpp) ---------------------------------

// The text of an item as the parent sees it: texts added as LPSTR_TEXTCALLBACKW, and
// every text of an owner-data list, ask the parent each time (LVN_GETDISPINFOW).
std::u16string ItemText(HWND hwnd, ListViewState& s, int index, int subItem);
bool GetItem(HWND hwnd, ListViewState& s, LVITEMW* request);
// The state bits of `mask`; those of the callback mask come from the parent.
UINT GetItemState(HWND hwnd, ListViewState& s, int index, UINT mask);
bool SetItemCount(HWND hwnd, ListViewState& s, int count);
int FindOwnerDataItem(HWND hwnd, int start, const LVFINDINFOW* find);

// --- items (listview_items.cpp) ------------------------------------------------------

LRESULT InsertItem(HWND hwnd, ListViewState& s, const LVITEMW* request);
bool DeleteItem(HWND hwnd, ListViewState& s, int index);
bool DeleteAllItems(HWND hwnd, ListViewState& s);
bool SetItem(HWND hwnd, ListViewState& s, const LVITEMW* request);
// An item's text (sub-item 0 moves the item to its place in a sorted list).
bool SetItemText(HWND hwnd, ListViewState& s, int index, int subItem, const WCHAR* text);
bool SetItemText(HWND hwnd, ListViewState& s, int index, const LVITEMW* request);
int GetItemText(HWND hwnd, ListViewState& s, int index, LVITEMW* request);
int GetNextItem(HWND hwnd, ListViewState& s, int start, UINT flags);
int FindItem(HWND hwnd, ListViewState& s, int start, const LVFINDINFOW* find);
bool SortItems(HWND hwnd, ListViewState& s, LPARAM sortParam, PFNLVCOMPARE compare);

// --- states and the selection (listview_selection.cpp) ------------------------------

// One item's state change as the parent hears it: LVN_ITEMCHANGING (the parent may
// refuse it), then the changes it brings to other items (they lose the `exclusive`
// bits: the focus, a single selection), then LVN_ITEMCHANGED. False when refused or
// when the item went away meanwhile.
bool ChangeItemState(HWND hwnd, ListViewState& s, int index, UINT state, UINT mask, UINT exclusive = 0);
// Sets an item's state as the control allows it: one focused item, and one selected
// item in a single-selection list.
bool SetItemState(HWND hwnd, ListViewState& s, int index, UINT state, UINT mask);
// LVM_SETITEMSTATE: an item's state, or every item's for index -1.
bool SetItemStates(HWND hwnd, ListViewState& s, int index, const LVITEMW* request);
int SelectedCount(const ListViewState& s);
int FocusedIndex(const ListViewState& s);
void DeselectAllBut(HWND hwnd, ListViewState& s, std::uint64_t keep);
void SelectOnly(HWND hwnd, ListViewState& s, int index);
// A tap selects the item under it. In a multi-selection list Control toggles the
// tapped item and keeps the others; Shift selects the range from the last anchor.
void TapSelect(HWND hwnd, ListViewState& s, int index, WPARAM keys);

// --- layout (listview_layout.cpp) ----------------------------------------------------

// The arrangement of the current view: cells of one size, in columns (the list
// view) or rows (the report and icon views).
struct Grid {
  int view;
  int cellWidth;
  int cellHeight;
  int perLine;  // items per column (list view) or per row (icon views)
  int top;      // first pixel row of items
};
// The grid of the window's view; a view switch starts the new arrangement at its origin.
Grid GridOf(HWND hwnd, ListViewState& s);
int IconWidth(const ListViewState& s, int view);
// An item's cell in view coordinates (before scrolling): its place in the grid, or
// where the program put it in an icon view.
RECT CellInView(const Grid& grid, const ListViewItem& item, int index);
// An item's rectangle in client coordinates; `part` is an LVIR_ code.
RECT ItemRect(HWND hwnd, ListViewState& s, int index, int part);
bool GetItemRect(HWND hwnd, ListViewState& s, int index, RECT* rect);
// The item under a client point, or -1.
int HitTest(HWND hwnd, ListViewState& s, POINT point, UINT* flags);
int HitTest(HWND hwnd, ListViewState& s, LVHITTESTINFO* info);
bool EnsureVisible(HWND hwnd, ListViewState& s, int index, bool partialOk);
int TopIndex(HWND hwnd, ListViewState& s);
int CountPerPage(HWND hwnd, ListViewState& s);
// The neighbour of an item in a direction of the current arrangement, or -1.
int Neighbour(HWND hwnd, ListViewState& s, int index, UINT direction);

// --- the view's messages (listview_view.cpp) -----------------------------------------

std::vector<int> ColumnsInDisplayOrder(const ListViewState& s);
// How far from the row's left edge a column of the report view is shown.
LONG ColumnLeft(const ListViewState& s, int column);
bool GetSubItemRect(HWND hwnd, ListViewState& s, int index, RECT* rect);
bool Scroll(HWND hwnd, ListViewState& s, int dx, int dy);
bool GetViewRect(HWND hwnd, ListViewState& s, RECT* rect);
bool GetOrigin(HWND hwnd, ListViewState& s, POINT* origin);
bool GetItemPosition(HWND hwnd, ListViewState& s, int index, POINT* position);
bool SetItemPosition(HWND hwnd, ListViewState& s, int index, POINT position);
bool Arrange(HWND hwnd, ListViewState& s);
bool GetColumnOrderArray(const ListViewState& s, int count, int* order);
bool SetColumnOrderArray(ListViewState& s, int count, const int* order);

// --- columns, image lists and extended styles (listview_columns.cpp) -----------------

LRESULT InsertColumn(ListViewState& s, int index, const LVCOLUMNW* request);
bool SetColumn(ListViewState& s, int index, const LVCOLUMNW* request);
bool GetColumn(const ListViewState& s, int index, LVCOLUMNW* request);
bool DeleteColumn(ListViewState& s, int index);
bool SetColumnWidth(HWND hwnd, ListViewState& s, int column, int width);
int GetColumnWidth(HWND hwnd, const ListViewState& s, int column);
HIMAGELIST SetImageList(ListViewState& s, WPARAM which, HIMAGELIST list);
HIMAGELIST GetImageList(const ListViewState& s, WPARAM which);
// Without LVS_SHAREIMAGELISTS the list view owns its image lists and destroys them
// with itself.
void DestroyOwnedImageLists(HWND hwnd, ListViewState& s);
DWORD SetExtendedStyle(ListViewState& s, DWORD mask, DWORD style);

// --- the column header (listview_header.cpp) -----------------------------------------
//
// Every change to the columns goes to the header too; the header keeps their order.

// WM_CREATE: makes the header (false when it cannot be made: the list view fails).
bool CreateHeader(HWND hwnd, ListViewState& s);
// Shows the header along the top of the report view, scrolled with the view, and
// hides it in the other views; its HDS_BUTTONS follows LVS_NOSORTHEADER.
void PlaceHeader(HWND hwnd, ListViewState& s);
void HeaderInsertColumn(ListViewState& s, int index, bool ordered);
void HeaderDeleteColumn(ListViewState& s, int index);
// `parts`: the HDI_ parts of the column that changed.
void HeaderSetColumn(ListViewState& s, int index, UINT parts);
void HeaderSetOrder(ListViewState& s);
// The columns' order as the header shows them.
void ReadHeaderOrder(ListViewState& s);
// WM_NOTIFY from the header: a tap on an item becomes LVN_COLUMNCLICK; a change the
// program made to the header itself reaches the column.
LRESULT OnNotify(HWND hwnd, ListViewState& s, const NMHDR* note);
// WM_PARENTNOTIFY: a program that destroys the header leaves the list without one.
void OnChildGone(ListViewState& s, WPARAM event, HWND child);

// --- taps and keys (listview_input.cpp) ----------------------------------------------

void OnButtonDown(HWND hwnd, ListViewState& s, WPARAM keys, POINT point);
void OnButtonUp(HWND hwnd, ListViewState& s, WPARAM keys, POINT point);
void OnDoubleTap(HWND hwnd, ListViewState& s, WPARAM keys, POINT point);
void OnRightButtonDown(HWND hwnd, ListViewState& s, WPARAM keys, POINT point);
// A timer of the control's own; false for any other.
bool OnTimer(HWND hwnd, ListViewState& s, UINT_PTR timer);
void OnKeyDown(HWND hwnd, ListViewState& s, WPARAM key);
void OnSetFocus(HWND hwnd);
void OnKillFocus(HWND hwnd, ListViewState& s);

// --- label editing (listview_label_edit.cpp; the editor itself: label_edit.cpp) -----

// Ends the edit of that item (0: of any item) without keeping the typed text.
void CancelEditOf(HWND hwnd, ListViewState& s, std::uint64_t id);
// LVM_EDITLABELW: edits an item's label, or cancels the edit for index -1.
HWND EditLabel(HWND hwnd, ListViewState& s, int index);

}  // namespace sim::listview
