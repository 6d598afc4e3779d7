#include "scenario/script.h"

#include "scenario/words.h"
#include "text/utf.h"

namespace sim::scenario {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// Reads one step from its words, checked against the table of words.
std::variant<Step, ScriptError> ReadStep(int lineNumber, std::vector<std::string> args) {
  Step step;
  step.line = lineNumber;
  step.word = args.front();
  args.erase(args.begin());
  if (step.word == "expect") {
    if (args.empty()) return ScriptError{lineNumber, "expect needs what to expect"};
    step.word += " " + args.front();
    args.erase(args.begin());
  }
  const Word* word = FindWord(step.word);
  if (!word) return ScriptError{lineNumber, "unknown step '" + step.word + "'"};
  if (static_cast<int>(args.size()) < word->minArgs || static_cast<int>(args.size()) > word->maxArgs)
    return ScriptError{lineNumber, "wrong number of arguments; usage: " + std::string(word->usage)};
  if (word->check)
    if (auto problem = word->check(args)) return ScriptError{lineNumber, *problem};
  step.args = std::move(args);
  return step;
}

}  // namespace

std::variant<std::vector<std::string>, std::string> SplitLine(std::string_view line) {
  std::vector<std::string> args;
  std::size_t i = 0;
  while (i < line.size()) {
    if (IsBlank(line[i])) {
      ++i;
      continue;
    }
    // '#' begins a comment, except as "#123", a control's id.
    bool controlId = i + 1 < line.size() && line[i + 1] >= '0' && line[i + 1] <= '9';
    if (line[i] == '#' && !controlId) break;
    std::string arg;
    if (line[i] == '"' || line[i] == '\'') {
      char quote = line[i];
      std::size_t close = line.find(quote, i + 1);
      if (close == std::string_view::npos) return std::string("unterminated quote");
      arg.assign(line.substr(i + 1, close - i - 1));
      i = close + 1;
      if (i < line.size() && !IsBlank(line[i]) && line[i] != '#')
        return std::string("a quoted argument must be followed by a blank");
    } else {
      std::size_t end = i;
      while (end < line.size() && !IsBlank(line[end])) ++end;
      arg.assign(line.substr(i, end - i));
      i = end;
    }
    args.push_back(std::move(arg));
  }
  return args;
}

std::variant<std::vector<Step>, ScriptError> ParseScript(std::string_view text) {
  std::vector<Step> steps;
  int lineNumber = 0;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNumber;

    if (!Utf8ToUtf16(line)) return ScriptError{lineNumber, "the line is not UTF-8 text"};
    auto split = SplitLine(line);
    if (auto* error = std::get_if<std::string>(&split)) return ScriptError{lineNumber, *error};
    auto args = std::get<std::vector<std::string>>(std::move(split));
    if (args.empty()) continue;

    auto read = ReadStep(lineNumber, std::move(args));
    if (auto* error = std::get_if<ScriptError>(&read)) return *error;
    // The screen is chosen when the handheld boots, before anything else happens.
    if (std::get<Step>(read).word == "screen" && !steps.empty())
      return ScriptError{lineNumber, "screen can only be the first step"};
    steps.push_back(std::get<Step>(std::move(read)));
  }
  return steps;
}

}  // namespace sim::scenario
