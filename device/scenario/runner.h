// Runs a parsed scenario on a handheld and writes its transcript.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "scenario/screen_files.h"
#include "scenario/script.h"
#include "scenario/session.h"
#include "scenario/words.h"

namespace sim {
class Handheld;
}

namespace sim::scenario {

enum class Outcome { Passed = 0, Failed = 1, Malformed = 2 };

// Runs steps one at a time the way a scenario runs them: each step, then the
// device settles, then any misuse of the platform it caused is looked for. Misuse
// comes first in what a step reports, since whatever else went wrong after it may be
// its consequence. The monkey drives the device through this same runner.
class StepRunner {
 public:
  StepRunner(Handheld& handheld, std::ostream& transcript) : session_(handheld, transcript) {}

  // Lets the device settle after booting; misuse before the first step.
  StepResult begin();
  // Runs one step (echoing it to the transcript), then settles the device.
  StepResult run(const Step& step);
  // Shuts the device down; misuse while its programs are ended.
  StepResult finish();

  Session& session() { return session_; }

 private:
  StepResult newMisuse();

  Session session_;
  std::size_t faultsSeen_ = 0;
};

// A step as the transcript echoes it.
std::string Echo(const Step& step);

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
