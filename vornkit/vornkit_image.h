// The dialog library's image, for installing it on a device.
#pragma once

namespace sim {
struct ProgramImage;
}

sim::ProgramImage VornkitImage();
