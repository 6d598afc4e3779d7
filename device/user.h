// The user of a handheld: acts only through the device's input paths (taps, keys,
// menus, the title-bar OK, message-box buttons) and answers what a person would see
// (the window in front, its controls, list and tree items, the open menu, message
// boxes, the clipboard, files and started programs).
//
// Everything here runs on the driver, between runs of the device; every action
// settles the device afterwards.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "gdi/pixels.h"
#include "handheld.h"
#include "key_strokes.h"
#include "user/hit_test.h"

namespace sim {

struct MenuEntryView {
  std::u16string text;
  bool separator = false;
  bool grayed = false;
  bool checked = false;
  bool submenu = false;
};

// Where the stylus landed and what it met there, looked at as it landed: what is
// drawn at the point and, over an open menu, the entry under it (none outside the
// menu, where the tap only closes it).
struct Touch {
  POINT at{};
  ScreenHit hit;
  std::optional<MenuEntryView> menuEntry;
};

// A failed action or question, in words for a transcript.
struct UserError {
  std::string message;
};

class User {
 public:
  explicit User(Handheld& handheld) : handheld_(handheld) {}

  // Runs the device until every thread waits for input and no timer is due within
  // 10 seconds of device time. False when it does not settle within an hour.
  bool settle();
  // Lets `ms` of device time pass.
  void wait(DWORD ms);

  // --- what a person sees ---
  HWND foreground() const;
  static std::u16string ClassOf(HWND hwnd);
  static std::u16string TextOf(HWND hwnd);
  static bool IsClass(HWND hwnd, std::u16string_view name);  // ignoring case
  // A list view's item text (column `subItem`), and the index of the item named
  // `name` (-1 when there is none).
  static std::u16string ListItemText(HWND list, int index, int subItem);
  static int FindListItem(HWND list, std::u16string_view name);
  // The column headers a list view shows: only the detail view shows them.
  static std::vector<std::u16string> ColumnHeadersOf(HWND list);
  // A control of the foreground window (or its dialog), by "#id" or by text.
  HWND findControl(std::u16string_view textOrId) const;
  // The list view or tree view of the foreground window; null when it has none.
  HWND findList() const;
  HWND findTree() const;
  std::vector<std::u16string> listItems() const;
  std::optional<std::vector<std::u16string>> listRow(std::u16string_view name) const;
  // The column headers the list shows: only the detail view shows them.
  std::vector<std::u16string> listColumnHeaders() const;
  std::vector<std::u16string> selectedListItems() const;
  std::optional<std::u16string> selectedTreePath() const;
  // The menu bar of the foreground window (the pocket shell's, or a toolbar the
  // window owns at the bottom of the screen).
  HWND menuBarToolbar() const;
  std::vector<MenuEntryView> openMenuEntries() const;
  std::u16string clipboardText() const;

  // --- acting ---
  std::optional<UserError> tap(std::u16string_view textOrId);
  std::optional<UserError> choose(std::u16string_view id, std::u16string_view entry);
  enum class ItemGesture { Tap, DoubleTap, Hold };
  std::optional<UserError> touchItem(std::u16string_view text, ItemGesture gesture);
  std::optional<UserError> press(const KeyStroke& stroke);
  // Types text into the focused control as characters; the key state is untouched.
  std::optional<UserError> type(std::u16string_view text);
  // Raises or lowers the input panel, as its button in the menu bar does.
  void inputPanel(bool raised);
  // Opens the menu-bar item `path[0]` and chooses down the path; a menu-bar button
  // without a menu is pressed.
  std::optional<UserError> menu(const std::vector<std::u16string>& path);
  // Opens the menu-bar item and the submenus of `path` and leaves them open to be
  // looked at; dismiss() closes them.
  std::optional<UserError> openMenu(const std::vector<std::u16string>& path);
  void dismissMenu();
  // In the menu that is open, opens the submenus along `path` and chooses its last
  // item; a last item that opens a submenu is opened, and the menu stays open.
  std::optional<UserError> pick(const std::vector<std::u16string>& path);
  std::optional<UserError> ok();
  std::optional<UserError> close();
  std::optional<UserError> answer(int id);

  // --- the screen, by position (user_screen.cpp) ---
  // The frame buffer as a person sees it now: 16-bit 5-6-5 pixels, screen-sized
  // (the navigation bar's clock is brought up to the device's time first).
  const PixelBuffer& screen();
  // What is drawn at a screen pixel, in words: "BUTTON #1 \"OK\"", "navigation
  // bar: OK", "menu: 貼り付け", "input panel: key a", "desktop".
  std::u16string whatIsAt(POINT at) const;
  // The stylus at a screen pixel, through the same path as a person's: hit-testing
  // finds what is drawn there (a control, a menu item, a menu-bar button, the
  // navigation bar's OK, a key of the input panel) and it gets the tap. Fails when
  // nothing there takes taps; the device settles afterwards.
  std::optional<UserError> tapAt(POINT at);
  std::optional<UserError> doubleTapAt(POINT at);
  std::optional<UserError> holdAt(POINT at);
  // The last touch of the screen since forgetTouch() (a tap at a point, a control, an
  // item, a menu-bar button): what a step reached may not be what it aimed at.
  const std::optional<Touch>& lastTouch() const { return lastTouch_; }
  void forgetTouch() { lastTouch_.reset(); }

 private:
  // The stylus at a screen point, noted as the last touch; false when nothing there
  // takes it.
  bool touch(POINT screen, ItemGesture gesture);
  // The stylus where `hwnd` shows the client point `client`.
  bool touchWindow(HWND hwnd, POINT client, ItemGesture gesture);
  std::optional<UserError> pressMenuBarButton(std::u16string_view text, bool& opensMenu);
  std::optional<int> menuPosition(std::u16string_view text) const;

  Handheld& handheld_;
  std::optional<Touch> lastTouch_;
};

}  // namespace sim
