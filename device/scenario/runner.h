// Runs a parsed scenario on a handheld and writes its transcript.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "scenario/screen_files.h"
#include "scenario/script.h"

namespace sim {
class Handheld;
}

namespace sim::scenario {

enum class Outcome { Passed = 0, Failed = 1, Malformed = 2 };

struct RunOptions {
  ScreenFiles screenFiles;  // golden images and screenshots; none by default
  // A folder for one picture of the screen after every step and an index.html that
  // shows them beside the script's `lines`, under `title`.
  std::optional<std::filesystem::path> stepScreens;
  std::vector<std::string> lines;
  std::string title;
};

// Runs `steps` in order, settling the device after each, then shuts the device
// down. Stops at the first step that does not hold or cannot be done, and at the
// first misuse of the platform by any program (a stale handle, a double destroy, a
// block freed twice, ...): the misuse is named with the step that caused it, or as
// happening at shutdown.
Outcome RunSteps(Handheld& handheld, const std::vector<Step>& steps, std::ostream& transcript,
                 const RunOptions& options = {});

}  // namespace sim::scenario
