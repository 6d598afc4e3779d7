// What the monkey does with a failing run: shrinks it, writes the shortest
// scenario that still fails the same way, checks that `handheld run` replays that
// scenario to a failure, and says so.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "monkey/monkey.h"

namespace sim::monkey {

struct ShrunkScenario {
  std::vector<scenario::Step> steps;  // the script's steps, the failing expectation last when there is one
  Violation violation;                // as the shortest replay found it
  int tries = 0;
  std::string replayed;               // the line of `handheld run`'s transcript that names the failure
  bool reproduces = false;            // `handheld run` fails on it
};

// Shrinks the failing `run` by replaying shorter step lists (at most `budget`).
ShrunkScenario ShrinkRun(const MonkeyOptions& options, const MonkeyRun& run, int budget);

// The script of a shrunk scenario, with comments saying where it came from.
std::string ScenarioScript(const MonkeyOptions& options, const MonkeyRun& run, const ShrunkScenario& shrunk);

// Runs the shrunk failing run, writes its scenario to `out` and reports to
// `report`; false when the scenario could not be written.
bool ReportViolation(const MonkeyOptions& options, const MonkeyRun& run, const std::filesystem::path& out,
                     std::ostream& report, int budget);

}  // namespace sim::monkey
