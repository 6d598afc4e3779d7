#include "web/device_clock.h"

#include <algorithm>

namespace sim::web {

std::uint64_t DeviceClock::deviceTimeAt(std::uint64_t realMs, std::uint64_t deviceNow) const {
  if (paused_) return deviceNow;
  const std::uint64_t elapsed = realMs > anchorReal_ ? realMs - anchorReal_ : 0;
  // The device clock never goes back, whatever the anchors say.
  return std::max(deviceNow, anchorDevice_ + elapsed);
}

std::optional<std::uint64_t> DeviceClock::realTimeOf(std::uint64_t deviceMs) const {
  if (paused_) return std::nullopt;
  if (deviceMs <= anchorDevice_) return anchorReal_;
  return anchorReal_ + (deviceMs - anchorDevice_);
}

void DeviceClock::pause(std::uint64_t, std::uint64_t) { paused_ = true; }

void DeviceClock::resume(std::uint64_t realMs, std::uint64_t deviceNow) {
  paused_ = false;
  rebase(realMs, deviceNow);
}

void DeviceClock::rebase(std::uint64_t realMs, std::uint64_t deviceNow) {
  anchorReal_ = realMs;
  anchorDevice_ = deviceNow;
}

}  // namespace sim::web
