#include "monkey/monkey.h"

#include <map>

#include "monkey/checked_run.h"
#include "monkey/choose.h"
#include "monkey/scenario_text.h"

namespace sim::monkey {

namespace {

constexpr int kClosingSteps = 60;

// The steps a person takes to be done with whatever is in front: dismiss a menu,
// answer a message box (declining when asked), stop editing a name, let go of
// Control, close the window; a window that stays after being closed twice is
// cancelled by its Escape key, then by its menu bar's cancel.
class Closer {
 public:
  std::optional<scenario::Step> next(const ScreenView& view) {
    if (view.menuOpen) return MakeStep("key", {u"escape"});
    if (view.box && view.boxEnabled) return MakeStep("answer", {Answer(*view.box)});
    if (view.labelEditing) return MakeStep("key", {u"escape"});
    if (view.controlHeld) return MakeStep("key", {u"ctrl-up"});
    if (!view.top) return std::nullopt;
    int tries = ++tries_[view.top];
    if (tries <= 2) return MakeStep("close");
    if (tries == 3) return MakeStep("key", {u"escape"});
    for (const auto& label : view.menuBar)
      if (tries == 4 && (label == u"ｷｬﾝｾﾙ" || label == u"キャンセル")) return MakeStep("menu", {label});
    return std::nullopt;
  }

 private:
  static std::u16string Answer(const OpenMessageBox& box) {
    std::u16string answer = u"ok";
    for (const auto& button : box.buttons) {
      if (button.id == IDNO) return u"no";
      if (button.id == IDCANCEL) answer = u"cancel";
    }
    return answer;
  }

  std::map<HWND, int> tries_;
};

class Recorder {
 public:
  Recorder(MonkeyRun& run, std::ostream* journal) : run_(run), journal_(journal) {}

  void note(scenario::Step step) {
    step.line = static_cast<int>(run_.steps.size()) + 1;
    if (journal_) *journal_ << FormatStep(step) << std::endl;
    run_.steps.push_back(std::move(step));
  }

 private:
  MonkeyRun& run_;
  std::ostream* journal_;
};

std::optional<Violation> CloseEverything(CheckedRun& checked, Recorder& recorder, MonkeyRun& run) {
  Closer closer;
  for (int i = 0; i < kClosingSteps; ++i) {
    auto step = closer.next(checked.view());
    if (!step) break;
    recorder.note(*step);
    if (auto violation = checked.step(run.steps.back(), run.steps.size() - 1)) return violation;
  }
  return checked.end(run.steps.size());
}

}  // namespace

MonkeyRun RunMonkey(const MonkeyOptions& options, std::ostream* journal) {
  MonkeyRun run;
  Recorder recorder(run, journal);
  Bench bench(options);
  CheckedRun checked(bench.handheld());
  Random random(options.seed);
  if ((run.violation = checked.begin())) return run;
  for (int i = 0; i < options.steps; ++i) {
    const std::set<std::string> armed = checked.armed();
    Situation situation{checked.view(), checked.files(), armed};
    recorder.note(ChooseStep(situation, random));
    run.chosen = run.steps.size();
    if ((run.violation = checked.step(run.steps.back(), run.steps.size() - 1))) return run;
  }
  run.violation = CloseEverything(checked, recorder, run);
  return run;
}

MonkeyRun Replay(const MonkeyOptions& options, const std::vector<scenario::Step>& steps) {
  MonkeyRun run;
  Recorder recorder(run, nullptr);
  Bench bench(options);
  CheckedRun checked(bench.handheld());
  if ((run.violation = checked.begin())) return run;
  for (const auto& step : steps) {
    recorder.note(step);
    run.chosen = run.steps.size();
    if ((run.violation = checked.step(run.steps.back(), run.steps.size() - 1))) return run;
  }
  run.violation = CloseEverything(checked, recorder, run);
  return run;
}

}  // namespace sim::monkey
