// Runs a parsed scenario on a handheld and writes its transcript.
#pragma once

#include <ostream>
#include <vector>

#include "scenario/script.h"

namespace sim {
class Handheld;
}

namespace sim::scenario {

enum class Outcome { Passed = 0, Failed = 1, Malformed = 2 };

// Runs `steps` in order, settling the device after each; stops at the first
// expectation that does not hold.
Outcome RunSteps(Handheld& handheld, const std::vector<Step>& steps, std::ostream& transcript);

}  // namespace sim::scenario
