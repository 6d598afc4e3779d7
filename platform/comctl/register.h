// The classes of the common controls, registered with the system classes when the
// window system starts (boot/system_classes.cpp).
#pragma once

#include <span>

#include "user/system_classes.h"

namespace sim {

// "SysHeader32", "SysListView32", "SysTreeView32", "COMBOBOX" and "ToolbarWindow32".
std::span<const SystemClass> CommonControlClasses();

}  // namespace sim
