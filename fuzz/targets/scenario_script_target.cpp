// The script fuzzer's target: any text through the scenario language's reader. The
// text is either a script or a malformed script with the number of a line it has;
// nothing escapes as an exception. A script prints back, one step on its own line,
// to a text that reads as the same steps on the same lines; a malformed script is
// malformed first at the line it names: the lines before it read.
#include <algorithm>
#include <exception>

#include "fuzz_targets.h"
#include "scenario/script.h"
#include "scenario/words.h"

namespace fuzz {
namespace {

using sim::scenario::ParseScript;
using sim::scenario::ScriptError;
using sim::scenario::Step;
using Parsed = std::variant<std::vector<Step>, ScriptError>;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// An argument as the script must spell it to read it back: bare when it can be,
// else in the quotes it does not hold. Nothing when no spelling reads back.
std::optional<std::string> Spelt(const std::string& arg) {
  bool comment = !arg.empty() && arg[0] == '#' && (arg.size() == 1 || arg[1] < '0' || arg[1] > '9');
  bool bare = !arg.empty() && arg[0] != '"' && arg[0] != '\'' && !comment &&
              std::none_of(arg.begin(), arg.end(), IsBlank);
  if (bare) return arg;
  if (arg.find('"') == std::string::npos) return '"' + arg + '"';
  if (arg.find('\'') == std::string::npos) return '\'' + arg + '\'';
  return std::nullopt;
}

// The steps, each on the line it came from, so that line numbers survive.
std::optional<std::string> Print(const std::vector<Step>& steps) {
  std::string text;
  int line = 1;
  for (const Step& step : steps) {
    for (; line < step.line; ++line) text += '\n';
    text += step.word;  // "expect menu" prints as the two words it was read from
    for (const std::string& arg : step.args) {
      auto spelt = Spelt(arg);
      if (!spelt) return std::nullopt;
      text += ' ' + *spelt;
    }
  }
  return text;
}

bool SameSteps(const std::vector<Step>& a, const std::vector<Step>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const Step& x, const Step& y) {
    return x.line == y.line && x.word == y.word && x.args == y.args;
  });
}

Finding CheckSteps(const std::vector<Step>& steps, int lines) {
  int previous = 0;
  for (const Step& step : steps) {
    if (step.line <= previous || step.line > lines) return "a step on line " + std::to_string(step.line);
    previous = step.line;
    const sim::scenario::Word* word = sim::scenario::FindWord(step.word);
    int count = static_cast<int>(step.args.size());
    if (!word || count < word->minArgs || count > word->maxArgs || (word->check && word->check(step.args)))
      return "a step the table of words refuses was read: " + step.word;
  }
  auto printed = Print(steps);
  if (!printed) return "a step has an argument no script can spell";
  Parsed again = ParseScript(*printed);
  auto* reread = std::get_if<std::vector<Step>>(&again);
  if (!reread) return "the printed script is malformed: " + std::get<ScriptError>(again).message;
  if (!SameSteps(steps, *reread)) return "the printed script reads as other steps";
  return std::nullopt;
}

Finding CheckError(std::string_view text, const ScriptError& error, int lines) {
  if (error.line < 1 || error.line > lines || error.message.empty())
    return "a malformed script is blamed on line " + std::to_string(error.line) + " of " + std::to_string(lines);
  std::size_t end = 0;
  for (int line = 1; line < error.line; ++line) end = text.find('\n', end) + 1;
  Parsed before = ParseScript(text.substr(0, end == 0 ? 0 : end - 1));
  if (error.line > 1 && !std::holds_alternative<std::vector<Step>>(before))
    return "the lines before the one blamed do not read";
  return std::nullopt;
}

}  // namespace

Finding RunScenarioScript(std::span<const std::uint8_t> input) {
  std::string_view text(reinterpret_cast<const char*>(input.data()), input.size());
  int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
  try {
    Parsed parsed = ParseScript(text);
    if (auto* error = std::get_if<ScriptError>(&parsed)) return CheckError(text, *error, lines);
    return CheckSteps(std::get<std::vector<Step>>(parsed), lines);
  } catch (const std::exception& escaped) {
    return std::string("an exception escaped the reader: ") + escaped.what();
  } catch (...) {
    return "an exception escaped the reader";
  }
}

}  // namespace fuzz
