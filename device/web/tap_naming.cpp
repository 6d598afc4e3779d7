#include "web/tap_naming.h"

#include <commctrl.h>

#include <cstring>

#include "comctl/toolbar.h"
#include "comctl/treeview.h"
#include "scenario/session.h"
#include "shell/shell_screen.h"
#include "user.h"
#include "user/hit_test.h"
#include "user/menu_popup.h"
#include "user/menu_tracker.h"
#include "user/msgbox.h"
#include "web/recorder.h"

namespace sim::web {

namespace {

using scenario::Narrow;

bool Inside(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

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

// A button of the open message box: the answer it gives.
std::optional<std::string> AnswerStep(HWND control) {
  const OpenMessageBox* box = MessageBoxes::get().top();
  if (!box) return std::nullopt;
  for (const auto& button : box->buttons) {
    if (button.hwnd != control) continue;
    switch (button.id) {
      case IDOK: return "answer ok";
      case IDCANCEL: return "answer cancel";
      case IDYES: return "answer yes";
      case IDNO: return "answer no";
      default: return std::nullopt;
    }
  }
  return std::nullopt;
}

// A button or another control tapped as a whole: by its text when that finds it
// and can be written in a script (a label of two lines cannot), else by its id.
std::optional<std::string> ControlStep(const User& user, HWND control) {
  if (auto answer = AnswerStep(control)) return answer;
  if (User::IsClass(control, u"BUTTON")) {
    std::u16string text = User::TextOf(control);
    if (!text.empty() && user.findControl(text) == control)
      if (auto step = StepLine("tap", {Narrow(text)})) return step;
  }
  int id = GetDlgCtrlID(control);
  if (id <= 0 || id > 0xFFFF) return std::nullopt;
  std::string name = "#" + std::to_string(id);
  if (user.findControl(scenario::Wide(name)) != control) return std::nullopt;
  return StepLine("tap", {name});
}

// An entry of the innermost open menu, when its label finds it there again (the
// first entry with that label is the one tapped). Entries of the menus behind it,
// grayed entries and separators have no name.
std::optional<TapName> MenuEntryTap(const User& user, POINT at, Gesture gesture) {
  auto boxes = MenuTracker::get().layout();
  auto hit = MenuItemAt(boxes, at);
  if (!hit || hit->second < 0 || hit->first + 1 != boxes.size()) return std::nullopt;
  auto entries = user.openMenuEntries();
  const auto position = static_cast<std::size_t>(hit->second);
  if (position >= entries.size() || entries[position].separator || entries[position].grayed) return std::nullopt;
  for (std::size_t i = 0; i < position; ++i)
    if (!entries[i].separator && entries[i].text == entries[position].text) return std::nullopt;
  TapName name{TapName::Kind::MenuItem, PositionStep(at, gesture), Narrow(entries[position].text)};
  name.menuLevel = hit->first;
  name.opensSubmenu = entries[position].submenu;
  return name;
}

// A tap on something the system draws above the windows: an open menu's entry,
// or the navigation bar's OK.
TapName SurfaceTap(const User& user, POINT at, Gesture gesture) {
  TapName position{TapName::Kind::Position, PositionStep(at, gesture), {}};
  if (gesture != Gesture::Tap) return position;
  if (MenuTracker::get().isOpen()) return MenuEntryTap(user, at, gesture).value_or(position);
  NavigationBarLayout bar = LayOutNavigationBar();
  if (!IsRectEmpty(&bar.ok) && PtInRect(&bar.ok, at)) return TapName{TapName::Kind::Named, "ok", {}};
  return position;
}

}  // namespace

std::string PositionStep(POINT at, Gesture gesture) {
  const char* word = gesture == Gesture::Hold ? "hold-at" : gesture == Gesture::DoubleTap ? "double-tap-at" : "tap-at";
  return std::string(word) + " " + std::to_string(at.x) + " " + std::to_string(at.y);
}

TapName NameTap(const User& user, POINT at, Gesture gesture) {
  TapName position{TapName::Kind::Position, PositionStep(at, gesture), {}};
  ScreenHit hit = HitTestScreen(at);
  if (hit.kind == ScreenHit::Kind::Surface) return SurfaceTap(user, at, gesture);
  if (hit.kind != ScreenHit::Kind::Window || hit.part != WindowPart::Client) return position;
  HWND target = hit.window;
  std::optional<std::string> named;
  if (User::IsClass(target, WC_LISTVIEWW)) {
    named = ListItemStep(user, target, at, gesture);
  } else if (User::IsClass(target, WC_TREEVIEWW)) {
    named = TreeItemStep(user, target, at, gesture);
  } else if (User::IsClass(target, TOOLBARCLASSNAMEW) && gesture == Gesture::Tap) {
    if (auto bar = MenuBarStep(user, target, at)) return *bar;
  } else if (User::IsClass(target, WC_HEADERW)) {
    return position;  // a column title has no name a step finds it by; it stays where it is
  } else if ((GetWindowLongW(target, GWL_STYLE) & WS_CHILD) && gesture == Gesture::Tap) {
    named = ControlStep(user, target);
  }
  if (!named) return position;
  return TapName{TapName::Kind::Named, *named, {}};
}

}  // namespace sim::web
