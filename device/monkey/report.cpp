#include "monkey/report.h"

#include <fstream>
#include <sstream>

#include "monkey/checked_run.h"
#include "monkey/scenario_text.h"
#include "monkey/shrink.h"
#include "scenario/runner.h"

namespace sim::monkey {

namespace {

std::vector<scenario::Step> Pick(const std::vector<scenario::Step>& steps, const std::vector<std::size_t>& kept) {
  std::vector<scenario::Step> picked;
  for (std::size_t index : kept) picked.push_back(steps[index]);
  return picked;
}

// The steps up to the one after which `violation` was found, then its expectation.
std::vector<scenario::Step> ScriptSteps(std::vector<scenario::Step> steps, const Violation& violation) {
  if (violation.step < steps.size()) steps.resize(violation.step + 1);
  if (violation.check) steps.push_back(*violation.check);
  return steps;
}

// Runs the script as `handheld run` does, on a fresh device of the same kind; the
// transcript line that names the failure, empty when it passed.
std::string RunAsScenario(const MonkeyOptions& options, const std::vector<scenario::Step>& steps) {
  Bench bench(options);
  std::ostringstream transcript;
  if (scenario::RunSteps(bench.handheld(), steps, transcript) == scenario::Outcome::Passed) return "";
  std::string text = transcript.str();
  std::size_t at = text.rfind("FAILED");
  return at == std::string::npos ? "FAILED" : text.substr(at, text.find('\n', at) - at);
}

}  // namespace

ShrunkScenario ShrinkRun(const MonkeyOptions& options, const MonkeyRun& run, int budget) {
  const Violation& original = *run.violation;
  // Nothing after the failing step matters. A failure found while closing comes
  // from the chosen steps: every replay closes the programs again its own way.
  std::size_t count = std::min(original.step + 1, run.chosen);
  std::vector<scenario::Step> steps(run.steps.begin(), run.steps.begin() + static_cast<std::ptrdiff_t>(count));
  ShrunkScenario shrunk{steps, original};
  auto stillFails = [&](const std::vector<std::size_t>& kept) -> std::optional<std::size_t> {
    MonkeyRun replay = Replay(options, Pick(steps, kept));
    if (!replay.violation || replay.violation->signature != original.signature) return std::nullopt;
    return std::min(replay.violation->step + 1, replay.chosen);
  };
  ShrinkResult result = Shrink(steps.size(), stillFails, budget);
  // The shortest run once more, for its own steps (closing ones included) and the
  // step its failure comes after.
  MonkeyRun shortest = Replay(options, Pick(steps, result.kept));
  if (shortest.violation && shortest.violation->signature == original.signature) {
    shrunk.violation = *shortest.violation;
    shrunk.steps = Renumbered(ScriptSteps(shortest.steps, shrunk.violation));
  } else {
    shrunk.steps = Renumbered(ScriptSteps(steps, original));
  }
  shrunk.tries = result.tries + 1;
  shrunk.replayed = RunAsScenario(options, shrunk.steps);
  shrunk.reproduces = !shrunk.replayed.empty();
  return shrunk;
}

std::string ScenarioScript(const MonkeyOptions& options, const MonkeyRun& run, const ShrunkScenario& shrunk) {
  std::vector<std::string> comments{
      "Found by the monkey: handheld monkey --seed " + std::to_string(options.seed) + " --steps " +
          std::to_string(options.steps),
      "after step " + std::to_string(run.violation->step + 1) + " of " + std::to_string(run.steps.size()) + ": " +
          run.violation->message,
      "shrunk to " + std::to_string(shrunk.steps.size()) + " steps in " + std::to_string(shrunk.tries) + " replays",
      shrunk.reproduces ? "handheld run: " + shrunk.replayed : "handheld run does not fail on this script",
  };
  std::vector<scenario::Step> steps = shrunk.steps;
  if (options.screenWidth != 240 || options.screenHeight != 320) {
    scenario::Step screen;
    screen.word = "screen";
    screen.args = {std::to_string(options.screenWidth), std::to_string(options.screenHeight)};
    steps.insert(steps.begin(), screen);
  }
  return FormatScenario(comments, steps);
}

bool ReportViolation(const MonkeyOptions& options, const MonkeyRun& run, const std::filesystem::path& out,
                     std::ostream& report, int budget) {
  report << "monkey: seed " << options.seed << " step " << run.violation->step + 1 << ": " << run.violation->message
         << "\n";
  ShrunkScenario shrunk = ShrinkRun(options, run, budget);
  std::ofstream file(out, std::ios::binary);
  file << ScenarioScript(options, run, shrunk);
  if (!file) {
    report << "monkey: cannot write " << out.string() << "\n";
    return false;
  }
  report << "monkey: shortest scenario (" << shrunk.steps.size() << " steps, " << shrunk.tries << " replays): "
         << out.string() << "\n";
  report << "monkey: " << (shrunk.reproduces ? "handheld run replays it: " + shrunk.replayed
                                             : std::string("handheld run does not fail on it"))
         << "\n";
  return true;
}

}  // namespace sim::monkey
