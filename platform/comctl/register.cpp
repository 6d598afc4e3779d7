#include "comctl/register.h"

#include <commctrl.h>

#include "comctl/combobox.h"
#include "comctl/listview.h"
#include "comctl/toolbar.h"
#include "comctl/treeview.h"
#include "kernel/device.h"
#include "user/window.h"

namespace sim {

namespace {

struct CommonControlClasses {
  explicit CommonControlClasses(Device&) {}
  bool registered = false;
};

}  // namespace

void RegisterCommonControlClasses() {
  auto& classes = Device::current().service<CommonControlClasses>();
  if (classes.registered) return;
  classes.registered = true;
  struct Spec {
    const char16_t* name;
    WNDPROC proc;
    UINT style;
  };
  const Spec specs[] = {
      {WC_LISTVIEWW, ListViewProc, CS_DBLCLKS | CS_GLOBALCLASS},
      {WC_TREEVIEWW, TreeViewProc, CS_DBLCLKS | CS_GLOBALCLASS},
      {WC_COMBOBOXW, ComboBoxProc, CS_DBLCLKS | CS_GLOBALCLASS},
      {TOOLBARCLASSNAMEW, ToolbarProc, CS_DBLCLKS | CS_GLOBALCLASS},
  };
  for (const Spec& spec : specs) {
    WNDCLASSW wc{};
    wc.style = spec.style;
    wc.lpfnWndProc = spec.proc;
    wc.lpszClassName = spec.name;
    DWORD error = 0;
    WindowSystem::get().registerClass(wc, nullptr, &error);
  }
}

}  // namespace sim

// The classes are registered when the window system starts; these calls only make
// sure of it, for a program that calls them first.
void InitCommonControls() { sim::RegisterCommonControlClasses(); }

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) {
  if (!init || init->dwSize != sizeof(INITCOMMONCONTROLSEX)) return FALSE;
  sim::RegisterCommonControlClasses();
  return TRUE;
}
