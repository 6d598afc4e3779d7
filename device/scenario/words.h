// The words of the scenario language: one table that says, for every word, how
// many arguments it takes, how they are checked when the script is read, and what
// runs when the step's turn comes.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "scenario/arguments.h"
#include "scenario/script.h"

namespace sim::scenario {

class Session;

// Why a step did not hold or could not be done; nothing when it did.
using StepResult = std::optional<std::string>;
using StepFunction = StepResult (*)(Session& session, const Step& step);

struct Word {
  std::string_view name;  // "file", "tap-item", "expect menu", ...
  int minArgs;
  int maxArgs;
  std::string_view usage;
  ArgumentCheck check;  // null when any text will do
  StepFunction run;
};

std::span<const Word> Words();
// The word named `name`; null for an unknown word.
const Word* FindWord(std::string_view name);

}  // namespace sim::scenario
