// What the screen shows at a pixel, as the stylus meets it: a system surface (the
// navigation bar, the input panel, an open menu, the desktop) or a window, and which
// part of the window. Input::tap goes to the same place, so whatever a test or a
// scenario finds here is what a tap there reaches.
#pragma once

#include <windows.h>

#include <string>

#include "user/nonclient.h"

namespace sim {

struct ScreenHit {
  enum class Kind { Nothing, Surface, Window };
  Kind kind = Kind::Nothing;
  HWND window = nullptr;  // the window a tap reaches: the deepest visible, enabled one there
  WindowPart part = WindowPart::Nowhere;
  std::u16string what;    // in words, for transcripts: "BUTTON #1 \"OK\"", "navigation bar: OK"
};

ScreenHit HitTestScreen(POINT screen);

}  // namespace sim
