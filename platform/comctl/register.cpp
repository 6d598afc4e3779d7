#include "comctl/register.h"

#include <commctrl.h>

#include "comctl/combobox.h"
#include "comctl/combobox_paint.h"
#include "comctl/header.h"
#include "comctl/listview.h"
#include "comctl/toolbar.h"
#include "comctl/treeview.h"

namespace sim {

namespace {

constexpr SystemClass kCommonControlClasses[] = {
    {WC_HEADERW, HeaderProc, CS_DBLCLKS | CS_GLOBALCLASS},
    {WC_LISTVIEWW, ListViewProc, CS_DBLCLKS | CS_GLOBALCLASS},
    {WC_TREEVIEWW, TreeViewProc, CS_DBLCLKS | CS_GLOBALCLASS},
    {WC_COMBOBOXW, ComboBoxProc, CS_DBLCLKS | CS_GLOBALCLASS},
    {u"ComboLBox", ComboListProc, CS_GLOBALCLASS},
    {TOOLBARCLASSNAMEW, ToolbarProc, CS_DBLCLKS | CS_GLOBALCLASS},
};

}  // namespace

std::span<const SystemClass> CommonControlClasses() { return kCommonControlClasses; }

}  // namespace sim

// The classes are there from the device's start, registered with the other system
// classes when the window system starts: these calls have nothing left to do.
void InitCommonControls() {}
