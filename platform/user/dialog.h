// The dialog manager: dialogs built from templates, their modal loop, the default
// dialog procedure and keyboard navigation.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <windows.h>

#include "user/resource_dialog.h"

namespace sim {

// What the dialog manager keeps for each dialog window. The dialog procedure itself
// sits in the window's DWL_DLGPROC slot, its answers in DWL_MSGRESULT.
struct DialogState {
  bool modal = false;
  bool ended = false;          // EndDialog was called
  bool shown = false;          // a modal dialog: its loop has shown it
  bool setForeground = false;  // DS_SETFOREGROUND: shown in front of every program
  INT_PTR result = 0;
  HWND disabledOwner = nullptr;    // the owner a modal dialog disabled, until it ends
  std::optional<int> defaultId;    // the template's default push button or DM_SETDEFID
  HWND savedFocus = nullptr;       // the control to get the focus back when the dialog is activated
  int baseUnitX = 0;               // pixels per 4 horizontal dialog units
  int baseUnitY = 0;               // pixels per 8 vertical dialog units

  // Without a default push button of its own a dialog's default is IDOK, which is
  // also what Enter sends.
  int defaultOrOk() const { return defaultId.value_or(IDOK); }
};

// Dialog base units of the "System" font at a point size on this device's screen.
struct BaseUnits {
  int x;
  int y;
};
BaseUnits DialogFontBaseUnits(int pointSize);
// Dialog units to pixels, as MapDialogRect converts them.
inline int DialogUnitsToPixelsX(int units, const BaseUnits& base) { return units * base.x / 4; }
inline int DialogUnitsToPixelsY(int units, const BaseUnits& base) { return units * base.y / 8; }

// The dialog state of a window created by the dialog manager, or null.
DialogState* FindDialogState(HWND dialog);

// Builds a dialog (hidden unless the template asks for WS_VISIBLE and it is not
// modal), its controls, and runs WM_INITDIALOG. A modal dialog's owner is disabled
// before WM_INITDIALOG. Null when the window or a control cannot be made (unless
// DS_NOFAILCREATE).
HWND CreateDialogFromTemplate(const DialogTemplate& dialogTemplate, HINSTANCE instance, HWND owner, DLGPROC proc,
                              LPARAM param, bool modal);
// Runs a dialog made modal by CreateDialogFromTemplate until EndDialog, destroys it,
// re-enables and brings back its owner, and gives the EndDialog value.
INT_PTR RunModalDialog(HWND dialog);

// The owner a modal dialog disables: the top-level window of `owner`.
HWND ModalOwner(HWND owner);

// --- keyboard navigation (dialog_navigation.cpp) ---
// The dialog's controls in navigation order. Every dialog is a control parent: a
// visible, enabled child dialog stands for its own controls, in their order.
std::vector<HWND> NavigationOrder(HWND dialog);
// Whether a window is the dialog class's (a dialog made from a template or one
// created by class name).
bool IsDialogWindow(HWND hwnd);
// The control with `id` among the dialog's controls, nested dialogs included.
HWND FindNavigableControl(HWND dialog, int id);
// The control the dialog manager gives the focus to by default: the first visible,
// enabled WS_TABSTOP control, else the first visible, enabled control.
HWND DefaultFocusControl(HWND dialog);
// Gives `control` the focus as the keyboard does; an edit box gets its text selected.
void FocusControl(HWND control);
// WM_NEXTDLGCTL: moves the focus to a control given by handle or by direction, and
// makes a push button that gets it look like the default button.
void NextDialogControl(HWND dialog, WPARAM wParam, LPARAM lParam);
// Enter: presses the focused push button, else the default button (its parent
// hears BN_CLICKED), else sends the default id; a disabled button beeps instead.
void PressDefaultButton(HWND dialog);
// Only the push button that Enter would press looks like the default one: the
// focused push button, else the dialog's default.
void ShowDefaultButton(HWND dialog, HWND focus);

}  // namespace sim
