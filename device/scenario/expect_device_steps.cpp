// Expectations of what is on the device: files and shortcuts, the clipboard, the
// log of started programs, the caller program's result, and processes.
#include <windows.h>

#include "device_checks.h"
#include "kernel/process.h"
#include "scenario/device_files.h"
#include "scenario/session.h"
#include "scenario/steps.h"

namespace sim::scenario {

namespace {

// The starts not matched yet, the caller program's left out.
std::vector<const StartRecord*> UnmatchedStarts(Session& session) {
  std::vector<const StartRecord*> starts;
  const auto& log = session.device().service<ProcessTable>().startLog();
  for (std::size_t i = session.matchedStarts; i < log.size(); ++i)
    if (!SameIgnoringCase(log[i].application, kCallerProgramPath)) starts.push_back(&log[i]);
  return starts;
}

void MarkMatched(Session& session, const StartRecord* record) {
  const auto& log = session.device().service<ProcessTable>().startLog();
  session.matchedStarts = static_cast<std::size_t>(record - log.data()) + 1;
}

std::string Described(const StartRecord& start) {
  std::string what = Quote(start.application) + " " + Quote(start.commandLine);
  if (start.error) what = "a failed start of " + what + " (error " + std::to_string(start.error) + ")";
  return what;
}

// Matches the earliest unmatched start against PATH [CMDLINE], a start that worked
// or, with `failed`, one that failed.
StepResult MatchStart(Session& session, const Step& step, bool failed) {
  const std::string wanted = (failed ? "a failed start of " : "a start of ") + step.args[0];
  auto starts = UnmatchedStarts(session);
  if (starts.empty()) return "expected " + wanted + ", found no start";
  const StartRecord* first = starts.front();
  if (!SameIgnoringCase(first->application, Arg(step, 0)) || (first->error != 0) != failed)
    return "expected " + wanted + ", found " + Described(*first);
  if (step.args.size() > 1 && first->commandLine != Arg(step, 1))
    return "expected the command line " + Quote(Arg(step, 1)) + ", found " + Quote(first->commandLine);
  MarkMatched(session, first);
  return std::nullopt;
}

std::vector<Process*> ProcessesOf(Session& session, const std::u16string& path, bool running) {
  std::vector<Process*> found;
  for (const auto& process : session.device().service<ProcessTable>().processes())
    if (SameIgnoringCase(process->imagePath, path) && process->ended != running) found.push_back(process.get());
  return found;
}

}  // namespace

StepResult ExpectFile(Session&, const Step& step) {
  DWORD attributes = GetFileAttributesW(Arg(step, 0).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return "expected the file " + step.args[0] + ", found none";
  if (step.args.size() < 2) return std::nullopt;
  auto bytes = ReadWholeFile(Arg(step, 0));
  if (bytes && *bytes == step.args[1]) return std::nullopt;
  return "expected the file " + step.args[0] + " to hold \"" + step.args[1] + "\", found \"" + bytes.value_or("") + "\"";
}

StepResult ExpectNoFile(Session&, const Step& step) {
  if (GetFileAttributesW(Arg(step, 0).c_str()) == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return "expected nothing at " + step.args[0] + ", found something";
}

StepResult ExpectFolder(Session&, const Step& step) {
  DWORD attributes = GetFileAttributesW(Arg(step, 0).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
  return "expected the folder " + step.args[0] + ", found none";
}

StepResult ExpectShortcut(Session&, const Step& step) {
  std::u16string path = Arg(step, 0);
  WCHAR target[MAX_PATH] = {};
  if (!SHGetShortcutTarget(path.data(), target, MAX_PATH)) return "expected the shortcut " + step.args[0] + ", found none";
  if (std::u16string(target) == Arg(step, 1)) return std::nullopt;
  return "expected the shortcut " + step.args[0] + " to point to " + Quote(Arg(step, 1)) + ", found " + Quote(target);
}

StepResult ExpectClipboard(Session& session, const Step& step) {
  std::u16string wanted;
  for (std::size_t i = 0; i < step.args.size(); ++i) wanted += (i ? u"\n" : u"") + Arg(step, i);
  std::u16string found = session.user.clipboardText();
  if (found == wanted) return std::nullopt;
  return "expected the clipboard text " + Quote(wanted) + ", found " + Quote(found);
}

StepResult ExpectStarted(Session& session, const Step& step) { return MatchStart(session, step, false); }
StepResult ExpectStartFailed(Session& session, const Step& step) { return MatchStart(session, step, true); }

StepResult ExpectNoStart(Session& session, const Step&) {
  auto starts = UnmatchedStarts(session);
  if (starts.empty()) return std::nullopt;
  return "expected no further start, found " + Described(*starts.front());
}

StepResult ExpectChosen(Session& session, const Step& step) {
  const auto& chosen = session.chosen;
  if (!chosen) return std::string("no chooser was called");
  if (!chosen->done) return std::string("the chooser has not returned");
  if (chosen->result != ParseInteger<int>(step.args[0]))
    return "expected the result " + step.args[0] + ", found " + std::to_string(chosen->result);
  if (step.args.size() > 1 && chosen->path != Arg(step, 1))
    return "expected the path " + Quote(Arg(step, 1)) + ", found " + Quote(chosen->path);
  return std::nullopt;
}

StepResult ExpectRunning(Session& session, const Step& step) {
  if (!ProcessesOf(session, Arg(step, 0), true).empty()) return std::nullopt;
  return "expected " + step.args[0] + " to run, but it does not";
}

StepResult ExpectNotRunning(Session& session, const Step& step) {
  if (ProcessesOf(session, Arg(step, 0), true).empty()) return std::nullopt;
  return "expected " + step.args[0] + " not to run, but it does";
}

StepResult ExpectEnded(Session& session, const Step& step) {
  auto ended = ProcessesOf(session, Arg(step, 0), false);
  if (ended.empty()) return "expected " + step.args[0] + " to have ended, but none has";
  if (step.args.size() < 2) return std::nullopt;
  DWORD code = ParseInteger<DWORD>(step.args[1]).value();
  for (Process* process : ended)
    if (process->exitCode == code) return std::nullopt;
  return "expected " + step.args[0] + " to end with " + step.args[1] + ", found " + std::to_string(ended.back()->exitCode);
}

namespace {

// The first problem found and how many more there are, in words.
StepResult FirstOf(const std::vector<std::string>& problems) {
  if (problems.empty()) return std::nullopt;
  std::string text = problems.front();
  if (problems.size() > 1) text += " (and " + std::to_string(problems.size() - 1) + " more)";
  return text;
}

}  // namespace

StepResult ExpectNoOrphans(Session& session, const Step&) { return FirstOf(FindOrphans(session.device())); }
StepResult ExpectNoLeaks(Session& session, const Step&) { return FirstOf(FindLeaks(session.device())); }

}  // namespace sim::scenario
