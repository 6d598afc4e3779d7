// The suite's images as the device installs them: the companion, the dialog library
// and the setup tool, each with its device path, entries, start-up and clean-up
// hooks, exports or imports, resources and data.
#pragma once

#include "kernel/image.h"

namespace sim {

ProgramImage BrackenwayImage();
ProgramImage VornkitImage();
ProgramImage BrackenwayConfImage();

}  // namespace sim
