// How the list view looks (listview_paint.cpp) and how it scrolls
// (listview_scroll.cpp).
#pragma once

#include "comctl/listview_internal.h"

namespace sim::listview {

// WM_PAINT: each item in view (its image from the view's image list, its label and,
// in the report view, its columns), the selection in the highlight colour while the
// control has the focus (in the button face colour without it, with
// LVS_SHOWSELALWAYS), and the focus rectangle. The parent takes part through
// NM_CUSTOMDRAW (custom_draw.h). The column header paints itself (header_paint.cpp).
void Paint(HWND hwnd, ListViewState& s);

// Brings the scroll bars up to the view: a vertical one when the rows (report and icon
// views) do not fit, a horizontal one when the columns (list view) do not; none with
// LVS_NOSCROLL. Called before painting, so the frame and the view agree.
void SyncScrollBars(HWND hwnd, ListViewState& s);
// WM_VSCROLL and WM_HSCROLL: a line is a row (a column in the list view), a page what
// the window shows.
void Scroll(HWND hwnd, ListViewState& s, bool vertical, WPARAM request);
// Whether a message may change what the control shows: any list view message that
// is not a question, a tap, a key, the focus, a size, a style or a scroll.
bool MayChangeLook(UINT message);
// Paints the control again after such a message; messages the parent sends while
// the control paints change nothing further.
void RedrawAfter(HWND hwnd, const ListViewState& s, UINT message);

}  // namespace sim::listview
