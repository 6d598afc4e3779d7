#include "scenario/runner.h"

#include <memory>

#include "scenario/screen_album.h"

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

// A whole scenario through the step runner, with a picture of the screen after
// every step when the options ask for them.
class Runner {
 public:
  Runner(Handheld& handheld, std::ostream& transcript, const RunOptions& options) : steps_(handheld, transcript) {
    steps_.session().screenFiles = options.screenFiles;
    if (options.stepScreens)
      album_ = std::make_unique<StepAlbum>(*options.stepScreens, options.title, options.lines);
  }

  Outcome run(const std::vector<Step>& steps) {
    Outcome outcome = runAll(steps);
    if (!album_) return outcome;
    if (auto problem = album_->finish(verdict_)) return failed("when the screens were written", *problem);
    return outcome;
  }

 private:
  Outcome runAll(const std::vector<Step>& steps) {
    if (album_)
      if (auto problem = album_->open()) return failed("before the first step", *problem);
    if (auto misuse = steps_.begin()) return failed("before the first step", *misuse);
    for (const Step& step : steps) {
      const std::string where = "at line " + std::to_string(step.line);
      StepResult problem = steps_.run(step);
      if (album_)
        if (auto unkept = album_->keep(step, steps_.session().user.screen(), problem); unkept && !problem)
          problem = unkept;
      if (problem) return failed(where, *problem);
    }
    if (auto misuse = steps_.finish()) return failed("when the handheld shut down", *misuse);
    verdict_ = "PASSED (" + std::to_string(steps.size()) + " steps)";
    steps_.session().transcript << verdict_ << "\n";
    return Outcome::Passed;
  }

  Outcome failed(const std::string& where, const std::string& problem) {
    verdict_ = "FAILED " + where + ": " + problem;
    steps_.session().transcript << verdict_ << "\n";
    return Outcome::Failed;
  }

  StepRunner steps_;
  std::unique_ptr<StepAlbum> album_;
  std::string verdict_;
};

}  // namespace

Outcome RunSteps(Handheld& handheld, const std::vector<Step>& steps, std::ostream& transcript,
                 const RunOptions& options) {
  return Runner(handheld, transcript, options).run(steps);
}

}  // namespace sim::scenario
