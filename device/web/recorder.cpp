#include "web/recorder.h"

namespace sim::web {

namespace {

bool NeedsQuotes(std::string_view arg) {
  if (arg.empty() || arg.front() == '"' || arg.front() == '\'' || arg.front() == '#') return true;
  return arg.find_first_of(" \t\r") != std::string_view::npos;
}

std::optional<std::string> Quoted(std::string_view arg) {
  if (arg.find('\n') != std::string_view::npos) return std::nullopt;
  if (!NeedsQuotes(arg)) return std::string(arg);
  // "#12" is a control id bare or quoted alike; other texts keep their '#' in quotes.
  if (arg.find('"') == std::string_view::npos) return "\"" + std::string(arg) + "\"";
  if (arg.find('\'') == std::string_view::npos) return "'" + std::string(arg) + "'";
  return std::nullopt;
}

}  // namespace

std::optional<std::string> StepLine(std::string_view word, const std::vector<std::string>& args) {
  std::string line(word);
  for (const auto& arg : args) {
    auto quoted = Quoted(arg);
    if (!quoted) return std::nullopt;
    line += " " + *quoted;
  }
  return line;
}

void Recorder::append(std::string line) {
  lines_.push_back(std::move(line));
  ++version_;
}

void Recorder::flushMenu() {
  for (auto& tap : pendingMenu_) append(std::move(tap.tapStep));
  pendingMenu_.clear();
}

void Recorder::add(std::string line) {
  flushMenu();
  typing_ = false;
  append(std::move(line));
}

void Recorder::replaceLastTap(std::string line) {
  flushMenu();
  typing_ = false;
  if (!lines_.empty() && (lines_.back().starts_with("tap") || lines_.back().starts_with("menu "))) lines_.pop_back();
  append(std::move(line));
}

void Recorder::addTyped(std::string_view utf8) {
  flushMenu();
  std::string text = typing_ ? typed_ + std::string(utf8) : std::string(utf8);
  auto line = StepLine("type", {text});
  if (!line) {
    // A text the script cannot hold ends the step; the next one starts afresh.
    typing_ = false;
    return;
  }
  if (typing_) {
    lines_.back() = std::move(*line);
    ++version_;
  } else {
    append(std::move(*line));
  }
  typed_ = std::move(text);
  typing_ = true;
}

void Recorder::menuOpened(std::string text, std::string tapStep) {
  typing_ = false;
  pendingMenu_.push_back(PendingTap{std::move(text), std::move(tapStep)});
  ++version_;
}

bool Recorder::menuChosen(std::string text) {
  std::vector<std::string> path;
  for (const auto& tap : pendingMenu_) path.push_back(tap.text);
  path.push_back(std::move(text));
  auto line = StepLine("menu", path);
  if (!line) return false;
  pendingMenu_.clear();
  typing_ = false;
  append(std::move(*line));
  return true;
}

void Recorder::clear() {
  lines_.clear();
  pendingMenu_.clear();
  typing_ = false;
  ++version_;
}

std::string Recorder::script() const {
  std::string text = "# Recorded on the handheld in the web page.\n";
  for (const auto& line : lines_) text += line + "\n";
  for (const auto& tap : pendingMenu_) text += tap.tapStep + "\n";
  return text;
}

}  // namespace sim::web
