// The log of what a person did on the handheld in the page, as scenario steps that
// `handheld run` replays: each action is written as the step a scenario would use
// for it, by name where the action hit something with a name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim::web {

// One step as a script line: the word, then each argument bare or quoted so that
// the script reader gives it back unchanged. Nothing when an argument cannot be
// written (a line break, or both kinds of quote in one text).
std::optional<std::string> StepLine(std::string_view word, const std::vector<std::string>& args);

class Recorder {
 public:
  // A step of its own.
  void add(std::string line);
  // A double tap: its first tap was recorded as a tap of its own, which the double
  // tap's step replaces (replaying it taps twice).
  void replaceLastTap(std::string line);
  // Typed characters: one `type` step for text typed without anything in between.
  void addTyped(std::string_view utf8);
  // Menus: a menu opened from the menu bar (or a submenu opened from an entry of
  // the open menu) is remembered with the step that replays just that tap; an entry
  // chosen at the end of the path makes the whole path one `menu` step. Anything
  // else that happens while a menu is open writes the remembered taps as they were.
  void menuOpened(std::string text, std::string tapStep);
  // False when the path cannot be written as a step: nothing is recorded then, and
  // the caller records the tap by position.
  [[nodiscard]] bool menuChosen(std::string text);
  bool menuOpen() const { return !pendingMenu_.empty(); }
  // How many menus the remembered taps opened: the menu bar's, then each submenu.
  std::size_t menuDepth() const { return pendingMenu_.size(); }

  void clear();
  const std::vector<std::string>& lines() const { return lines_; }
  // The whole log as a .scn script.
  std::string script() const;
  // Grows with every change.
  std::uint64_t version() const { return version_; }

 private:
  void flushMenu();
  void append(std::string line);

  struct PendingTap {
    std::string text;
    std::string tapStep;
  };
  std::vector<std::string> lines_;
  std::vector<PendingTap> pendingMenu_;
  std::string typed_;  // the text of the last line while it is a `type` step
  bool typing_ = false;
  std::uint64_t version_ = 0;
};

}  // namespace sim::web
