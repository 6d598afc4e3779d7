// The monkey's only source of chance: a seeded generator of its own, so that the
// same seed always makes the same choices on every host (no host randomness, no
// clock, no library distribution whose results differ between implementations).
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace sim::monkey {

class Random {
 public:
  explicit Random(std::uint64_t seed);

  std::uint64_t next() { return engine_(); }
  // A number from 0 to n - 1 (n > 0), every one equally likely.
  std::uint64_t below(std::uint64_t n);
  int between(int low, int high) { return low + static_cast<int>(below(static_cast<std::uint64_t>(high - low) + 1)); }
  // True `percent` times in a hundred.
  bool chance(int percent) { return below(100) < static_cast<std::uint64_t>(percent); }
  template <class T>
  const T& pick(const std::vector<T>& choices) {
    return choices[below(choices.size())];
  }
  // An index chosen with the given weights (at least one weight above zero).
  std::size_t weighted(const std::vector<int>& weights);

 private:
  std::mt19937_64 engine_;
};

}  // namespace sim::monkey
