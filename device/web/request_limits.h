// The bounds every request meets before it reaches the device: how many requests
// a second, and which origins may act on the device.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace sim::web {

// A token bucket over all requests: `perSecond` on average, `burst` at once.
class RateLimit {
 public:
  RateLimit(double perSecond, double burst) : perSecond_(perSecond), burst_(burst), tokens_(burst) {}
  // True when a request arriving at `nowMs` may go on.
  bool admit(std::uint64_t nowMs);

 private:
  std::mutex mutex_;
  double perSecond_;
  double burst_;
  double tokens_;
  std::uint64_t lastMs_ = 0;
};

// A request may act on the device only when its Host is the address the server was
// opened on (a page of another site reaching it through a renamed address is not),
// and its Origin, when it sends one, is the server's own.
bool SameSite(std::string_view hostHeader, std::string_view origin, std::string_view serverHost, int port);

// The numbers requests carry: whole, in range, nothing else.
std::optional<long> RequestNumber(std::string_view text, long min, long max);

}  // namespace sim::web
