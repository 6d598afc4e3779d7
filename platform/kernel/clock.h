// The device clock: milliseconds since boot, advanced only by the scheduler.
#pragma once

#include <cstdint>

namespace sim {

class Clock {
 public:
  // bootUnixSeconds: the UTC moment the device boots at; the device's wall time is
  // that moment plus the milliseconds it has run.
  Clock(std::int64_t bootUnixSeconds, int utcOffsetMinutes)
      : bootUnixSeconds_(bootUnixSeconds), utcOffsetMinutes_(utcOffsetMinutes) {}

  std::uint64_t now() const { return nowMs_; }
  void advanceTo(std::uint64_t ms) {
    if (ms > nowMs_) nowMs_ = ms;
  }

  // 100-nanosecond units since 1601-01-01 UTC, the unit of FILETIME.
  std::uint64_t fileTimeUtc() const {
    constexpr std::uint64_t kUnixEpochAsFileTime = 116444736000000000ULL;
    return kUnixEpochAsFileTime + static_cast<std::uint64_t>(bootUnixSeconds_) * 10000000ULL +
           nowMs_ * 10000ULL;
  }
  int utcOffsetMinutes() const { return utcOffsetMinutes_; }

 private:
  std::uint64_t nowMs_ = 0;
  std::int64_t bootUnixSeconds_;
  int utcOffsetMinutes_;
};

}  // namespace sim
