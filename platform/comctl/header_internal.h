// The header control's parts, a file each: its items and their order
// (header_items.cpp), where they stand (header_layout.cpp), taps
// (header_input.cpp), painting (header_paint.cpp) and the window procedure that
// decodes each message and calls one of them (header.cpp).
#pragma once

#include "comctl/header.h"

namespace sim::header {

inline LONG StyleOf(HWND hwnd) { return GetWindowLongW(hwnd, GWL_STYLE); }
inline int Count(const HeaderState& s) { return static_cast<int>(s.items.size()); }
inline bool ValidIndex(const HeaderState& s, int index) { return index >= 0 && index < Count(s); }
inline HeaderItem& ItemAt(HeaderState& s, int index) { return s.items[static_cast<std::size_t>(index)]; }
// The index of an item by its identity, or -1 when it is gone.
int IndexOfId(const HeaderState& s, std::uint64_t id);

// --- items and their order (header_items.cpp) ---------------------------------------

int InsertItem(HWND hwnd, HeaderState& s, int index, const HDITEMW* request);
bool DeleteItem(HWND hwnd, HeaderState& s, int index);
bool GetItem(const HeaderState& s, int index, HDITEMW* request);
// Asks the parent (HDN_ITEMCHANGINGW), changes what the request's mask names, and
// tells the parent (HDN_ITEMCHANGEDW); false when refused or the item went away.
bool SetItem(HWND hwnd, HeaderState& s, int index, const HDITEMW* request);
int OrderToIndex(const HeaderState& s, int order);
bool GetOrderArray(const HeaderState& s, int count, int* order);
bool SetOrderArray(HWND hwnd, HeaderState& s, int count, const int* order);

// --- where items stand (header_layout.cpp) -------------------------------------------

// An item's rectangle in client coordinates, as tall as the control.
RECT ItemRect(HWND hwnd, const HeaderState& s, int index);
bool GetItemRect(HWND hwnd, const HeaderState& s, int index, RECT* rect);
// The item at a client point, or -1; `flags` gets the HHT_ code of the point.
int HitTest(HWND hwnd, const HeaderState& s, POINT point, UINT* flags);
int HitTest(HWND hwnd, const HeaderState& s, HDHITTESTINFO* info);
bool Layout(HWND hwnd, HDLAYOUT* layout);

// --- taps (header_input.cpp) ----------------------------------------------------------

void OnButtonDown(HWND hwnd, HeaderState& s, POINT point);
void OnButtonUp(HWND hwnd, HeaderState& s, POINT point);
void OnDoubleTap(HWND hwnd, HeaderState& s, POINT point);
void OnCaptureChanged(HWND hwnd, HeaderState& s);

// --- painting (header_paint.cpp) -------------------------------------------------------

// WM_PAINT: the button face, then each item in its order: a raised frame (sunk while
// pressed), its image from the control's image list (HDF_IMAGE) and its title with
// its alignment, cut with an ellipsis.
void Paint(HWND hwnd, HeaderState& s);

}  // namespace sim::header
