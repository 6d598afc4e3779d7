// The surfaces the system draws besides the windows, from the parts above the window
// system: the screen layout (user/) knows none of them.
#include "shell/shell_screen.h"
#include "user/screen_layout.h"

namespace sim {

void InstallSystemSurfaces(ScreenLayout& layout) { InstallShellSurfaces(layout); }

}  // namespace sim
