// How the combo box looks and its dropped list (combobox_paint.cpp).
//
// A combo box is as tall as its field: the height a program gives it beyond that is
// the height of its list, which drops below it in a window of its own ("ComboLBox",
// a popup that takes no activation) while it is open. A tap on an entry there picks
// it: the parent hears CBN_SELCHANGE and CBN_SELENDOK, and the list closes.
#pragma once

#include "comctl/combobox.h"

namespace sim {

// The height of an entry of the dropped list and of the closed field on this
// screen, and the width of the drop button.
int ComboItemHeight();
int ComboFieldHeight();
int ComboButtonWidth();
// WM_PAINT of the combo box: the field with the selected entry (highlighted while a
// drop-down list box has the focus) and the drop button with its arrow.
void PaintComboBox(HWND hwnd, const ComboBoxState& s);
// Opens or closes the list window below the combo box.
void ShowComboList(HWND combo, ComboBoxState& s, bool show);
LRESULT CALLBACK ComboListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace sim
