// What a tap at a screen point would reach, named the way a scenario names it, so
// that the recording replays on the same thing rather than on the same pixel: a
// list or tree item by its name, a control by its text (or its id where the text
// does not single it out), a message-box button by its answer, a menu-bar button
// or an entry of the open menu by its label, the navigation bar's OK as `ok`.
// Anything without a name is a position.
//
// What is at the point is decided by the platform's own hit-testing of the screen,
// the same that delivers the tap, so the name is of what the tap reaches: an open
// menu or a system surface above a window, never the window beneath it.
//
// Asked on the driver before the tap is delivered, since the tap may change what
// is on the screen.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace sim {
class User;
}

namespace sim::web {

// DoubleTap is the second tap of a double tap: the first came as a Tap.
enum class Gesture { Tap, DoubleTap, Hold };

struct TapName {
  enum class Kind {
    Position,       // nothing with a name: the step is a tap by position
    Named,          // the step names what it taps
    MenuBarButton,  // a menu-bar button: it may open a menu (`text` is its label)
    MenuItem,       // an entry of the open menu (`text` is its label)
  };
  Kind kind = Kind::Position;
  std::string step;  // the whole step line (a position for a menu entry)
  std::string text;  // the label, for a menu-bar button or a menu entry
  std::size_t menuLevel = 0;  // a menu entry's level: 0 for the menu the bar opened
  bool opensSubmenu = false;  // a menu entry that opens a submenu rather than being chosen
};

// The step that replays a tap by position alone.
std::string PositionStep(POINT at, Gesture gesture);
TapName NameTap(const User& user, POINT at, Gesture gesture);

}  // namespace sim::web
