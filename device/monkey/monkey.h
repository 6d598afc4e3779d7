// The monkey: random but meaningful user actions on a handheld with the whole
// suite, each a scenario step run by the scenario runner, with the device checked
// after every step:
//   - no program misused the platform, every step could be done, the device settled;
//   - no window, window procedure or timer outlives the program or thread it
//     belongs to;
//   - the files changed only as the step asked (see intents.h);
//   - a program that ended left nothing behind;
// and at the end every program closes when its windows are closed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "program_catalog.h"
#include "scenario/script.h"

namespace sim::monkey {

struct MonkeyOptions {
  std::uint64_t seed = 1;
  int steps = 100;
  int screenWidth = 240;
  int screenHeight = 320;
  // Each run boots over a fresh copy of this folder; without it, a fresh sample device.
  std::optional<std::filesystem::path> device;
  ProgramCatalog programs = StandardPrograms();
};

// A broken invariant, found after a step.
struct Violation {
  std::size_t step = 0;   // index of the step after which it was found
  std::string message;    // in words, for the report
  std::string signature;  // what a shorter run must show to count as the same failure
  // An expectation that fails on it when the scenario is replayed by `handheld run`
  // (none when the runner itself stops there: misuse, a step that cannot be done).
  std::optional<scenario::Step> check;
};

struct MonkeyRun {
  std::vector<scenario::Step> steps;  // every step that ran, the closing ones included
  std::size_t chosen = 0;             // how many of them came before the closing ones
  std::optional<Violation> violation;
};

// Runs `options.steps` chosen steps, then closes every program. `journal`, when
// given, receives each step (as a script line) before it runs, so that a run the
// host process does not survive can still be replayed.
MonkeyRun RunMonkey(const MonkeyOptions& options, std::ostream* journal = nullptr);

// Runs the given steps with the same checks, on a fresh device of the same kind,
// then closes every program as the monkey does; stops at the first violation.
MonkeyRun Replay(const MonkeyOptions& options, const std::vector<scenario::Step>& steps);

}  // namespace sim::monkey
