#include "kernel/device.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace sim {

namespace {
Device* activeDevice = nullptr;
}

std::size_t detail::NextServiceSlot() {
  static std::atomic<std::size_t> next{0};
  return next++;
}

Device::Device(DeviceConfig config)
    : config_(std::move(config)), clock_(config_.bootUnixSeconds, config_.utcOffsetMinutes) {
  if (activeDevice)
    throw std::logic_error("a handheld is already running in this process; shut it down before booting another");
  scheduler_ = std::make_unique<Scheduler>(clock_);
  faults_.observeProgramFaults(config_.programFaultObserver);
  activeDevice = this;
}

Device::~Device() {
  shutdown();
  if (activeDevice == this) activeDevice = nullptr;
}

Device& Device::current() {
  if (!activeDevice) {
    std::fputs("handheld: a platform call was made with no device booted\n", stderr);
    std::abort();
  }
  return *activeDevice;
}

Device* Device::active() { return activeDevice; }

void Device::shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  scheduler_->terminateAll();
  // Newest first; a service being destroyed no longer finds itself.
  while (!services_.empty()) {
    Service last = std::move(services_.back());
    services_.pop_back();
    bySlot_[last.slot] = nullptr;
    last.object.reset();
  }
}

}  // namespace sim
