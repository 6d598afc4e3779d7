// A scenario opened in the page, run one step at a time on the page's handheld
// exactly as `handheld run` runs it: each step through the table of words, then
// the device settles; a step that does not hold, or misuse, stops the script.
#include "scenario/words.h"
#include "web/json.h"
#include "web/web_session.h"

namespace sim::web {

namespace {

constexpr std::size_t kMaxScriptBytes = 256 * 1024;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    pos = end + 1;
  }
  return lines;
}

}  // namespace

Answer WebSession::openScript(const std::string& text) {
  if (text.size() > kMaxScriptBytes) return Refused(413, "the script is over 256 KiB");
  auto parsed = scenario::ParseScript(text);
  if (auto* error = std::get_if<scenario::ScriptError>(&parsed))
    return Refused(422, "line " + std::to_string(error->line) + ": " + error->message);
  auto& steps = std::get<std::vector<scenario::Step>>(parsed);
  // The screen is chosen when a handheld boots; this one is running already.
  if (!steps.empty() && steps.front().word == "screen") {
    const bool same = std::to_string(device().config().screenWidth) == steps.front().args[0] &&
                      std::to_string(device().config().screenHeight) == steps.front().args[1];
    if (!same) return Refused(409, "the script needs another screen size: start the server with --screen");
    steps.erase(steps.begin());
  }
  script_ = OpenedScript{Lines(text), std::move(steps), 0, {}, false};
  return Answer{};
}

Answer WebSession::stepScript() {
  if (!script_) return Refused(409, "no script is open");
  OpenedScript& script = *script_;
  if (script.failed || script.next >= script.steps.size()) return Refused(409, "the script has no step left to run");
  const scenario::Step& step = script.steps[script.next++];
  auto problem = scenario::FindWord(step.word)->run(scenario_, step);
  if (!problem) {
    auto misuse = newMisuse();
    if (!misuse.empty()) problem = "misuse of the platform by " + misuse.front();
  }
  if (!problem && !scenario_.user.settle()) problem = "the device did not settle within an hour of device time";
  if (!problem) {
    auto misuse = newMisuse();
    if (!misuse.empty()) problem = "misuse of the platform by " + misuse.front();
  }
  std::string where = "line " + std::to_string(step.line) + ": " + script.lines[step.line - 1];
  script.failed = problem.has_value();
  script.log.push_back(problem ? "FAILED " + where + ": " + *problem : "ok " + where);
  if (!problem && script.next == script.steps.size()) script.log.push_back("PASSED");
  return Answer{problem ? 409 : 200, "{\"result\":" + JsonString(script.log.back()) + "}"};
}

}  // namespace sim::web
