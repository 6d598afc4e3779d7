#include "scenario/runner.h"

namespace sim::scenario {

std::string Echo(const Step& step) {
  std::string line = "  " + std::to_string(step.line) + ": " + step.word;
  for (const auto& arg : step.args)
    line += " " + (arg.find(' ') == std::string::npos && !arg.empty() ? arg : "'" + arg + "'");
  return line;
}

StepResult StepRunner::begin() {
  session_.user.settle();
  return newMisuse();
}

StepResult StepRunner::run(const Step& step) {
  session_.transcript << Echo(step) << "\n";
  StepResult problem = FindWord(step.word)->run(session_, step);
  if (auto misuse = newMisuse()) return misuse;
  if (problem) return problem;
  if (!session_.user.settle()) {
    if (auto misuse = newMisuse()) return misuse;
    return std::string("the device did not settle within an hour of device time");
  }
  return newMisuse();
}

StepResult StepRunner::finish() {
  session_.device().shutdown();
  return newMisuse();
}

// The first misuse recorded since the last look, in words.
StepResult StepRunner::newMisuse() {
  const auto& faults = session_.device().faults().programFaults();
  if (faults.size() <= faultsSeen_) return std::nullopt;
  const ProgramFault& first = faults[faultsSeen_];
  std::size_t more = faults.size() - faultsSeen_ - 1;
  faultsSeen_ = faults.size();
  std::string text = "misuse of the platform by " + first.description();
  if (more) text += " (and " + std::to_string(more) + " more)";
  return text;
}

namespace {

Outcome Failed(std::ostream& transcript, const std::string& where, const std::string& problem) {
  transcript << "FAILED " << where << ": " << problem << "\n";
  return Outcome::Failed;
}

}  // namespace

Outcome RunSteps(Handheld& handheld, const std::vector<Step>& steps, std::ostream& transcript) {
  StepRunner runner(handheld, transcript);
  if (auto misuse = runner.begin()) return Failed(transcript, "before the first step", *misuse);
  for (const Step& step : steps)
    if (auto problem = runner.run(step)) return Failed(transcript, "at line " + std::to_string(step.line), *problem);
  if (auto misuse = runner.finish()) return Failed(transcript, "when the handheld shut down", *misuse);
  transcript << "PASSED (" << steps.size() << " steps)\n";
  return Outcome::Passed;
}

}  // namespace sim::scenario
