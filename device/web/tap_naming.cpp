#include "web/tap_naming.h"

#include <commctrl.h>

#include <cstring>

#include "comctl/toolbar.h"
#include "comctl/treeview.h"
#include "scenario/session.h"
#include "user.h"
#include "web/recorder.h"

namespace sim::web {

namespace {

using scenario::Narrow;

bool Inside(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

// The deepest visible window under a screen point, below the top-level `top`.
HWND DeepestAt(HWND top, POINT screen) {
  HWND found = top;
  for (HWND child = GetWindow(found, GW_CHILD); child;) {
    RECT rect{};
    GetWindowRect(child, &rect);
    if (IsWindowVisible(child) && Inside(rect, screen)) {
      found = child;
      child = GetWindow(found, GW_CHILD);
    } else {
      child = GetWindow(child, GW_HWNDNEXT);
    }
  }
  return found;
}

POINT ClientPoint(HWND hwnd, POINT screen) {
  ScreenToClient(hwnd, &screen);
  return screen;
}

const char* ItemWord(Gesture gesture) {
  switch (gesture) {
    case Gesture::DoubleTap: return "double-tap-item";
    case Gesture::Hold: return "hold-item";
    case Gesture::Tap: break;
  }
  return "tap-item";
}

std::optional<std::string> ListItemStep(const User& user, HWND list, POINT at, Gesture gesture) {
  LVHITTESTINFO info{};
  info.pt = ClientPoint(list, at);
  int index = static_cast<int>(SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
  if (index < 0 || !(info.flags & LVHT_ONITEM)) return std::nullopt;
  std::u16string name = User::ListItemText(list, index, 0);
  // The runner finds an item by its name: only a name that leads back here will do.
  if (user.findList() != list || User::FindListItem(list, name) != index) return std::nullopt;
  return StepLine(ItemWord(gesture), {Narrow(name)});
}

std::optional<std::string> TreeItemStep(const User& user, HWND tree, POINT at, Gesture gesture) {
  TVHITTESTINFO info{};
  info.pt = ClientPoint(tree, at);
  HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
  if (!item || !(info.flags & TVHT_ONITEM)) return std::nullopt;
  std::u16string path = TreeViewPathOf(tree, item);
  if (user.findList() || user.findTree() != tree || TreeViewItemByPath(tree, path) != item) return std::nullopt;
  return StepLine(ItemWord(gesture), {Narrow(path)});
}

std::optional<TapName> MenuBarStep(const User& user, HWND toolbar, POINT at) {
  if (toolbar != user.menuBarToolbar()) return std::nullopt;
  POINT client = ClientPoint(toolbar, at);
  auto buttons = ToolbarButtons(toolbar);
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    RECT rect{};
    SendMessageW(toolbar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rect));
    if (!Inside(rect, client) || buttons[i].label.empty()) continue;
    auto step = StepLine("menu", {Narrow(buttons[i].label)});
    if (!step) return std::nullopt;
    return TapName{TapName::Kind::MenuBarButton, *step, Narrow(buttons[i].label)};
  }
  return std::nullopt;
}

// A button or another control tapped as a whole: by its text when that finds it,
// else by its id.
std::optional<std::string> ControlStep(const User& user, HWND control) {
  if (User::IsClass(control, u"BUTTON")) {
    std::u16string text = User::TextOf(control);
    if (!text.empty() && user.findControl(text) == control) return StepLine("tap", {Narrow(text)});
  }
  int id = GetDlgCtrlID(control);
  if (id <= 0 || id > 0xFFFF) return std::nullopt;
  std::string name = "#" + std::to_string(id);
  if (user.findControl(scenario::Wide(name)) != control) return std::nullopt;
  return StepLine("tap", {name});
}

}  // namespace

std::string PositionStep(POINT at, Gesture gesture) {
  const char* word = gesture == Gesture::Hold ? "hold-at" : gesture == Gesture::DoubleTap ? "double-tap-at" : "tap-at";
  return std::string(word) + " " + std::to_string(at.x) + " " + std::to_string(at.y);
}

TapName NameTap(const User& user, POINT at, Gesture gesture) {
  TapName position{TapName::Kind::Position, PositionStep(at, gesture), {}};
  HWND top = WindowFromPoint(at);
  if (!top) return position;
  HWND target = DeepestAt(top, at);
  std::optional<std::string> named;
  if (User::IsClass(target, WC_LISTVIEWW)) {
    named = ListItemStep(user, target, at, gesture);
  } else if (User::IsClass(target, WC_TREEVIEWW)) {
    named = TreeItemStep(user, target, at, gesture);
  } else if (User::IsClass(target, TOOLBARCLASSNAMEW) && gesture == Gesture::Tap) {
    if (auto bar = MenuBarStep(user, target, at)) return *bar;
  } else if (target != top && gesture == Gesture::Tap) {
    named = ControlStep(user, target);
  }
  if (!named) return position;
  return TapName{TapName::Kind::Named, *named, {}};
}

}  // namespace sim::web
