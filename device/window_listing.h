// The window in front as text, as the scenario step `show` prints it: its title
// and class, its visible controls with their texts, list and tree items, combo box
// entries, the menu bar, an open menu with grayed and checked marks, and an open
// message box.
#pragma once

#include <string>

#include "user.h"

namespace sim {

std::u16string ListForegroundWindow(const User& user);

}  // namespace sim
