#include "shell/menu_bar.h"

#include <aygshell.h>
#include <commctrl.h>

#include <map>
#include <vector>

#include "kernel/device.h"
#include "shell/menu_bar_paint.h"
#include "shell/shell_screen.h"
#include "user/menu_tracker.h"
#include "user/message_queue.h"
#include "user/resource_menubar.h"
#include "user/screen_layout.h"
#include "user/window.h"

namespace sim {

namespace {

struct MenuBarState {
  HWND owner = nullptr;
  HWND toolbar = nullptr;
  HMENU menu = nullptr;
  bool ownsMenu = false;
  std::map<UINT, int> submenuOfCommand;  // command -> index of its popup in `menu`
};

MenuBarState* StateOf(HWND hwnd) {
  Window* window = WindowSystem::get().find(hwnd);
  return window ? window->findState<MenuBarState>() : nullptr;
}

// The menu opens upwards from its button, which shows pressed while it is open.
void OpenSubmenu(MenuBarState& state, int index, UINT command) {
  HMENU submenu = state.menu ? GetSubMenu(state.menu, index) : nullptr;
  if (!submenu) return;
  RECT button{};
  int position = static_cast<int>(SendMessageW(state.toolbar, TB_COMMANDTOINDEX, command, 0));
  SendMessageW(state.toolbar, TB_GETITEMRECT, position, reinterpret_cast<LPARAM>(&button));
  MapWindowPoints(state.toolbar, nullptr, reinterpret_cast<POINT*>(&button), 2);
  RECT bar{};
  GetWindowRect(GetParent(state.toolbar), &bar);
  HWND toolbar = state.toolbar;
  ShowMenuOpen(toolbar, static_cast<int>(command));
  TrackMenu(submenu, state.owner, index, TPM_LEFTALIGN | TPM_BOTTOMALIGN, POINT{button.left, bar.top});
  if (IsWindow(toolbar)) ShowMenuOpen(toolbar, -1);
}

// A command from the toolbar: open the button's submenu or hand the command on.
void OnButton(MenuBarState& state, UINT command) {
  auto it = state.submenuOfCommand.find(command);
  if (it != state.submenuOfCommand.end()) {
    OpenSubmenu(state, it->second, command);
    return;
  }
  // Posted, not sent: the owner may destroy this menu bar while handling it.
  sim::PostFromSystem(state.owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

bool IsToolbarMessage(UINT message) { return message >= WM_USER && message < WM_USER + 0x100; }

LRESULT CALLBACK MenuBarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MenuBarState* state = StateOf(hwnd);
  if (state && state->toolbar && IsToolbarMessage(message)) {
    HWND toolbar = state->toolbar;
    LRESULT result = SendMessageW(toolbar, message, wParam, lParam);
    if ((message == TB_ADDBUTTONSW || message == TB_INSERTBUTTONW) && IsWindow(toolbar)) FitMenuBarButtons(toolbar);
    return result;
  }
  switch (message) {
    case WM_COMMAND:
      if (state && reinterpret_cast<HWND>(lParam) == state->toolbar) OnButton(*state, LOWORD(wParam));
      return 0;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (state && header->code == static_cast<UINT>(TBN_DROPDOWN))
        OnButton(*state, static_cast<UINT>(reinterpret_cast<NMTOOLBARW*>(lParam)->iItem));
      return 0;
    }
    case WM_PAINT:
      PaintMenuBar(hwnd);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_LBUTTONDOWN: {
      RECT client{};
      GetClientRect(hwnd, &client);
      RECT button = InputPanelButtonRect(client);
      if (PtInRect(&button, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)})) ToggleInputPanel();
      return 0;
    }
    case WM_SETTINGCHANGE:
      if (wParam == SPI_SETSIPINFO) InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case SHCMBM_GETMENU:
      return state ? reinterpret_cast<LRESULT>(state->menu) : 0;
    case SHCMBM_GETSUBMENU: {
      if (!state || !state->menu) return 0;
      auto it = state->submenuOfCommand.find(static_cast<UINT>(lParam));
      return it == state->submenuOfCommand.end() ? 0 : reinterpret_cast<LRESULT>(GetSubMenu(state->menu, it->second));
    }
    case WM_DESTROY:
      if (state && state->ownsMenu && state->menu) DestroyMenu(state->menu);
      if (state) state->menu = nullptr;
      return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

void EnsureMenuBarClass() {
  WindowSystem& windows = WindowSystem::get();
  if (windows.findClass(kMenuBarClass, nullptr)) return;
  WNDCLASSW wc{};
  wc.style = CS_GLOBALCLASS;
  wc.lpfnWndProc = MenuBarProc;
  wc.lpszClassName = kMenuBarClass;
  DWORD error = 0;
  windows.registerClass(wc, nullptr, &error);
}

// The record as the caller sized it: the device's two sizes, or this host's.
bool ValidRecordSize(DWORD size) {
  return size == SHMENUBARINFO_DEVICE_SIZE || size == SHMENUBARINFO_DEVICE_SIZE_WITH_COLOR ||
         size == offsetof(SHMENUBARINFO, clrBk) || size == sizeof(SHMENUBARINFO);
}

std::u16string LoadLabel(HINSTANCE instance, UINT stringId) {
  if (stringId == 0) return {};
  WCHAR text[128] = {};
  LoadStringW(instance, stringId, text, 128);
  return text;
}

// Adds the buttons of a menu bar resource; false when the resource is missing or
// malformed.
bool AddResourceButtons(MenuBarState& state, HINSTANCE instance, UINT resourceId) {
  HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), RT_RCDATA);
  HGLOBAL data = resource ? LoadResource(instance, resource) : nullptr;
  if (!data) return false;
  auto bytes = std::span<const unsigned char>(static_cast<const unsigned char*>(LockResource(data)),
                                              SizeofResource(instance, resource));
  auto parsed = ParseMenuBarTemplate(bytes);
  if (!parsed) return false;
  state.menu = LoadMenuW(instance, MAKEINTRESOURCEW(parsed.value().menuId));
  state.ownsMenu = state.menu != nullptr;
  std::vector<std::u16string> labels;
  labels.reserve(parsed.value().buttons.size());
  for (const auto& button : parsed.value().buttons) labels.push_back(LoadLabel(instance, button.stringId));
  for (size_t i = 0; i < parsed.value().buttons.size(); ++i) {
    const auto& source = parsed.value().buttons[i];
    TBBUTTON button{};
    button.iBitmap = source.image;
    button.idCommand = source.command;
    button.fsState = source.state;
    button.fsStyle = source.style;
    button.iString = labels[i].empty() ? -1 : reinterpret_cast<INT_PTR>(labels[i].c_str());
    SendMessageW(state.toolbar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
    bool hasPopup = state.menu && source.subMenu >= 0 && GetSubMenu(state.menu, source.subMenu) != nullptr;
    if (hasPopup && !(source.style & TBSTYLE_SEP)) state.submenuOfCommand[source.command] = source.subMenu;
  }
  return true;
}

}  // namespace

HWND MenuBarToolbar(HWND menuBar) {
  MenuBarState* state = StateOf(menuBar);
  return state ? state->toolbar : nullptr;
}

HWND FindMenuBarOf(HWND owner) {
  WindowSystem& windows = WindowSystem::get();
  for (Window* window : windows.topLevel())
    if (window->owner && window->owner->handle == owner && window->findState<MenuBarState>()) return window->handle;
  return nullptr;
}

}  // namespace sim

BOOL SHCreateMenuBar(SHMENUBARINFO* info) {
  using namespace sim;
  if (!info || !ValidRecordSize(info->cbSize) || !IsWindow(info->hwndParent)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (FailsByInjection("SHCreateMenuBar")) return FALSE;
  EnsureMenuBarClass();
  WindowSystem& windows = WindowSystem::get();
  int height = WindowSystem::kMenuBarHeight * windows.scale();
  DWORD style = WS_POPUP | ((info->dwFlags & SHCMBF_HIDDEN) ? 0 : WS_VISIBLE);
  // The bar comes onto the screen with its buttons: one change of the screen, not
  // one for the bar and another for the toolbar inside it.
  ScreenChange change;
  HWND bar = CreateWindowExW(WS_EX_NOACTIVATE, kMenuBarClass, u"", style, 0, windows.screenHeight() - height, windows.screenWidth(),
                             height, info->hwndParent, nullptr, info->hInstRes, nullptr);
  if (!bar) return FALSE;
  MenuBarState& state = windows.find(bar)->state<MenuBarState>();
  state.owner = info->hwndParent;
  // The toolbar leaves the bar's right end to the input panel button.
  const int buttonsWidth = static_cast<int>(InputPanelButtonRect(RECT{0, 0, windows.screenWidth(), height}).left);
  state.toolbar = CreateWindowExW(0, TOOLBARCLASSNAME, u"", WS_CHILD | WS_VISIBLE | CCS_NOPARENTALIGN | CCS_NORESIZE,
                                  0, 0, buttonsWidth, height, bar,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kMenuBarToolbarId)), info->hInstRes,
                                  nullptr);
  if (!state.toolbar) {
    DestroyWindow(bar);
    return FALSE;
  }
  TakeOverMenuBarButtons(state.toolbar);
  SendMessageW(state.toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  if (!(info->dwFlags & SHCMBF_EMPTYBAR)) {
    if ((info->dwFlags & SHCMBF_HMENU) != 0) {
      state.menu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(info->nToolBarId));
    } else if (!AddResourceButtons(state, info->hInstRes, info->nToolBarId)) {
      DestroyWindow(bar);
      SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
      return FALSE;
    }
  }
  FitMenuBarButtons(state.toolbar);
  info->hwndMB = bar;
  return TRUE;
}
