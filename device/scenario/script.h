// The scenario language: parsing a .scn script into steps.
//
// One step per line; '#' outside quotes starts a comment, unless it is a control id
// such as #1005. Arguments are separated by blanks; "..." or '...' quote an argument
// literally (a backslash is always a plain character) and "" is an empty argument. Every step and every argument is checked
// against the table of words (words.h) before anything runs, so a malformed script
// never half-runs.
#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace sim::scenario {

struct Step {
  int line = 0;
  std::string word;               // "file", "tap-item", "expect menu", ...
  std::vector<std::string> args;  // UTF-8, quotes removed
};

struct ScriptError {
  int line = 0;
  std::string message;
};

// Splits one line into arguments; an error for an unterminated quote.
std::variant<std::vector<std::string>, std::string> SplitLine(std::string_view line);

// Parses a whole script; the first malformed line gives the error.
std::variant<std::vector<Step>, ScriptError> ParseScript(std::string_view text);

}  // namespace sim::scenario
