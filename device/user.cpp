#include "user.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <sstream>

#include "comctl/combobox.h"
#include "comctl/control_table.h"
#include "comctl/listview.h"
#include "comctl/toolbar.h"
#include "comctl/treeview.h"
#include "shell/menu_bar.h"
#include "text/utf.h"
#include "user/clipboard.h"
#include "user/input.h"
#include "user/menu.h"
#include "user/menu_tracker.h"
#include "user/message_queue.h"
#include "user/msgbox.h"
#include "user/window.h"

namespace sim {

namespace {

constexpr std::uint64_t kSettleWindowMs = 10000;
constexpr std::uint64_t kSettleLimitMs = 3600 * 1000;

UserError Failure(std::string message) { return UserError{std::move(message)}; }

std::string Narrow(std::u16string_view text) {
  auto converted = Utf16ToUtf8(text);
  return converted ? *converted : std::string("?");
}

bool SameText(std::u16string_view a, std::u16string_view b) { return a == b; }

bool IsClass(HWND hwnd, std::u16string_view name) {
  std::u16string cls = User::ClassOf(hwnd);
  return cls.size() == name.size() && _wcsicmp(cls.c_str(), std::u16string(name).c_str()) == 0;
}

// Depth-first over the children of `parent`, in their order.
template <class Visit>
HWND FindDescendant(HWND parent, Visit visit) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    if (visit(child)) return child;
    if (HWND found = FindDescendant(child, visit)) return found;
  }
  return nullptr;
}

std::optional<int> ParseId(std::u16string_view text) {
  if (text.size() < 2 || text[0] != u'#') return std::nullopt;
  int value = 0;
  for (char16_t c : text.substr(1)) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + (c - u'0');
  }
  return value;
}

POINT CenterOf(const RECT& rect) { return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

bool Deliver(HWND hwnd, POINT client, User::ItemGesture gesture) {
  Input& input = Input::get();
  switch (gesture) {
    case User::ItemGesture::Tap:
      return input.tapWindow(hwnd, client);
    case User::ItemGesture::DoubleTap:
      return input.doubleTapWindow(hwnd, client);
    case User::ItemGesture::Hold:
      return input.holdWindow(hwnd, client);
  }
  return false;
}

std::optional<BYTE> NamedKey(std::string_view name) {
  if (name == "delete") return VK_DELETE;
  if (name == "enter") return VK_RETURN;
  if (name == "escape") return VK_ESCAPE;
  if (name == "tab") return VK_TAB;
  if (name == "space") return VK_SPACE;
  if (name == "backspace") return VK_BACK;
  if (name == "up") return VK_UP;
  if (name == "down") return VK_DOWN;
  if (name == "left") return VK_LEFT;
  if (name == "right") return VK_RIGHT;
  if (name.size() == 1 && ((name[0] >= 'a' && name[0] <= 'z') || (name[0] >= '0' && name[0] <= '9')))
    return static_cast<BYTE>(name[0] >= 'a' ? name[0] - 'a' + 'A' : name[0]);
  return std::nullopt;
}

std::u16string ControlLine(HWND hwnd, int depth) {
  std::u16string line(2 * depth, u' ');
  line += u"[" + User::ClassOf(hwnd);
  int id = GetDlgCtrlID(hwnd);
  if (id != 0) {
    WCHAR number[16];
    _snwprintf(number, 16, u" #%d", id);
    line += number;
  }
  line += u"]";
  std::u16string text = User::TextOf(hwnd);
  if (!text.empty()) line += u" \"" + text + u"\"";
  if (IsClass(hwnd, u"BUTTON") && SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED) line += u" (checked)";
  if (!IsWindowEnabled(hwnd)) line += u" (disabled)";
  return line;
}

// The tree's items as a person sees them: each expanded item's children indented
// below it; "*" marks the selected item, "+" an item with hidden children.
void RenderTree(HWND tree, HTREEITEM parent, int indent, std::u16string& out) {
  WPARAM first = parent ? TVGN_CHILD : TVGN_ROOT;
  auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, first, reinterpret_cast<LPARAM>(parent)));
  while (item) {
    WCHAR text[MAX_PATH] = {};
    TVITEMW info{};
    info.mask = TVIF_TEXT | TVIF_STATE | TVIF_HANDLE | TVIF_CHILDREN;
    info.hItem = item;
    info.stateMask = TVIS_EXPANDED | TVIS_SELECTED;
    info.pszText = text;
    info.cchTextMax = MAX_PATH;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&info));
    auto child = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
    bool expanded = (info.state & TVIS_EXPANDED) != 0;
    bool selected = SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) == reinterpret_cast<LRESULT>(item);
    out += std::u16string(indent, u' ') + (selected ? u"* " : (child && !expanded ? u"+ " : u"- ")) + text + u"\n";
    if (child && expanded) RenderTree(tree, item, indent + 2, out);
    item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
  }
}

}  // namespace

bool User::settle() {
  return handheld_.device().scheduler().settle(kSettleWindowMs, kSettleLimitMs) == SettleResult::Settled;
}

void User::wait(DWORD ms) {
  Device& device = handheld_.device();
  device.scheduler().runUntil(device.clock().now() + ms);
}

HWND User::foreground() const {
  Window* window = WindowSystem::get().foreground();
  return window ? window->handle : nullptr;
}

std::u16string User::ClassOf(HWND hwnd) {
  Window* window = WindowSystem::get().find(hwnd);
  return window && window->windowClass ? window->windowClass->name : std::u16string();
}

std::u16string User::TextOf(HWND hwnd) {
  Window* window = WindowSystem::get().find(hwnd);
  return window ? window->text : std::u16string();
}

HWND User::findControl(std::u16string_view textOrId) const {
  HWND top = foreground();
  if (!top) return nullptr;
  if (auto id = ParseId(textOrId)) return FindDescendant(top, [&](HWND child) { return GetDlgCtrlID(child) == *id; });
  return FindDescendant(top, [&](HWND child) { return SameText(TextOf(child), textOrId); });
}

HWND User::findList() const {
  HWND top = foreground();
  return top ? FindDescendant(top, [](HWND child) { return IsClass(child, WC_LISTVIEWW); }) : nullptr;
}

HWND User::findTree() const {
  HWND top = foreground();
  return top ? FindDescendant(top, [](HWND child) { return IsClass(child, WC_TREEVIEWW); }) : nullptr;
}

namespace {

std::u16string ListItemText(HWND list, int index, int subItem) {
  WCHAR text[MAX_PATH] = {};
  LVITEMW item{};
  item.iSubItem = subItem;
  item.pszText = text;
  item.cchTextMax = MAX_PATH;
  SendMessageW(list, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
  return text;
}

int FindListItem(HWND list, std::u16string_view name) {
  int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i)
    if (ListItemText(list, i, 0) == name) return i;
  return -1;
}

}  // namespace

std::vector<std::u16string> User::listItems() const {
  std::vector<std::u16string> items;
  HWND list = findList();
  if (!list) return items;
  int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) items.push_back(ListItemText(list, i, 0));
  return items;
}

std::optional<std::vector<std::u16string>> User::listRow(std::u16string_view name) const {
  HWND list = findList();
  if (!list) return std::nullopt;
  int index = FindListItem(list, name);
  if (index < 0) return std::nullopt;
  auto state = ControlTable<ListViewState>::get().find(list);
  int columns = state ? static_cast<int>(state->columns.size()) : 1;
  std::vector<std::u16string> cells;
  for (int column = 1; column < columns; ++column) cells.push_back(ListItemText(list, index, column));
  return cells;
}

namespace {
std::vector<std::u16string> ColumnHeaders(HWND list) {
  std::vector<std::u16string> headers;
  DWORD style = static_cast<DWORD>(GetWindowLongW(list, GWL_STYLE));
  if ((style & LVS_TYPEMASK) != LVS_REPORT || (style & LVS_NOCOLUMNHEADER)) return headers;
  if (auto state = ControlTable<ListViewState>::get().find(list))
    for (const auto& column : state->columns) headers.push_back(column.text);
  return headers;
}
}  // namespace

std::vector<std::u16string> User::listColumnHeaders() const {
  HWND list = findList();
  return list ? ColumnHeaders(list) : std::vector<std::u16string>();
}

std::vector<std::u16string> User::selectedListItems() const {
  std::vector<std::u16string> items;
  HWND list = findList();
  if (!list) return items;
  int index = -1;
  while ((index = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, index, LVNI_SELECTED))) >= 0)
    items.push_back(ListItemText(list, index, 0));
  return items;
}

std::optional<std::u16string> User::selectedTreePath() const {
  HWND tree = findTree();
  if (!tree) return std::nullopt;
  auto caret = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  if (!caret) return std::u16string();
  return TreeViewPathOf(tree, caret);
}

HWND User::menuBarToolbar() const {
  HWND top = foreground();
  if (!top) return nullptr;
  for (Window* window : WindowSystem::get().topLevel()) {
    if (!window->owner || window->owner->handle != top || !WindowSystem::get().visible(*window)) continue;
    if (HWND toolbar = MenuBarToolbar(window->handle)) return toolbar;
    if (IsClass(window->handle, TOOLBARCLASSNAMEW)) return window->handle;
  }
  return nullptr;
}

std::vector<MenuEntryView> User::openMenuEntries() const {
  std::vector<MenuEntryView> entries;
  auto items = MenuTracker::get().innermostItems();
  if (!items) return entries;
  for (const auto& item : *items)
    entries.push_back(MenuEntryView{item.text, item.separator, item.grayed, item.checked, item.submenu != nullptr});
  return entries;
}

std::u16string User::clipboardText() const { return Clipboard::get().text().value_or(u""); }

std::optional<UserError> User::tap(std::u16string_view textOrId) {
  if (HWND control = findControl(textOrId)) {
    RECT rect{};
    GetClientRect(control, &rect);
    if (!Input::get().tapWindow(control, CenterOf(rect))) return Failure("the control cannot be tapped");
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
      if (!Deliver(list, CenterOf(rect), gesture)) return Failure("the list item cannot be touched");
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
      if (!Deliver(tree, CenterOf(rect), gesture)) return Failure("the tree item cannot be touched");
      settle();
      return std::nullopt;
    }
  }
  return Failure("no list or tree item '" + Narrow(text) + "' in the window in front");
}

std::optional<UserError> User::keys(std::string_view keys) {
  Input& input = Input::get();
  std::istringstream words{std::string(keys)};
  std::string word;
  while (words >> word) {
    std::transform(word.begin(), word.end(), word.begin(), [](unsigned char c) { return std::tolower(c); });
    if (word == "ctrl-down") {
      input.key(VK_CONTROL, false);
    } else if (word == "ctrl-up") {
      input.key(VK_CONTROL, true);
    } else if (word.rfind("ctrl+", 0) == 0) {
      auto key = NamedKey(word.substr(5));
      if (!key) return Failure("unknown key '" + word + "'");
      input.key(VK_CONTROL, false);
      input.key(*key, false);
      input.key(*key, true);
      input.key(VK_CONTROL, true);
    } else {
      auto key = NamedKey(word);
      if (!key) return Failure("unknown key '" + word + "'");
      input.key(*key, false);
      input.key(*key, true);
    }
    settle();
  }
  return std::nullopt;
}

std::optional<UserError> User::type(std::u16string_view text) {
  Window* top = WindowSystem::get().foreground();
  if (!top || !top->thread) return Failure("no window in front to type into");
  MessageQueue& queue = MessageQueues::get().of(*top->thread);
  for (char16_t c : text) {
    InputEvent event;
    event.kind = InputEvent::Kind::Key;
    event.message = WM_CHAR;
    event.wParam = c;
    event.lParam = 1;
    queue.postInput(event);
  }
  settle();
  return std::nullopt;
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
    if (!Input::get().tapWindow(toolbar, CenterOf(rect))) return Failure("the menu bar cannot be tapped");
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

std::optional<UserError> User::ok() {
  HWND top = foreground();
  if (!top || !(GetWindowLongW(top, GWL_EXSTYLE) & WS_EX_CAPTIONOKBTN))
    return Failure("the window in front has no OK button in its title bar");
  PostMessageW(top, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
  settle();
  return std::nullopt;
}

std::optional<UserError> User::close() {
  HWND top = foreground();
  if (!top) return Failure("no window in front");
  PostMessageW(top, WM_CLOSE, 0, 0);
  settle();
  return std::nullopt;
}

std::optional<UserError> User::answer(int id) {
  if (!MessageBoxes::get().top()) return Failure("no message box is open");
  if (!AnswerMessageBox(id)) return Failure("the message box has no such button");
  settle();
  return std::nullopt;
}

std::u16string User::render() const {
  HWND top = foreground();
  if (!top) return u"(no window in front)\n";
  std::u16string out = u"window \"" + TextOf(top) + u"\" [" + ClassOf(top) + u"]\n";
  std::function<void(HWND, int)> walk = [&](HWND parent, int depth) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      if (!IsWindowVisible(child)) continue;
      out += ControlLine(child, depth) + u"\n";
      if (IsClass(child, WC_LISTVIEWW)) {
        int count = static_cast<int>(SendMessageW(child, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
          bool selected = SendMessageW(child, LVM_GETITEMSTATE, i, LVIS_SELECTED) & LVIS_SELECTED;
          out += std::u16string(2 * depth + 2, u' ') + (selected ? u"* " : u"- ") + ListItemText(child, i, 0) + u"\n";
        }
      }
      if (IsClass(child, WC_LISTVIEWW)) {
        auto headers = ColumnHeaders(child);
        if (!headers.empty()) {
          out += std::u16string(2 * depth + 2, u' ') + u"columns:";
          for (const auto& header : headers) out += u" [" + header + u"]";
          out += u"\n";
        }
      }
      if (IsClass(child, WC_TREEVIEWW)) RenderTree(child, nullptr, 2 * depth + 2, out);
      if (IsClass(child, u"COMBOBOX"))
        for (const auto& entry : ComboBoxEntries(child)) out += std::u16string(2 * depth + 2, u' ') + u"~ " + entry + u"\n";
      walk(child, depth + 1);
    }
  };
  walk(top, 1);
  if (HWND toolbar = menuBarToolbar()) {
    out += u"  menu bar:";
    for (const auto& button : ToolbarButtons(toolbar))
      if (!(button.style & TBSTYLE_SEP) && !button.label.empty()) out += u" [" + button.label + u"]";
    out += u"\n";
  }
  if (MenuTracker::get().isOpen()) {
    out += u"  open menu:\n";
    for (const auto& entry : openMenuEntries()) {
      if (entry.separator) {
        out += u"    ----\n";
        continue;
      }
      out += u"    " + entry.text + (entry.grayed ? u" (grayed)" : u"") + (entry.checked ? u" (checked)" : u"") +
             (entry.submenu ? u" >" : u"") + u"\n";
    }
  }
  if (const OpenMessageBox* box = MessageBoxes::get().top())
    out += u"  message \"" + box->text + u"\" caption \"" + box->caption + u"\"\n";
  return out;
}

}  // namespace sim
