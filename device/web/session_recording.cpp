// The recording and its expectations: each helper looks at what the screen (or
// the device) shows now, writes the expectation a scenario would hold for it, and
// runs that expectation once before keeping it, so that only what holds is kept.
#include <windows.h>

#include "scenario/device_files.h"
#include "scenario/words.h"
#include "user.h"
#include "user/hit_test.h"
#include "user/msgbox.h"
#include "web/json.h"
#include "web/web_session.h"

namespace sim::web {

namespace {

using scenario::Narrow;
using scenario::Wide;

constexpr std::size_t kMaxExpectedFileBytes = 256;

std::vector<std::string> Narrowed(const std::vector<std::u16string>& texts) {
  std::vector<std::string> out;
  for (const auto& text : texts) out.push_back(Narrow(text));
  return out;
}

// The control a tap at the point reaches, as the screen's hit-testing finds it:
// nothing when a menu or a surface of the system lies above it.
HWND ControlAt(POINT at) {
  ScreenHit hit = HitTestScreen(at);
  if (hit.kind != ScreenHit::Kind::Window || !(GetWindowLongW(hit.window, GWL_STYLE) & WS_CHILD)) return nullptr;
  return hit.window;
}

std::optional<std::string> WindowExpectation(const User& user) {
  HWND top = user.foreground();
  if (!top) return std::nullopt;
  std::u16string title = User::TextOf(top);
  return StepLine("expect window", {Narrow(title.empty() ? User::ClassOf(top) : title)});
}

std::optional<std::string> TextExpectation(std::optional<POINT> at) {
  HWND control = at ? ControlAt(*at) : nullptr;
  int id = control ? GetDlgCtrlID(control) : 0;
  if (id <= 0 || id > 0xFFFF) return std::nullopt;
  return StepLine("expect text", {"#" + std::to_string(id), Narrow(User::TextOf(control))});
}

std::optional<std::string> MessageExpectation() {
  const OpenMessageBox* box = MessageBoxes::get().top();
  if (!box) return std::nullopt;
  return StepLine("expect message", {Narrow(box->text), Narrow(box->caption)});
}

std::optional<std::string> FileExpectation(const std::string& path) {
  std::u16string wide = Wide(path);
  DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return StepLine("expect no-file", {path});
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return StepLine("expect folder", {path});
  if (wide.size() > 4 && _wcsicmp(wide.c_str() + wide.size() - 4, u".lnk") == 0) {
    WCHAR target[MAX_PATH] = {};
    if (SHGetShortcutTarget(wide.data(), target, MAX_PATH)) return StepLine("expect shortcut", {path, Narrow(target)});
  }
  auto bytes = scenario::ReadWholeFile(wide);
  if (bytes && bytes->size() <= kMaxExpectedFileBytes)
    if (auto line = StepLine("expect file", {path, *bytes})) return line;
  return StepLine("expect file", {path});
}

}  // namespace

std::optional<std::string> WebSession::runStep(const std::string& line, bool settle) {
  auto parsed = scenario::ParseScript(line);
  if (auto* error = std::get_if<scenario::ScriptError>(&parsed)) return error->message;
  auto& steps = std::get<std::vector<scenario::Step>>(parsed);
  if (steps.size() != 1) return std::string("not one step");
  auto problem = scenario::FindWord(steps[0].word)->run(scenario_, steps[0]);
  if (settle)
    scenario_.user.settle();
  else
    device().scheduler().runUntilIdle();
  return problem;
}

Answer WebSession::setRecording(bool on) {
  recording_ = on;
  return Answer{};
}

Answer WebSession::clearRecording() {
  recorder_.clear();
  return Answer{};
}

Answer WebSession::expect(const std::string& what, std::optional<POINT> at, const std::string& path) {
  std::optional<std::string> line;
  if (what == "window") line = WindowExpectation(user());
  else if (what == "list") line = StepLine("expect list", Narrowed(user().listItems()));
  else if (what == "selected") line = StepLine("expect selected", Narrowed(user().selectedListItems()));
  else if (what == "text") line = TextExpectation(at);
  else if (what == "message") line = MessageExpectation();
  else if (what == "file" && !path.empty() && path.front() == '\\') line = FileExpectation(path);
  else return Refused(400, "expectations are of window, list, selected, text, message and file");
  if (!line) return Refused(409, "nothing on the screen for that expectation");
  if (auto problem = runStep(*line, false)) return Refused(409, "the expectation does not hold: " + *problem);
  recorder_.add(*line);
  return Answer{200, "{\"step\":" + JsonString(*line) + "}"};
}

std::vector<std::string> WebSession::newMisuse() {
  std::vector<std::string> found;
  const auto& faults = device().faults().programFaults();
  for (; faultsSeen_ < faults.size(); ++faultsSeen_) found.push_back(faults[faultsSeen_].description());
  misuse_.insert(misuse_.end(), found.begin(), found.end());
  return found;
}

}  // namespace sim::web
