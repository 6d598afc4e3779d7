#include "monkey/shrink.h"

#include <algorithm>

namespace sim::monkey {

namespace {

// `kept` without its piece number `piece` of `pieces` nearly equal pieces.
std::vector<std::size_t> Without(const std::vector<std::size_t>& kept, std::size_t piece, std::size_t pieces) {
  std::size_t begin = kept.size() * piece / pieces;
  std::size_t end = kept.size() * (piece + 1) / pieces;
  std::vector<std::size_t> rest(kept.begin(), kept.begin() + static_cast<std::ptrdiff_t>(begin));
  rest.insert(rest.end(), kept.begin() + static_cast<std::ptrdiff_t>(end), kept.end());
  return rest;
}

}  // namespace

ShrinkResult Shrink(std::size_t count, const StillFails& stillFails, int budget) {
  ShrinkResult result;
  for (std::size_t i = 0; i < count; ++i) result.kept.push_back(i);
  std::size_t pieces = 2;
  while (!result.kept.empty() && result.tries < budget) {
    pieces = std::min(pieces, result.kept.size());
    bool smaller = false;
    // The pieces nearest the failure matter most; leaving out early ones first
    // keeps the later replays short.
    for (std::size_t piece = 0; piece < pieces && result.tries < budget; ++piece) {
      auto rest = Without(result.kept, piece, pieces);
      ++result.tries;
      auto needed = stillFails(rest);
      if (!needed) continue;
      rest.resize(std::min(rest.size(), *needed));
      result.kept = std::move(rest);
      pieces = std::max<std::size_t>(pieces - 1, 2);
      smaller = true;
      break;
    }
    if (smaller) continue;
    if (pieces >= result.kept.size()) break;  // no single step can go
    pieces = std::min(pieces * 2, result.kept.size());
  }
  return result;
}

}  // namespace sim::monkey
