// The pocket shell's menu bar records (RCDATA resources): the id of the menu whose
// popups the buttons open, the button count, then per button seven 16-bit values:
// image, command, state, style, string id, the button's menu id, submenu index.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "text/result.h"

namespace sim {

struct MenuBarButtonTemplate {
  int image = 0;           // -2: no image (I_IMAGENONE)
  std::uint16_t command = 0;
  std::uint8_t state = 0;  // TBSTATE_*
  std::uint8_t style = 0;  // TBSTYLE_*
  std::uint16_t stringId = 0;  // 0: no label
  std::uint16_t buttonMenuId = 0;
  int subMenu = -1;        // index of the popup in the menu; -1 (NOMENU): none
};

struct MenuBarTemplate {
  std::uint16_t menuId = 0;
  std::vector<MenuBarButtonTemplate> buttons;
};

// Refuses a record shorter than its button count says; extra trailing bytes (the
// resource compiler pads to 4 bytes) are allowed.
Result<MenuBarTemplate> ParseMenuBarTemplate(std::span<const unsigned char> bytes);

}  // namespace sim
