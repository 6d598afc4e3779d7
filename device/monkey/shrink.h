// Shrinking a failing run: delta debugging over its steps. Parts of the list are
// left out, in ever smaller pieces, for as long as what is left still fails the
// same way, until no single step can be left out (or the budget of tries is spent).
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

namespace sim::monkey {

// Whether the steps with these indices (in order) still fail the same way:
// nothing when they do not; when they do, how many of them (from the first) the
// failure needed, as a run stops at its failure.
using StillFails = std::function<std::optional<std::size_t>(const std::vector<std::size_t>& kept)>;

struct ShrinkResult {
  std::vector<std::size_t> kept;
  int tries = 0;
};

// Starts from all `count` steps, which fail. At most `budget` tries.
ShrinkResult Shrink(std::size_t count, const StillFails& stillFails, int budget);

}  // namespace sim::monkey
