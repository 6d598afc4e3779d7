// The open menu: the modal menu loop of TrackPopupMenu and of the pocket shell's
// menu bar, and what the user (the automation layer, from the driver) can see and do
// with it.
//
// A menu opens on the thread that tracks it: that thread runs a menu loop which keeps
// handling sent messages, timers and posted messages, while the menu takes the
// thread's keyboard and tap input (Escape or a tap closes it). Only one menu is open
// on the device at a time. The user acts through this service: open a submenu,
// choose an item, dismiss. An action is queued for the menu loop's thread and wakes
// it; it takes effect when the device runs, on that thread, so the owner's window
// procedure sees WM_INITMENUPOPUP for a submenu on its own thread as it would when a
// person taps the menu.
#pragma once

#include <windows.h>

#include <deque>
#include <optional>
#include <utility>
#include <vector>

#include "system_include/system_shell.h"
#include "user/menu.h"
#include "user/menu_popup.h"

namespace sim {

class Device;
class SimThread;

// TrackMenu of system_shell.h, opening the menu at `at` (screen pixels, aligned by
// the TPM_* flags); without a point it opens at the left end of the menu bar, above it.
BOOL TrackMenu(HMENU menu, HWND owner, int index, UINT flags, std::optional<POINT> at);

// Why the user's action on the open menu was not taken.
enum class MenuActionStatus {
  Accepted,
  NoMenuOpen,   // no menu is open
  NoSuchItem,   // no item at that position (or its menu is gone)
  Grayed,       // the item is grayed or disabled
  Separator,    // a separator cannot be chosen
  NotASubmenu,  // opening an item that has no submenu
  OpensSubmenu, // choosing an item that opens a submenu: open it instead
};
const char* Describe(MenuActionStatus status);

struct OpenMenuLevel {
  HMENU menu = nullptr;
  int index = 0;  // the low word of lParam its WM_INITMENUPOPUP carried
};

// The open menu as a person sees it.
struct OpenMenuView {
  HWND owner = nullptr;
  SimThread* thread = nullptr;
  std::vector<OpenMenuLevel> levels;  // the tracked menu first, then open submenus
};

class MenuTracker {
 public:
  explicit MenuTracker(Device& device) : device_(device) {}
  MenuTracker(const MenuTracker&) = delete;
  MenuTracker& operator=(const MenuTracker&) = delete;

  static MenuTracker& get();

  // --- what is open (driver or any thread) ---
  bool isOpen() const;
  std::optional<OpenMenuView> openMenu() const;
  // The items of the innermost open menu; nothing when no menu is open.
  std::optional<std::vector<MenuItemView>> innermostItems() const;
  // Why the last queued action the menu loop refused was not taken (the queue was
  // then dropped and the menu stays open); cleared by every new action.
  std::optional<MenuActionStatus> lastRefusal() const { return lastRefusal_; }
  // Where the open menu's levels are drawn; empty when none is shown.
  std::vector<MenuBox> layout() const;

  // --- the user's actions (driver or any thread) ---
  // Each is checked against the innermost open menu when nothing is queued before
  // it, queued, and carried out by the menu loop when its thread next runs.
  MenuActionStatus openSubmenu(int position);
  MenuActionStatus choose(int position);
  // Opens the submenus along `positions` and chooses its last element.
  MenuActionStatus choosePath(const std::vector<int>& positions);
  MenuActionStatus dismiss();
  // A tap at a screen point while a menu is open, for the menu loop's thread: on an
  // item it opens its submenu or chooses it (grayed items and separators do
  // nothing), anywhere else it closes the menu. False when no menu is open.
  bool tapAt(POINT screen);

 private:
  friend BOOL TrackMenu(HMENU, HWND, int, UINT, std::optional<POINT>);
  struct Request {
    enum class Kind { Open, Choose, Dismiss };
    Kind kind;
    int position;
  };
  struct Session;

  MenuActionStatus queue(std::vector<Request> requests);
  MenuActionStatus check(const Request& request) const;
  void runLoop(Session& session);
  void carryOut(Session& session);
  MenuActionStatus apply(Session& session, const Request& request);
  void handleInput(Session& session, const MSG& msg);
  void release(Session& session, POINT screen);
  bool stillValid(Session& session) const;

  Device& device_;
  Session* session_ = nullptr;
  std::optional<MenuActionStatus> lastRefusal_;
};

struct MenuTracker::Session {
  HWND owner = nullptr;
  SimThread* thread = nullptr;
  UINT flags = 0;
  bool open = false;   // false while the tracked menu is being announced
  bool shown = false;  // on the screen (changed only inside a ScreenChange)
  MenuAnchor anchor;
  std::optional<std::pair<std::size_t, int>> pressed;  // the item under a tap in progress
  std::vector<OpenMenuLevel> levels;
  std::deque<Request> requests;
  bool busy = false;  // an action is being carried out (a WM_INITMENUPOPUP may block)
  bool finished = false;
  std::optional<UINT> chosen;
};

}  // namespace sim
