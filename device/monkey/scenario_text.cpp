#include "monkey/scenario_text.h"

namespace sim::monkey {

namespace {

// An argument as the script reader takes it back: bare when it has no blank, no
// quote and does not start a comment, else in the quotes it does not contain.
std::string FormatArgument(const std::string& arg) {
  bool bare = !arg.empty() && arg.find_first_of(" \t\"'") == std::string::npos && arg.front() != '#';
  if (bare) return arg;
  char quote = arg.find('"') == std::string::npos ? '"' : '\'';
  return quote + arg + quote;
}

}  // namespace

std::string FormatStep(const scenario::Step& step) {
  std::string line = step.word;
  for (const auto& arg : step.args) line += " " + FormatArgument(arg);
  return line;
}

std::string FormatScenario(const std::vector<std::string>& comments, const std::vector<scenario::Step>& steps) {
  std::string text;
  for (const auto& comment : comments) text += "# " + comment + "\n";
  for (const auto& step : steps) text += FormatStep(step) + "\n";
  return text;
}

std::vector<scenario::Step> Renumbered(std::vector<scenario::Step> steps, int first) {
  for (auto& step : steps) step.line = first++;
  return steps;
}

}  // namespace sim::monkey
