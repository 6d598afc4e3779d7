#include "kernel/device.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace sim {

namespace {
Device* activeDevice = nullptr;
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
  activeDevice->scheduler_->requireHostThread("a platform call");
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
    last.object.reset();
  }
}

}  // namespace sim
