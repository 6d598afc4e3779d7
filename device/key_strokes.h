// The keys a person presses, by the names scenarios and tests use for them:
// "enter", "ctrl+c", "ctrl-down" (Control pressed and kept down), ...
#pragma once

#include <windows.h>

#include <optional>
#include <string_view>

namespace sim {

struct KeyStroke {
  enum class Kind { Press, ControlDown, ControlUp };
  Kind kind = Kind::Press;
  BYTE key = 0;              // the key pressed and released, for Press
  bool withControl = false;  // Control is held around the key
};

// Names are read ignoring case; nothing for a name no key has.
std::optional<KeyStroke> ParseKeyStroke(std::string_view name);

// Puts the stroke into the device's input as the keyboard would: key down and up,
// with Control around it when it is held.
void SendKeyStroke(const KeyStroke& stroke);

}  // namespace sim
