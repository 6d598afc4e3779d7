// What a person sees on the handheld: the window in front, its controls, list and
// tree items, the open menu and the clipboard. Acting is in user_actions.cpp.
#include "user.h"

#include <commctrl.h>

#include "comctl/listview.h"
#include "comctl/toolbar.h"
#include "comctl/treeview.h"
#include "shell/menu_bar.h"
#include "user/clipboard.h"
#include "user/menu_tracker.h"
#include "user/window.h"

namespace sim {

namespace {

constexpr std::uint64_t kSettleWindowMs = 10000;
constexpr std::uint64_t kSettleLimitMs = 3600 * 1000;

bool SameText(std::u16string_view a, std::u16string_view b) { return a == b; }

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

// "#1005": a control's id; ids are 16-bit, so longer numbers name no control.
std::optional<int> ParseId(std::u16string_view text) {
  if (text.size() < 2 || text.size() > 6 || text[0] != u'#') return std::nullopt;
  int value = 0;
  for (char16_t c : text.substr(1)) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + (c - u'0');
  }
  return value;
}

}  // namespace

bool User::IsClass(HWND hwnd, std::u16string_view name) {
  std::u16string cls = ClassOf(hwnd);
  return cls.size() == name.size() && _wcsicmp(cls.c_str(), std::u16string(name).c_str()) == 0;
}

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

std::u16string User::ListItemText(HWND list, int index, int subItem) {
  WCHAR text[MAX_PATH] = {};
  LVITEMW item{};
  item.iSubItem = subItem;
  item.pszText = text;
  item.cchTextMax = MAX_PATH;
  SendMessageW(list, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
  return text;
}

int User::FindListItem(HWND list, std::u16string_view name) {
  int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i)
    if (ListItemText(list, i, 0) == name) return i;
  return -1;
}

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
  auto state = FindListView(list);
  int columns = state ? static_cast<int>(state->columns.size()) : 1;
  std::vector<std::u16string> cells;
  for (int column = 1; column < columns; ++column) cells.push_back(ListItemText(list, index, column));
  return cells;
}

std::vector<std::u16string> User::ColumnHeadersOf(HWND list) {
  std::vector<std::u16string> headers;
  DWORD style = static_cast<DWORD>(GetWindowLongW(list, GWL_STYLE));
  if ((style & LVS_TYPEMASK) != LVS_REPORT || (style & LVS_NOCOLUMNHEADER)) return headers;
  if (auto state = FindListView(list))
    for (const auto& column : state->columns) headers.push_back(column.text);
  return headers;
}

std::vector<std::u16string> User::listColumnHeaders() const {
  HWND list = findList();
  return list ? ColumnHeadersOf(list) : std::vector<std::u16string>();
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

}  // namespace sim
