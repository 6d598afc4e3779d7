// The stand-in File Explorer's program image, for installing it on a device.
#pragma once

namespace sim {
struct ProgramImage;
}

sim::ProgramImage ExplorerImage();
