// The programs a handheld installs when it boots.
//
// Each deliverable contributes one entry that makes its program image; booting
// installs every image in the kernel's image registry and puts a file at the
// image's path, so the file system shows the installed program as the device
// would.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "kernel/image.h"

namespace sim {

struct ProgramSource {
  std::string name;                        // for listings and messages
  std::function<ProgramImage()> makeImage;
};

using ProgramCatalog = std::vector<ProgramSource>;

// The deliverables built into this handheld, in installation order.
ProgramCatalog StandardPrograms();

}  // namespace sim
