// Steps as script lines, for the journal of a run and the scenario a failure is
// shrunk to: each argument quoted when it must be, so that the script reads back
// as the same steps.
#pragma once

#include <string>
#include <vector>

#include "scenario/script.h"

namespace sim::monkey {

std::string FormatStep(const scenario::Step& step);
// A whole script: a comment block, the steps, one per line (line numbers follow).
std::string FormatScenario(const std::vector<std::string>& comments, const std::vector<scenario::Step>& steps);
// The steps renumbered from line `first` in the order given.
std::vector<scenario::Step> Renumbered(std::vector<scenario::Step> steps, int first = 1);

}  // namespace sim::monkey
