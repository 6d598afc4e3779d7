// The toolbar's painting (toolbar_paint.cpp).
#pragma once

#include "comctl/toolbar.h"

namespace sim {

// Where a button lies in the toolbar's client area.
RECT ToolbarButtonRect(const ToolbarState& s, int index);
// WM_PAINT of a toolbar.
void PaintToolbar(HWND hwnd, const ToolbarState& s);

}  // namespace sim
