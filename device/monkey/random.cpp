#include "monkey/random.h"

namespace sim::monkey {

namespace {

// Spreads nearby seeds (1, 2, 3...) over the generator's whole state space.
std::uint64_t SplitMix(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

}  // namespace

Random::Random(std::uint64_t seed) : engine_(SplitMix(seed)) {}

std::uint64_t Random::below(std::uint64_t n) {
  // Rejects the top of the range that would favour the low numbers.
  const std::uint64_t limit = UINT64_MAX - UINT64_MAX % n;
  std::uint64_t value;
  do {
    value = engine_();
  } while (value >= limit);
  return value % n;
}

std::size_t Random::weighted(const std::vector<int>& weights) {
  std::uint64_t total = 0;
  for (int weight : weights) total += static_cast<std::uint64_t>(weight > 0 ? weight : 0);
  std::uint64_t point = below(total);
  for (std::size_t i = 0; i < weights.size(); ++i) {
    std::uint64_t weight = static_cast<std::uint64_t>(weights[i] > 0 ? weights[i] : 0);
    if (point < weight) return i;
    point -= weight;
  }
  return weights.size() - 1;
}

}  // namespace sim::monkey
