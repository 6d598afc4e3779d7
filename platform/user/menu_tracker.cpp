#include "user/menu_tracker.h"

#include "kernel/device.h"
#include "kernel/scheduler.h"
#include "user/message_queue.h"
#include "user/screen_layout.h"
#include "user/window.h"

namespace sim {

namespace {

constexpr DWORD kErrorPopupAlreadyActive = 1446;

bool isKeyMessage(UINT message) { return message >= WM_KEYFIRST && message <= WM_KEYLAST; }
bool isTapMessage(UINT message) { return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST; }

LPARAM indexParam(int index) { return MAKELPARAM(static_cast<WORD>(index), 0); }

// Whether the item at `position` of `menu` can be opened (Open) or chosen (Choose).
MenuActionStatus checkItem(const Menu* menu, bool open, int position) {
  if (!menu || position < 0 || static_cast<std::size_t>(position) >= menu->items.size())
    return MenuActionStatus::NoSuchItem;
  const MenuItem& item = menu->items[static_cast<std::size_t>(position)];
  if (item.separator()) return MenuActionStatus::Separator;
  if (open && !item.popup()) return MenuActionStatus::NotASubmenu;
  if (!open && item.popup()) return MenuActionStatus::OpensSubmenu;
  if (item.grayed()) return MenuActionStatus::Grayed;
  return MenuActionStatus::Accepted;
}

}  // namespace

const char* Describe(MenuActionStatus status) {
  switch (status) {
    case MenuActionStatus::Accepted: return "accepted";
    case MenuActionStatus::NoMenuOpen: return "no menu is open";
    case MenuActionStatus::NoSuchItem: return "no item at that position";
    case MenuActionStatus::Grayed: return "the item is grayed";
    case MenuActionStatus::Separator: return "the item is a separator";
    case MenuActionStatus::NotASubmenu: return "the item opens no submenu";
    case MenuActionStatus::OpensSubmenu: return "the item opens a submenu";
  }
  return "unknown";
}

MenuTracker& MenuTracker::get() { return Device::current().service<MenuTracker>(); }

bool MenuTracker::isOpen() const { return session_ && session_->open && !session_->finished; }

std::optional<OpenMenuView> MenuTracker::openMenu() const {
  if (!isOpen()) return std::nullopt;
  return OpenMenuView{session_->owner, session_->thread, session_->levels};
}

std::optional<std::vector<MenuItemView>> MenuTracker::innermostItems() const {
  if (!isOpen()) return std::nullopt;
  return DescribeMenu(session_->levels.back().menu);
}

MenuActionStatus MenuTracker::openSubmenu(int position) { return queue({{Request::Kind::Open, position}}); }

MenuActionStatus MenuTracker::choose(int position) { return queue({{Request::Kind::Choose, position}}); }

MenuActionStatus MenuTracker::choosePath(const std::vector<int>& positions) {
  if (positions.empty()) return MenuActionStatus::NoSuchItem;
  std::vector<Request> requests;
  for (std::size_t i = 0; i + 1 < positions.size(); ++i) requests.push_back({Request::Kind::Open, positions[i]});
  requests.push_back({Request::Kind::Choose, positions.back()});
  return queue(std::move(requests));
}

MenuActionStatus MenuTracker::dismiss() { return queue({{Request::Kind::Dismiss, 0}}); }

std::vector<MenuBox> MenuTracker::layout() const {
  if (!session_ || !session_->shown) return {};
  return LayOutOpenMenus(session_->levels, session_->anchor, session_->pressed);
}

bool MenuTracker::tapAt(POINT screen) {
  if (!isOpen()) return false;
  MessageQueue& queue = MessageQueues::get().of(*session_->thread);
  const DWORD time = static_cast<DWORD>(device_.clock().now());
  for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP}) {
    InputEvent event;
    event.kind = InputEvent::Kind::Mouse;
    event.message = message;
    event.hwnd = session_->owner;
    event.wParam = message == WM_LBUTTONDOWN ? MK_LBUTTON : 0;
    event.pt = screen;
    event.time = time;
    queue.postInput(event);
  }
  return true;
}

MenuActionStatus MenuTracker::queue(std::vector<Request> requests) {
  if (!isOpen()) return MenuActionStatus::NoMenuOpen;
  lastRefusal_.reset();
  // With nothing pending the menu on screen is the one the action meets, so a refusal
  // can be told at once; later steps are checked by the loop when their turn comes.
  if (session_->requests.empty() && !session_->busy) {
    MenuActionStatus status = check(requests.front());
    if (status != MenuActionStatus::Accepted) return status;
  }
  session_->requests.insert(session_->requests.end(), requests.begin(), requests.end());
  MessageQueues::get().of(*session_->thread).wake();
  return MenuActionStatus::Accepted;
}

MenuActionStatus MenuTracker::check(const Request& request) const {
  if (request.kind == Request::Kind::Dismiss) return MenuActionStatus::Accepted;
  const Menu* innermost = MenuSystem::get().find(session_->levels.back().menu);
  return checkItem(innermost, request.kind == Request::Kind::Open, request.position);
}

bool MenuTracker::stillValid(Session& session) const {
  if (!WindowSystem::get().find(session.owner)) return false;
  auto& menus = MenuSystem::get();
  // A submenu destroyed while open closes with everything inside it.
  for (std::size_t level = 0; level < session.levels.size(); ++level)
    if (!menus.find(session.levels[level].menu)) {
      ScreenChange change;
      session.levels.resize(level);
      session.pressed.reset();
      break;
    }
  return !session.levels.empty();
}

void MenuTracker::runLoop(Session& session) {
  MessageQueue& queue = MessageQueues::get().of(*session.thread);
  while (!session.finished) {
    carryOut(session);
    if (session.finished || !stillValid(session)) break;
    MSG msg;
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        // The loop that asked to quit is outside the menu: close it and let that
        // loop see WM_QUIT again.
        PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      if (isKeyMessage(msg.message) || isTapMessage(msg.message))
        handleInput(session, msg);
      else
        DispatchMessageW(&msg);
      continue;
    }
    queue.waitForWork();
  }
  session.finished = true;
}

void MenuTracker::carryOut(Session& session) {
  while (!session.requests.empty() && !session.finished) {
    Request request = session.requests.front();
    session.requests.pop_front();
    session.busy = true;
    MenuActionStatus status = apply(session, request);
    session.busy = false;
    if (status != MenuActionStatus::Accepted) {
      lastRefusal_ = status;
      session.requests.clear();
    }
  }
}

MenuActionStatus MenuTracker::apply(Session& session, const Request& request) {
  if (!stillValid(session)) return MenuActionStatus::NoMenuOpen;
  if (request.kind == Request::Kind::Dismiss) {
    session.finished = true;
    return MenuActionStatus::Accepted;
  }
  auto& menus = MenuSystem::get();
  Menu* innermost = menus.find(session.levels.back().menu);
  const bool open = request.kind == Request::Kind::Open;
  MenuActionStatus status = checkItem(innermost, open, request.position);
  if (status != MenuActionStatus::Accepted) return status;
  const MenuItem& item = innermost->items[static_cast<std::size_t>(request.position)];
  if (!open) {
    session.chosen = item.id;
    session.finished = true;
    return MenuActionStatus::Accepted;
  }
  HMENU submenu = item.submenu;  // `item` may not survive the owner's handling
  if (!(session.flags & TPM_NONOTIFY))
    SendMessageW(session.owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(submenu), indexParam(request.position));
  if (!stillValid(session) || !menus.find(submenu)) return MenuActionStatus::NoSuchItem;
  {
    ScreenChange change;
    session.levels.push_back(OpenMenuLevel{submenu, request.position});
  }
  RepaintMenus();  // the item that opened it shows selected
  return MenuActionStatus::Accepted;
}

// The open menu takes the thread's input: Escape closes it; a tap outside it closes
// it, and nothing reaches the windows underneath; a tap on an item acts when the
// stylus comes up on that same item.
void MenuTracker::handleInput(Session& session, const MSG& msg) {
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
    session.finished = true;
    return;
  }
  if (msg.message == WM_LBUTTONUP) return release(session, msg.pt);
  if (msg.message != WM_LBUTTONDOWN && msg.message != WM_LBUTTONDBLCLK && msg.message != WM_RBUTTONDOWN) return;
  auto hit = MenuItemAt(layout(), msg.pt);
  if (!hit) {
    session.finished = true;
    return;
  }
  session.pressed = hit;
  RepaintMenus();
}

void MenuTracker::release(Session& session, POINT screen) {
  if (!session.pressed) return;
  auto pressed = *session.pressed;
  auto hit = MenuItemAt(layout(), screen);
  session.pressed.reset();
  RepaintMenus();
  if (!hit || *hit != pressed || pressed.second < 0) return;
  if (pressed.first + 1 < session.levels.size()) {
    {
      ScreenChange change;
      session.levels.resize(pressed.first + 1);
    }
    RepaintMenus();
  }
  const Menu* menu = MenuSystem::get().find(session.levels.back().menu);
  if (!menu || static_cast<std::size_t>(pressed.second) >= menu->items.size()) return;
  const bool opens = menu->items[static_cast<std::size_t>(pressed.second)].popup();
  Request request{opens ? Request::Kind::Open : Request::Kind::Choose, pressed.second};
  // Separators and grayed items stay as they are and the menu stays open.
  if (check(request) == MenuActionStatus::Accepted) apply(session, request);
}

namespace {

// Without a point the menu opens from the left end of the menu bar, upwards.
MenuAnchor AnchorOf(std::optional<POINT> at, UINT flags) {
  if (at) return MenuAnchor{*at, flags};
  const WindowSystem& windows = WindowSystem::get();
  POINT barTop{0, windows.screenHeight() - WindowSystem::kMenuBarHeight * windows.scale()};
  return MenuAnchor{barTop, TPM_LEFTALIGN | TPM_BOTTOMALIGN};
}

}  // namespace

BOOL TrackMenu(HMENU menu, HWND owner, int index, UINT flags) {
  return TrackMenu(menu, owner, index, flags, std::nullopt);
}

BOOL TrackMenu(HMENU menu, HWND owner, int index, UINT flags, std::optional<POINT> at) {
  auto& menus = MenuSystem::get();
  if (!menus.checked(menu, "TrackPopupMenu")) return FALSE;
  if (!WindowSystem::get().checked(owner, "TrackPopupMenu")) return FALSE;
  SimThread* thread = Scheduler::current();
  if (!thread) {
    // The driver acts as the user; it cannot run a program's menu loop.
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  MenuTracker& tracker = MenuTracker::get();
  if (tracker.session_) {
    SetLastError(kErrorPopupAlreadyActive);
    return FALSE;
  }

  MenuTracker::Session session;
  session.owner = owner;
  session.thread = thread;
  session.flags = flags;
  session.anchor = AnchorOf(at, flags);
  struct Registration {
    MenuTracker& tracker;
    ~Registration() { tracker.session_ = nullptr; }
  } registration{tracker};
  tracker.session_ = &session;

  if (!(flags & TPM_NONOTIFY))
    SendMessageW(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), indexParam(index));
  // The owner may empty the menu while it is announced (the File Explorer's folder
  // menu is emptied that way): an empty menu never opens.
  const Menu* record = menus.find(menu);
  if (!record || record->items.empty() || !WindowSystem::get().find(owner)) return FALSE;

  {
    ScreenChange change;
    session.levels.push_back(OpenMenuLevel{menu, index});
    session.open = session.shown = true;
  }
  tracker.runLoop(session);
  {
    ScreenChange change;
    session.open = session.shown = false;
  }

  if (!session.chosen) return FALSE;
  if (flags & TPM_RETURNCMD) return static_cast<BOOL>(*session.chosen);
  PostFromSystem(owner, WM_COMMAND, MAKEWPARAM(*session.chosen, 0), 0);
  return TRUE;
}

}  // namespace sim

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
  return sim::TrackMenu(menu, owner, 0, flags, POINT{x, y});
}

BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, LPTPMPARAMS) {
  if (sim::FailsByInjection("TrackPopupMenuEx")) return FALSE;
  return sim::TrackMenu(menu, owner, 0, flags, POINT{x, y});
}
