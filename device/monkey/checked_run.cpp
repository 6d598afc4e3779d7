#include "monkey/checked_run.h"

#include <regex>
#include <span>
#include <stdexcept>
#include <system_error>

#include "device_checks.h"
#include "kernel/fault_operations.h"
#include "kernel/process.h"
#include "monkey/names.h"
#include "scenario/session.h"
#include "shell/shortcut.h"
#include "text/utf.h"
#include "user/window.h"

namespace sim::monkey {

namespace fsys = std::filesystem;

namespace {

fsys::path CopyFolder(const fsys::path& source) {
  std::string name = (fsys::temp_directory_path() / "monkey-XXXXXX").string();
  if (!::mkdtemp(name.data())) throw std::runtime_error("cannot make a temporary folder for the device copy");
  fsys::copy(source, name, fsys::copy_options::recursive | fsys::copy_options::copy_symlinks);
  return name;
}

// Handles and counts differ between a run and its shorter replays; what failed does not.
std::string Signature(const std::string& kind, const std::string& text) {
  static const std::regex kHandles("0x[0-9A-Fa-f]+");
  static const std::regex kCounts("[0-9]+ ");
  std::string stable = std::regex_replace(text, kHandles, "0x?");
  if (kind == "leak") stable = std::regex_replace(stable, kCounts, "");
  return kind + "|" + stable;
}

Violation Found(std::size_t index, const std::string& kind, const std::string& message,
                std::optional<scenario::Step> check = std::nullopt) {
  return Violation{index, message, Signature(kind, message), std::move(check)};
}

scenario::Step Check(std::string word, const std::vector<std::u16string>& args = {}) {
  scenario::Step step;
  step.word = std::move(word);
  for (const auto& arg : args) step.args.push_back(scenario::Narrow(arg));
  return step;
}

// An expectation that holds before the change and fails after it.
std::optional<scenario::Step> CheckOf(const FileChange& change) {
  if (!change.before) return Check("expect no-file", {change.after->path});
  const FileEntry& old = *change.before;
  if (!change.after || old.folder) return Check(old.folder ? "expect folder" : "expect file", {old.path});
  auto bytes = std::span(reinterpret_cast<const unsigned char*>(old.bytes.data()), old.bytes.size());
  if (auto target = DecodeShortcut(bytes); target && Writable(*target)) return Check("expect shortcut", {old.path, *target});
  auto text = Utf8ToUtf16(old.bytes);
  if (old.size <= FileEntry::kKeptBytes && text && Writable(*text)) return Check("expect file", {old.path, *text});
  return std::nullopt;
}

// The windows a process still has, for the report of a program that does not end.
std::string WindowsOf(const Process& process) {
  std::string text;
  if (!Device::current().findService<WindowSystem>()) return text;
  for (Window* window : WindowSystem::get().windowsOfProcess(&process)) {
    if (window->isChild()) continue;
    text += text.empty() ? "; its windows:" : ",";
    text += " " + Utf16ToUtf8Replacing(window->windowClass->name).text + " '" + Utf16ToUtf8Replacing(window->text).text +
            "'" + (WindowSystem::get().visible(*window) ? "" : " (hidden)") + (window->handle == GetForegroundWindow() ? " (in front)" : "");
  }
  return text;
}

}  // namespace

Bench::Bench(const MonkeyOptions& options) {
  HandheldOptions handheld;
  handheld.device.screenWidth = options.screenWidth;
  handheld.device.screenHeight = options.screenHeight;
  handheld.programs = options.programs;
  if (options.device) {
    copy_ = CopyFolder(*options.device);
    handheld.folder = copy_;
  }
  handheld_ = std::make_unique<Handheld>(std::move(handheld));
}

Bench::~Bench() {
  handheld_.reset();
  std::error_code ignored;
  if (copy_) fsys::remove_all(*copy_, ignored);
}

CheckedRun::CheckedRun(Handheld& handheld) : handheld_(handheld), runner_(handheld, silent_) {}

std::set<std::string> CheckedRun::armed() const {
  std::set<std::string> names;
  for (const auto& operation : kFaultOperations)
    if (handheld_.device().faults().armed(operation.name)) names.emplace(operation.name);
  return names;
}

std::optional<Violation> CheckedRun::begin() {
  if (auto misuse = runner_.begin()) return Found(0, "misuse", *misuse);
  files_ = FileSnapshot::Take(handheld_.folder(), digests_);
  view_ = Look(runner_.session().user);
  return std::nullopt;
}

std::optional<Violation> CheckedRun::step(const scenario::Step& step, std::size_t index) {
  const bool armed = failureArmed();
  Allowance allowance = intents_.before(step, view_, files_, armed);
  User& user = runner_.session().user;
  user.forgetTouch();
  if (auto violation = runStep(step, index)) return violation;
  const scenario::Step reached = ReachedStep(step, view_, user.lastTouch());
  if (Touches(step)) intents_.touched(reached, view_, files_, armed, allowance);
  if (auto violation = checkFiles(allowance, index)) return violation;
  ScreenView before = std::move(view_);
  view_ = Look(user);
  intents_.after(reached, before, view_);
  return checkDevice(index);
}

std::optional<Violation> CheckedRun::runStep(const scenario::Step& step, std::size_t index) {
  const auto& faults = handheld_.device().faults().programFaults();
  const std::size_t seen = faults.size();
  scenario::StepResult problem;
  try {
    problem = runner_.run(step);
  } catch (const std::exception& error) {
    return Found(index, "internal", std::string("the step stopped on an internal error: ") + error.what());
  }
  if (faults.size() > seen) {
    const ProgramFault& fault = faults[seen];
    return Violation{index, *problem, "misuse|" + fault.program + "|" + fault.call + "|" + fault.problem, std::nullopt};
  }
  if (!problem) return std::nullopt;
  if (problem->starts_with("the device did not settle")) return Found(index, "settle", *problem);
  return Found(index, "action", "the step could not be done: " + *problem);
}

std::optional<Violation> CheckedRun::checkFiles(const Allowance& allowance, std::size_t index) {
  FileSnapshot after = FileSnapshot::Take(handheld_.folder(), digests_);
  auto changes = Compare(files_, after);
  if (auto violation = CheckChanges(changes, allowance, files_, after))
    return Found(index, "files", violation->problem, CheckOf(violation->change));
  files_ = std::move(after);
  return std::nullopt;
}

std::optional<Violation> CheckedRun::checkDevice(std::size_t index) {
  auto orphans = FindOrphans(handheld_.device());
  if (!orphans.empty()) return Found(index, "orphan", orphans.front(), Check("expect no-orphans"));
  auto leaks = FindLeaks(handheld_.device());
  if (!leaks.empty()) return Found(index, "leak", leaks.front(), Check("expect no-leaks"));
  return std::nullopt;
}

std::optional<Violation> CheckedRun::end(std::size_t index) {
  for (const auto& process : handheld_.device().service<ProcessTable>().processes()) {
    if (process->ended) continue;
    std::string name = process->programName();
    return Found(index, "running", name + " still runs after every window in front was closed" + WindowsOf(*process),
                 Check("expect not-running", {process->imagePath}));
  }
  if (auto misuse = runner_.finish()) return Found(index, "misuse", *misuse);
  return std::nullopt;
}

}  // namespace sim::monkey
