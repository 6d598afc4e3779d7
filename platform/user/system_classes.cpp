#include "user/system_classes.h"

#include "user/window.h"

namespace sim {

namespace {

constexpr SystemClass kBasicClasses[] = {
    {u"BUTTON", ButtonWndProc, CS_DBLCLKS | CS_GLOBALCLASS},
    {u"STATIC", StaticWndProc, CS_GLOBALCLASS},
    {u"EDIT", EditWndProc, CS_DBLCLKS | CS_GLOBALCLASS},
    // The dialog class answers to both of its names; dialogs the dialog manager
    // builds carry "Dialog".
    {u"#32770", DialogWndProc, CS_GLOBALCLASS, kDialogWindowExtra},
    {u"Dialog", DialogWndProc, CS_GLOBALCLASS, kDialogWindowExtra},
};

}  // namespace

void RegisterClassTable(std::span<const SystemClass> classes) {
  auto& windows = WindowSystem::get();
  for (const SystemClass& entry : classes) {
    WNDCLASSW wc{};
    wc.style = entry.style;
    wc.lpfnWndProc = entry.proc;
    wc.cbWndExtra = entry.windowExtra;
    wc.lpszClassName = entry.name;
    DWORD error = 0;
    windows.registerClass(wc, nullptr, &error);
  }
}

std::span<const SystemClass> BasicSystemClasses() { return kBasicClasses; }

void NotifyParent(HWND control, WORD code) {
  HWND parent = GetParent(control);
  if (!parent) return;
  SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code), reinterpret_cast<LPARAM>(control));
}

}  // namespace sim
