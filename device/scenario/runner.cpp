#include "scenario/runner.h"

#include "scenario/session.h"
#include "scenario/words.h"

namespace sim::scenario {

namespace {

std::string Echo(const Step& step) {
  std::string line = "  " + std::to_string(step.line) + ": " + step.word;
  for (const auto& arg : step.args)
    line += " " + (arg.find(' ') == std::string::npos && !arg.empty() ? arg : "'" + arg + "'");
  return line;
}

class Runner {
 public:
  Runner(Handheld& handheld, std::ostream& transcript) : session_(handheld, transcript) {}

  Outcome run(const std::vector<Step>& steps) {
    session_.user.settle();
    if (auto misuse = newMisuse()) return failed("before the first step", *misuse);
    for (const Step& step : steps) {
      session_.transcript << Echo(step) << "\n";
      const std::string where = "at line " + std::to_string(step.line);
      if (auto problem = runStep(step)) return failed(where, *problem);
    }
    session_.device().shutdown();
    if (auto misuse = newMisuse()) return failed("when the handheld shut down", *misuse);
    session_.transcript << "PASSED (" << steps.size() << " steps)\n";
    return Outcome::Passed;
  }

 private:
  // Runs the step and lets the device settle; misuse caused on the way comes first,
  // since whatever went wrong after it may be its consequence.
  StepResult runStep(const Step& step) {
    StepResult problem = FindWord(step.word)->run(session_, step);
    if (auto misuse = newMisuse()) return misuse;
    if (problem) return problem;
    if (!session_.user.settle()) {
      if (auto misuse = newMisuse()) return misuse;
      return std::string("the device did not settle within an hour of device time");
    }
    return newMisuse();
  }

  // The first misuse recorded since the last look, in words.
  StepResult newMisuse() {
    const auto& faults = session_.device().faults().programFaults();
    if (faults.size() <= faultsSeen_) return std::nullopt;
    const ProgramFault& first = faults[faultsSeen_];
    std::size_t more = faults.size() - faultsSeen_ - 1;
    faultsSeen_ = faults.size();
    std::string text = "misuse of the platform by " + first.description();
    if (more) text += " (and " + std::to_string(more) + " more)";
    return text;
  }

  Outcome failed(const std::string& where, const std::string& problem) {
    session_.transcript << "FAILED " << where << ": " << problem << "\n";
    return Outcome::Failed;
  }

  Session session_;
  std::size_t faultsSeen_ = 0;
};

}  // namespace

Outcome RunSteps(Handheld& handheld, const std::vector<Step>& steps, std::ostream& transcript) {
  return Runner(handheld, transcript).run(steps);
}

}  // namespace sim::scenario
