// How the tree view looks (treeview_paint.cpp) and how it scrolls.
#pragma once

#include "comctl/treeview_internal.h"

namespace sim::treeview {

// WM_PAINT: each row in view with its dotted lines to its parent and siblings
// (TVS_HASLINES), its expand button (TVS_HASBUTTONS: a box with a minus when the item
// is expanded, a plus when it is not), its image (the selected image for the
// selected item) and its label; the selection in the highlight colour while the
// control has the focus (in the button face colour without it, with
// TVS_SHOWSELALWAYS), and the focus rectangle. The parent takes part through
// NM_CUSTOMDRAW (custom_draw.h).
void Paint(HWND hwnd, TreeViewState& s);
// The vertical scroll bar, in rows, when the rows do not fit.
void SyncScrollBar(HWND hwnd, TreeViewState& s);
// WM_VSCROLL: a line is a row, a page what the window shows.
void Scroll(HWND hwnd, TreeViewState& s, WPARAM request);
// Paints the control again after a message that may change what it shows.
void RedrawAfter(HWND hwnd, const TreeViewState& s, UINT message);

}  // namespace sim::treeview
