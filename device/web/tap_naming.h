// What a tap at a screen point would reach, named the way a scenario names it, so
// that the recording replays on the same thing rather than on the same pixel: a
// list or tree item by its name, a control by its text (or its id where the text
// does not single it out), a menu-bar button by its label. Anything without a name
// is a position.
//
// Asked on the driver before the tap is delivered, since the tap may change what
// is on the screen.
#pragma once

#include <windows.h>

#include <string>

namespace sim {
class User;
}

namespace sim::web {

// DoubleTap is the second tap of a double tap: the first came as a Tap.
enum class Gesture { Tap, DoubleTap, Hold };

struct TapName {
  enum class Kind {
    Position,     // nothing with a name: the step is a tap by position
    Named,        // the step names what it taps
    MenuBarButton,  // a menu-bar button: it may open a menu (`text` is its label)
  };
  Kind kind = Kind::Position;
  std::string step;  // the whole step line
  std::string text;  // the label, for a menu-bar button
};

// The step that replays a tap by position alone.
std::string PositionStep(POINT at, Gesture gesture);
TapName NameTap(const User& user, POINT at, Gesture gesture);

}  // namespace sim::web
