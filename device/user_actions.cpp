// The user's hands on the handheld: taps, keys, typed text, menus, the title-bar
// OK, message-box buttons and the input panel. Every action settles the device.
#include "user.h"

#include <commctrl.h>

#include <cstring>

#include "comctl/combobox.h"
#include "comctl/toolbar.h"
#include "comctl/treeview.h"
#include "text/utf.h"
#include "user/input.h"
#include "user/menu_tracker.h"
#include "user/message_queue.h"
#include "user/msgbox.h"
#include "user/window.h"

namespace sim {

namespace {

UserError Failure(std::string message) { return UserError{std::move(message)}; }

std::string Narrow(std::u16string_view text) {
  auto converted = Utf16ToUtf8(text);
  return converted ? *converted : std::string("?");
}

POINT CenterOf(const RECT& rect) { return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

// The middle of the part of an item that its control shows: a label longer than the
// control is cut at its edge, and a person taps what is there to see.
std::optional<POINT> ShownCenterOf(HWND control, const RECT& item) {
  RECT client{}, shown{};
  GetClientRect(control, &client);
  if (!IntersectRect(&shown, &client, &item)) return std::nullopt;
  return CenterOf(shown);
}

}  // namespace

std::optional<UserError> User::tap(std::u16string_view textOrId) {
  if (HWND control = findControl(textOrId)) {
    RECT rect{};
    GetClientRect(control, &rect);
    if (!touchWindow(control, CenterOf(rect), ItemGesture::Tap)) return Failure("the control cannot be tapped");
    settle();
    return std::nullopt;
  }
  bool opensMenu = false;
  if (menuBarToolbar() && !pressMenuBarButton(textOrId, opensMenu)) return std::nullopt;
  return Failure("no control '" + Narrow(textOrId) + "' in the window in front");
}

std::optional<UserError> User::choose(std::u16string_view id, std::u16string_view entry) {
  HWND combo = findControl(id);
  if (!combo) return Failure("no control '" + Narrow(id) + "' in the window in front");
  if (!ComboBoxPick(combo, entry)) return Failure("the combo box has no entry '" + Narrow(entry) + "'");
  settle();
  return std::nullopt;
}

std::optional<UserError> User::touchItem(std::u16string_view text, ItemGesture gesture) {
  if (HWND list = findList()) {
    int index = FindListItem(list, text);
    if (index >= 0) {
      SendMessageW(list, LVM_ENSUREVISIBLE, index, FALSE);
      RECT rect{};
      rect.left = LVIR_LABEL;
      SendMessageW(list, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
      auto at = ShownCenterOf(list, rect);
      if (!at || !touchWindow(list, *at, gesture)) return Failure("the list item cannot be touched");
      settle();
      return std::nullopt;
    }
  }
  if (HWND tree = findTree()) {
    if (HTREEITEM item = TreeViewItemByPath(tree, text)) {
      SendMessageW(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
      RECT rect{};
      // The item to measure goes in at the start of the rectangle, as the message expects.
      std::memcpy(&rect, &item, sizeof(item));
      SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
      auto at = ShownCenterOf(tree, rect);
      if (!at || !touchWindow(tree, *at, gesture)) return Failure("the tree item cannot be touched");
      settle();
      return std::nullopt;
    }
  }
  return Failure("no list or tree item '" + Narrow(text) + "' in the window in front");
}

std::optional<UserError> User::press(const KeyStroke& stroke) {
  SendKeyStroke(stroke);
  settle();
  return std::nullopt;
}

// Typed text arrives as characters for the thread in front, never as keys: the
// key state stays as it was (Control held stays held).
std::optional<UserError> User::type(std::u16string_view text) {
  Window* top = WindowSystem::get().foreground();
  if (!top || !top->thread) return Failure("no window in front to type into");
  for (char16_t c : text) Input::get().character(c);
  settle();
  return std::nullopt;
}

void User::inputPanel(bool raised) {
  WindowSystem::get().setInputPanel(raised);
  settle();
}

std::optional<int> User::menuPosition(std::u16string_view text) const {
  auto entries = openMenuEntries();
  for (size_t i = 0; i < entries.size(); ++i)
    if (!entries[i].separator && entries[i].text == text) return static_cast<int>(i);
  return std::nullopt;
}

// Taps the menu-bar button labelled `text`. Fills `opensMenu` when a menu is open
// afterwards.
std::optional<UserError> User::pressMenuBarButton(std::u16string_view text, bool& opensMenu) {
  HWND toolbar = menuBarToolbar();
  if (!toolbar) return Failure("the window in front has no menu bar");
  auto buttons = ToolbarButtons(toolbar);
  for (size_t i = 0; i < buttons.size(); ++i) {
    if (buttons[i].label != text) continue;
    RECT rect{};
    SendMessageW(toolbar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rect));
    if (!touchWindow(toolbar, CenterOf(rect), ItemGesture::Tap)) return Failure("the menu bar cannot be tapped");
    settle();
    opensMenu = MenuTracker::get().isOpen();
    return std::nullopt;
  }
  return Failure("the menu bar has no item '" + Narrow(text) + "'");
}

std::optional<UserError> User::openMenu(const std::vector<std::u16string>& path) {
  if (path.empty()) return Failure("no menu named");
  bool opensMenu = false;
  if (auto error = pressMenuBarButton(path.front(), opensMenu)) return error;
  if (!opensMenu) return Failure("menu-bar item '" + Narrow(path.front()) + "' opens no menu");
  for (size_t i = 1; i < path.size(); ++i) {
    auto position = menuPosition(path[i]);
    if (!position) {
      dismissMenu();
      return Failure("the menu has no item '" + Narrow(path[i]) + "'");
    }
    MenuActionStatus status = MenuTracker::get().openSubmenu(*position);
    settle();
    if (status != MenuActionStatus::Accepted) {
      dismissMenu();
      return Failure(std::string("cannot open '") + Narrow(path[i]) + "': " + Describe(status));
    }
  }
  return std::nullopt;
}

void User::dismissMenu() {
  // A menu whose thread cannot run may stay open; the user gives up after a few tries.
  for (int attempt = 0; attempt < 4 && MenuTracker::get().isOpen(); ++attempt) {
    MenuTracker::get().dismiss();
    settle();
  }
}

std::optional<UserError> User::menu(const std::vector<std::u16string>& path) {
  if (path.size() == 1) {
    bool opensMenu = false;
    return pressMenuBarButton(path.front(), opensMenu);
  }
  std::vector<std::u16string> parents(path.begin(), path.end() - 1);
  if (auto error = openMenu(parents)) return error;
  auto position = menuPosition(path.back());
  if (!position) {
    dismissMenu();
    return Failure("the menu has no item '" + Narrow(path.back()) + "'");
  }
  MenuActionStatus status = MenuTracker::get().choose(*position);
  settle();
  if (status != MenuActionStatus::Accepted) {
    dismissMenu();
    return Failure(std::string("cannot choose '") + Narrow(path.back()) + "': " + Describe(status));
  }
  return std::nullopt;
}

std::optional<UserError> User::pick(const std::vector<std::u16string>& path) {
  if (!MenuTracker::get().isOpen()) return Failure("no menu is open");
  for (size_t i = 0; i < path.size(); ++i) {
    auto position = menuPosition(path[i]);
    if (!position) return Failure("the open menu has no item '" + Narrow(path[i]) + "'");
    bool last = i + 1 == path.size();
    bool submenu = openMenuEntries()[static_cast<size_t>(*position)].submenu;
    MenuActionStatus status =
        last && !submenu ? MenuTracker::get().choose(*position) : MenuTracker::get().openSubmenu(*position);
    settle();
    if (status != MenuActionStatus::Accepted)
      return Failure(std::string("cannot pick '") + Narrow(path[i]) + "': " + Describe(status));
  }
  return std::nullopt;
}

std::optional<UserError> User::ok() {
  HWND top = foreground();
  if (!top || !(GetWindowLongW(top, GWL_EXSTYLE) & WS_EX_CAPTIONOKBTN))
    return Failure("the window in front has no OK button in its title bar");
  PostFromSystem(top, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
  settle();
  return std::nullopt;
}

std::optional<UserError> User::close() {
  HWND top = foreground();
  if (!top) return Failure("no window in front");
  PostFromSystem(top, WM_CLOSE, 0, 0);
  settle();
  return std::nullopt;
}

std::optional<UserError> User::answer(int id) {
  const OpenMessageBox* box = MessageBoxes::get().top();
  if (!box) return Failure("no message box is open");
  if (!IsWindowEnabled(box->dialog)) return Failure("the message box takes no taps while a window it owns is open");
  if (!AnswerMessageBox(id)) return Failure("the message box has no such button");
  settle();
  return std::nullopt;
}


}  // namespace sim
