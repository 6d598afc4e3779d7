#include "user/system_classes.h"

#include "comctl/register.h"
#include "kernel/device.h"
#include "user/window.h"

namespace sim {

namespace {

struct SystemClassEntry {
  const char16_t* name;
  WNDPROC proc;
  UINT style;
  int wndExtra;
};

// Marks the device whose classes are registered, so a second call does nothing.
struct SystemClassesRegistered {
  explicit SystemClassesRegistered(Device&) {}
  bool done = false;
};

}  // namespace

void RegisterSystemClasses() {
  auto& registered = Device::current().service<SystemClassesRegistered>();
  if (registered.done) return;
  registered.done = true;
  const SystemClassEntry entries[] = {
      {u"BUTTON", ButtonWndProc, CS_DBLCLKS | CS_GLOBALCLASS, 0},
      {u"STATIC", StaticWndProc, CS_GLOBALCLASS, 0},
      {u"EDIT", EditWndProc, CS_DBLCLKS | CS_GLOBALCLASS, 0},
      // The dialog class answers to both of its names; dialogs the dialog manager
      // builds carry "Dialog".
      {u"#32770", DialogWndProc, CS_GLOBALCLASS, kDialogWindowExtra},
      {u"Dialog", DialogWndProc, CS_GLOBALCLASS, kDialogWindowExtra},
  };
  auto& windows = WindowSystem::get();
  for (const auto& entry : entries) {
    WNDCLASSW wc{};
    wc.style = entry.style;
    wc.lpfnWndProc = entry.proc;
    wc.cbWndExtra = entry.wndExtra;
    wc.lpszClassName = entry.name;
    DWORD error = 0;
    windows.registerClass(wc, nullptr, &error);
  }
  // The common controls are there from the start too, as on the device.
  RegisterCommonControlClasses();
}

void NotifyParent(HWND control, WORD code) {
  HWND parent = GetParent(control);
  if (!parent) return;
  SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code), reinterpret_cast<LPARAM>(control));
}

}  // namespace sim
