// Running each seed in a child process of its own, so that a run the host process
// does not survive (a sanitizer's report, a crash) is still reported and shrunk:
// the child keeps a journal of the steps it ran, and the parent shrinks that
// journal by running shorter scripts through `handheld run` in fresh processes,
// for as long as they end with the same report.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "monkey/monkey.h"

namespace sim::monkey {

// How a child ended: its exit code, or the report that ended it.
struct ChildEnd {
  bool exited = false;
  int code = 0;
  std::string crash;  // the sanitizer's summary line, or "signal N"; empty for an exit
  int lastLine = 0;   // of a script run: the line of the last step its transcript shows
};

// Runs `body` in a child process (made before any device exists in this one) and
// waits for it; the child's exit code is the body's result.
ChildEnd RunInChild(const std::function<int()>& body, const std::filesystem::path& errors);

// Shrinks the journal of a run that crashed with `crash`, writes the shortest
// script that still does to `out`, and reports.
void ShrinkCrash(const MonkeyOptions& options, const std::filesystem::path& journal, const std::string& crash,
                 const std::filesystem::path& out, std::ostream& report, int budget);

}  // namespace sim::monkey
