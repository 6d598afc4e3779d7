// The dialog manager: dialogs built from templates, their modal loop, the default
// dialog procedure and keyboard navigation.
#pragma once

#include <string>

#include <windows.h>

#include "user/resource_dialog.h"

namespace sim {

// What the dialog manager keeps for each dialog window. The dialog procedure itself
// sits in the window's DWL_DLGPROC slot, its answers in DWL_MSGRESULT.
struct DialogState {
  bool modal = false;
  bool ended = false;  // EndDialog was called
  INT_PTR result = 0;
  HWND disabledOwner = nullptr;  // the owner a modal dialog disabled, until it ends
  int defaultId = 0;             // DM_SETDEFID; 0 until set
  HWND savedFocus = nullptr;     // the control that had the focus when the dialog was deactivated
  int baseUnitX = 0;             // pixels per 4 horizontal dialog units
  int baseUnitY = 0;             // pixels per 8 vertical dialog units
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

}  // namespace sim
