#include "scenario/script.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>

namespace sim::scenario {

namespace {

constexpr int kMany = 1 << 20;

enum class Check { None, Number, Answer, Chooser, MenuState, ItemsEquals, ScreenSize, Place };

struct WordRule {
  std::string_view word;
  int minArgs;
  int maxArgs;
  Check check = Check::None;
  std::string_view usage;
};

constexpr std::array kWords = {
    WordRule{"screen", 2, 2, Check::ScreenSize, "screen WIDTH HEIGHT"},
    WordRule{"folder", 1, 1, Check::None, "folder PATH"},
    WordRule{"file", 1, 2, Check::None, "file PATH [TEXT]"},
    WordRule{"sized", 2, 2, Check::Number, "sized PATH BYTES"},
    WordRule{"shortcut", 2, 2, Check::None, "shortcut PATH TARGET"},
    WordRule{"remove", 1, 1, Check::None, "remove PATH"},
    WordRule{"program", 1, 1, Check::None, "program PATH"},
    WordRule{"fail", 1, 2, Check::Number, "fail OPERATION [COUNT]"},
    WordRule{"start", 1, 2, Check::None, "start PATH [CMDLINE]"},
    WordRule{"open", 1, 1, Check::None, "open PATH"},
    WordRule{"wait", 1, 1, Check::Number, "wait MS"},
    WordRule{"close", 0, 0, Check::None, "close"},
    WordRule{"tap", 1, 1, Check::None, "tap TEXT|#ID"},
    WordRule{"choose", 2, 2, Check::None, "choose #ID TEXT"},
    WordRule{"tap-item", 1, 1, Check::None, "tap-item TEXT"},
    WordRule{"double-tap-item", 1, 1, Check::None, "double-tap-item TEXT"},
    WordRule{"hold-item", 1, 1, Check::None, "hold-item TEXT"},
    WordRule{"key", 1, kMany, Check::None, "key KEYS"},
    WordRule{"type", 1, 1, Check::None, "type TEXT"},
    WordRule{"menu", 1, kMany, Check::None, "menu ITEM [SUBITEM...]"},
    WordRule{"ok", 0, 0, Check::None, "ok"},
    WordRule{"answer", 1, 1, Check::Answer, "answer ok|cancel|yes|no"},
    WordRule{"chooser", 3, 4, Check::Chooser, "chooser file|folder|tree TITLE PATH [must-exist]"},
    WordRule{"version", 1, 1, Check::Number, "version INDEX"},
    WordRule{"show", 0, 0, Check::None, "show"},
    WordRule{"expect window", 1, 1, Check::None, "expect window CLASS|TITLE"},
    WordRule{"expect dialog", 1, 1, Check::None, "expect dialog TITLE"},
    WordRule{"expect place", 4, 4, Check::Place, "expect place X Y WIDTH HEIGHT"},
    WordRule{"expect text", 2, 2, Check::None, "expect text #ID TEXT"},
    WordRule{"expect message", 1, 2, Check::None, "expect message TEXT [CAPTION]"},
    WordRule{"expect no-message", 0, 0, Check::None, "expect no-message"},
    WordRule{"expect menu", 2, kMany, Check::MenuState, "expect menu ITEM... enabled|grayed|checked|unchecked"},
    WordRule{"expect items", 2, kMany, Check::ItemsEquals, "expect items ITEM... = ENTRY..."},
    WordRule{"expect list", 0, kMany, Check::None, "expect list ENTRY..."},
    WordRule{"expect row", 1, kMany, Check::None, "expect row NAME CELL..."},
    WordRule{"expect columns", 0, kMany, Check::None, "expect columns [HEADER...]"},
    WordRule{"expect selected", 0, kMany, Check::None, "expect selected TEXT..."},
    WordRule{"expect file", 1, 2, Check::None, "expect file PATH [TEXT]"},
    WordRule{"expect no-file", 1, 1, Check::None, "expect no-file PATH"},
    WordRule{"expect folder", 1, 1, Check::None, "expect folder PATH"},
    WordRule{"expect shortcut", 2, 2, Check::None, "expect shortcut PATH TARGET"},
    WordRule{"expect clipboard", 0, kMany, Check::None, "expect clipboard LINE..."},
    WordRule{"expect started", 1, 2, Check::None, "expect started PATH [CMDLINE]"},
    WordRule{"expect no-start", 0, 0, Check::None, "expect no-start"},
    WordRule{"expect chosen", 1, 2, Check::None, "expect chosen RESULT [PATH]"},
    WordRule{"expect running", 1, 1, Check::None, "expect running PATH"},
    WordRule{"expect not-running", 1, 1, Check::None, "expect not-running PATH"},
    WordRule{"expect ended", 1, 2, Check::None, "expect ended PATH [CODE]"},
};

const WordRule* FindRule(std::string_view word) {
  for (const auto& rule : kWords)
    if (rule.word == word) return &rule;
  return nullptr;
}

bool IsNumber(std::string_view text) {
  if (text.empty()) return false;
  long long value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value >= 0;
}

bool IsCoordinate(std::string_view text) {
  if (!text.empty() && text.front() == '-') text.remove_prefix(1);
  return IsNumber(text);
}

// The screen sizes a handheld can be booted with, in pixels.
constexpr long long kMinScreenSide = 160;
constexpr long long kMaxScreenSide = 1024;

bool IsScreenSide(std::string_view text) {
  long long value = 0;
  if (!IsNumber(text)) return false;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value >= kMinScreenSide && value <= kMaxScreenSide;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// The argument that must be a number, for the words that take one.
std::optional<std::string> CheckArguments(const WordRule& rule, const std::vector<std::string>& args) {
  switch (rule.check) {
    case Check::None:
      return std::nullopt;
    case Check::Number: {
      const std::string& number = rule.word == "fail" ? (args.size() > 1 ? args[1] : std::string("1")) : args.back();
      if (!IsNumber(number)) return "'" + number + "' is not a number";
      return std::nullopt;
    }
    case Check::Answer:
      if (args[0] == "ok" || args[0] == "cancel" || args[0] == "yes" || args[0] == "no") return std::nullopt;
      return "answer must be ok, cancel, yes or no, not '" + args[0] + "'";
    case Check::Chooser:
      if (args[0] != "file" && args[0] != "folder" && args[0] != "tree")
        return "chooser must be file, folder or tree, not '" + args[0] + "'";
      if (args.size() == 4 && args[3] != "must-exist") return "the fourth argument of chooser can only be must-exist";
      return std::nullopt;
    case Check::MenuState: {
      const std::string& state = args.back();
      if (state == "enabled" || state == "grayed" || state == "checked" || state == "unchecked") return std::nullopt;
      return "expect menu ends with enabled, grayed, checked or unchecked, not '" + state + "'";
    }
    case Check::ItemsEquals: {
      auto equals = std::find(args.begin(), args.end(), "=");
      if (equals == args.end()) return "expect items needs '=' between the menu path and its entries";
      if (equals == args.begin()) return "expect items needs a menu before '='";
      return std::nullopt;
    }
    case Check::ScreenSize:
      for (const auto& side : args)
        if (!IsScreenSide(side))
          return "'" + side + "' is not a screen side from " + std::to_string(kMinScreenSide) + " to " +
                 std::to_string(kMaxScreenSide) + " pixels";
      return std::nullopt;
    case Check::Place:
      for (std::size_t i = 0; i < args.size(); ++i)
        if (i < 2 ? !IsCoordinate(args[i]) : !IsNumber(args[i])) return "'" + args[i] + "' is not a number";
      return std::nullopt;
  }
  return std::nullopt;
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

    auto split = SplitLine(line);
    if (auto* error = std::get_if<std::string>(&split)) return ScriptError{lineNumber, *error};
    auto args = std::get<std::vector<std::string>>(std::move(split));
    if (args.empty()) continue;

    Step step;
    step.line = lineNumber;
    step.word = args.front();
    args.erase(args.begin());
    if (step.word == "expect") {
      if (args.empty()) return ScriptError{lineNumber, "expect needs what to expect"};
      step.word += " " + args.front();
      args.erase(args.begin());
    }
    const WordRule* rule = FindRule(step.word);
    if (!rule) return ScriptError{lineNumber, "unknown step '" + step.word + "'"};
    if (static_cast<int>(args.size()) < rule->minArgs || static_cast<int>(args.size()) > rule->maxArgs)
      return ScriptError{lineNumber, "wrong number of arguments; usage: " + std::string(rule->usage)};
    if (auto problem = CheckArguments(*rule, args)) return ScriptError{lineNumber, *problem};
    // The screen is chosen when the handheld boots, before anything else happens.
    if (step.word == "screen" && !steps.empty())
      return ScriptError{lineNumber, "screen can only be the first step"};
    step.args = std::move(args);
    steps.push_back(std::move(step));
  }
  return steps;
}

}  // namespace sim::scenario
