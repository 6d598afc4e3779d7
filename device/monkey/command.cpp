#include "monkey/command.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "monkey/monkey.h"
#include "monkey/report.h"
#include "monkey/supervise.h"
#include "scenario/arguments.h"
#include "scenario/script.h"

namespace sim::monkey {

namespace fsys = std::filesystem;

namespace {

constexpr int kShrinkBudget = 300;

struct Command {
  MonkeyOptions options;
  std::uint64_t seeds = 1;
  fsys::path out = ".";
  std::optional<fsys::path> journal;  // where each run's steps are kept
  bool keepGoing = false;             // every seed runs, whatever the earlier ones found
  std::optional<fsys::path> shrink;   // a script to replay with the monkey's checks and shrink
};

int Usage() {
  std::cerr << "usage: handheld monkey --seed S --steps N [--seeds K] [--screen W H] [--device DIR] [--out DIR] [--journal DIR] [--keep-going]\n"
               "       handheld monkey --shrink FILE.scn [--screen W H] [--device DIR] [--out DIR]\n";
  return 2;
}

template <class T>
bool Take(const std::vector<std::string>& args, std::size_t& i, T& value) {
  if (i + 1 >= args.size()) return false;
  auto parsed = scenario::ParseInteger<T>(args[++i]);
  if (!parsed) return false;
  value = *parsed;
  return true;
}

bool ScreenSide(int side) { return side >= scenario::kMinScreenSide && side <= scenario::kMaxScreenSide; }

std::optional<Command> Parse(const std::vector<std::string>& args) {
  Command command;
  bool seed = false, steps = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& name = args[i];
    bool ok = false;
    if (name == "--seed") ok = seed = Take(args, i, command.options.seed);
    if (name == "--steps") ok = steps = Take(args, i, command.options.steps) && command.options.steps >= 0;
    if (name == "--seeds") ok = Take(args, i, command.seeds) && command.seeds > 0;
    if (name == "--screen")
      ok = Take(args, i, command.options.screenWidth) && Take(args, i, command.options.screenHeight) &&
           ScreenSide(command.options.screenWidth) && ScreenSide(command.options.screenHeight);
    if ((name == "--device" || name == "--journal") && i + 1 < args.size()) {
      (name == "--device" ? command.options.device : command.journal) = args[++i];
      ok = true;
    }
    if (name == "--keep-going") ok = command.keepGoing = true;
    if (name == "--shrink" && i + 1 < args.size()) {
      command.shrink = args[++i];
      ok = seed = steps = true;
    }
    if (name == "--out" && i + 1 < args.size()) {
      command.out = args[++i];
      ok = true;
    }
    if (!ok) return std::nullopt;
  }
  if (!seed || !steps) return std::nullopt;
  if (command.options.device && !fsys::is_directory(*command.options.device)) return std::nullopt;
  return command;
}

// One seed in a child process; true when no invariant broke.
bool RunSeed(const MonkeyOptions& options, const Command& command) {
  const std::string stem = "monkey-seed-" + std::to_string(options.seed);
  const fsys::path journal = command.journal ? *command.journal / (stem + ".steps.scn")
                                             : fsys::temp_directory_path() / (stem + "-" + std::to_string(::getpid()) + ".scn");
  const fsys::path errors = fsys::path(journal).replace_extension(".err");
  const fsys::path scenario = command.out / (stem + ".scn");
  ChildEnd end = RunInChild(
      [&] {
        std::ofstream log(journal, std::ios::binary);
        MonkeyRun run = RunMonkey(options, &log);
        std::cout << "monkey: seed " << options.seed << ": " << run.steps.size() << " steps";
        if (!run.violation) {
          std::cout << ", every invariant held\n";
          return 0;
        }
        std::cout << "\n";
        ReportViolation(options, run, scenario, std::cout, kShrinkBudget);
        return 1;
      },
      errors);
  bool held = end.exited && end.code == 0;
  if (!end.crash.empty()) {
    std::cout << "monkey: seed " << options.seed << ": the run crashed: " << end.crash << "\n";
    ShrinkCrash(options, journal, end.crash, scenario, std::cout, kShrinkBudget / 3);
  } else if (end.exited && end.code != 0 && end.code != 1) {
    std::cout << "monkey: seed " << options.seed << ": the run ended with code " << end.code << "\n";
  }
  std::error_code ignored;
  if (!command.journal) fsys::remove(journal, ignored);
  fsys::remove(errors, ignored);
  return held;
}

// Replays a script's steps (its expectations left out) with the monkey's checks,
// and shrinks what breaks.
int ShrinkScript(const Command& command) {
  std::ifstream in(*command.shrink, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  auto parsed = scenario::ParseScript(text.str());
  if (!in || !std::holds_alternative<std::vector<scenario::Step>>(parsed)) return Usage();
  std::vector<scenario::Step> steps;
  for (auto& step : std::get<std::vector<scenario::Step>>(parsed))
    if (!step.word.starts_with("expect ") && step.word != "screen") steps.push_back(step);
  MonkeyRun run = Replay(command.options, steps);
  std::cout << "monkey: " << command.shrink->string() << ": " << run.steps.size() << " steps";
  if (!run.violation) {
    std::cout << ", every invariant held\n";
    return 0;
  }
  std::cout << "\n";
  fsys::path out = command.out / (command.shrink->stem().string() + ".shrunk.scn");
  ReportViolation(command.options, run, out, std::cout, kShrinkBudget);
  return 1;
}

}  // namespace

int RunMonkeyCommand(const std::vector<std::string>& args) {
  auto command = Parse(args);
  if (!command) return Usage();
  if (command->shrink) return ShrinkScript(*command);
  std::uint64_t broken = 0;
  for (std::uint64_t i = 0; i < command->seeds && (command->keepGoing || broken == 0); ++i) {
    MonkeyOptions options = command->options;
    options.seed += i;
    broken += RunSeed(options, *command) ? 0 : 1;
  }
  if (command->seeds > 1)
    std::cout << "monkey: " << command->seeds << " seeds from " << command->options.seed << ", " << broken
              << " broke an invariant\n";
  return broken == 0 ? 0 : 1;
}

}  // namespace sim::monkey
