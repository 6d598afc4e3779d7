// `handheld monkey`: see docs/monkey.md for its command line.
#pragma once

#include <string>
#include <vector>

namespace sim::monkey {

// Exit code: 0 no seed broke an invariant, 1 one did (its shortest scenario is
// written), 2 a malformed command line.
int RunMonkeyCommand(const std::vector<std::string>& args);

}  // namespace sim::monkey
