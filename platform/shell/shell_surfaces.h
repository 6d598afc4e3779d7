// The shell's surfaces, made once per device by InstallShellSurfaces.
#pragma once

#include <memory>

#include "user/screen_layout.h"

namespace sim {

std::unique_ptr<SystemSurface> MakeNavigationBar();
std::unique_ptr<SystemSurface> MakeInputPanel();
std::unique_ptr<SystemSurface> MakeDesktop();

}  // namespace sim
