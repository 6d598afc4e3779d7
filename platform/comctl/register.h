// The classes of the common controls, registered with the system classes.
#pragma once

namespace sim {

// Registers "SysListView32", "SysTreeView32", "COMBOBOX" and "ToolbarWindow32" as
// global system classes, once per device; calling it again does nothing.
void RegisterCommonControlClasses();

}  // namespace sim
