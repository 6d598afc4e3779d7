// The `handheld` command line: `handheld run FILE.scn [--device DIR]`, and with no
// arguments the guided tour on a fresh sample device.
#pragma once

namespace sim::scenario {

// Exit code: 0 every expectation held, 1 one did not, 2 a malformed script or
// command line.
int RunCommand(int argc, char** argv);

}  // namespace sim::scenario
