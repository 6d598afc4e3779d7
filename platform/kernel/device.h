// The simulated handheld: one per host process.
//
// The device owns the clock, the CPU and every part of the platform's state. Parts
// of the platform keep their state as device services, created on first use and
// destroyed, newest first, when the device shuts down, after every simulated
// thread has ended.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "kernel/clock.h"
#include "kernel/faults.h"
#include "kernel/scheduler.h"

namespace sim {

struct DeviceConfig {
  std::filesystem::path root;        // host folder that is the device's "\"
  int screenWidth = 240;
  int screenHeight = 320;
  std::int64_t bootUnixSeconds = 1017619200;  // 2002-04-01 00:00:00 UTC = 09:00 at UTC+9
  int utcOffsetMinutes = 540;
  // Told of every program fault as it is reported (a test fails on it, a runner
  // stops); the device records the faults either way.
  ProgramFaultObserver programFaultObserver;
};

class Device {
 public:
  // Throws std::logic_error when another device is alive in this host process.
  explicit Device(DeviceConfig config);
  ~Device();
  Device(const Device&) = delete;
  Device& operator=(const Device&) = delete;

  // The device of this host process; aborts with a message when there is none.
  static Device& current();
  static Device* active();

  const DeviceConfig& config() const { return config_; }
  Clock& clock() { return clock_; }
  Scheduler& scheduler() { return *scheduler_; }
  Faults& faults() { return faults_; }

  // The part of the platform of type T (constructed as T(Device&) on first use).
  template <class T>
  T& service() {
    if (T* found = findService<T>()) return *found;
    auto object = std::shared_ptr<void>(new T(*this), [](void* p) { delete static_cast<T*>(p); });
    T& result = *static_cast<T*>(object.get());
    services_.push_back(Service{&serviceKey<T>, std::move(object)});
    return result;
  }
  template <class T>
  T* findService() {
    // Every platform call asks for its services: the place a type was last found
    // is tried first (services are only ever added at the end, and another device
    // may keep the type elsewhere, which the key tells).
    std::size_t& slot = serviceSlot<T>;
    if (slot < services_.size() && services_[slot].key == &serviceKey<T>)
      return static_cast<T*>(services_[slot].object.get());
    for (std::size_t i = 0; i < services_.size(); ++i)
      if (services_[i].key == &serviceKey<T>) {
        slot = i;
        return static_cast<T*>(services_[i].object.get());
      }
    return nullptr;
  }

  // Ends every simulated thread, then destroys the services newest first. Called by
  // the destructor; safe to call twice.
  void shutdown();

 private:
  // A service is known by the address of a variable of its type's own: one in the
  // whole program, compared at every platform call without reading type names.
  template <class T>
  static inline char serviceKey = 0;
  template <class T>
  static inline std::size_t serviceSlot = static_cast<std::size_t>(-1);
  struct Service {
    const char* key;
    std::shared_ptr<void> object;
  };

  DeviceConfig config_;
  Clock clock_;
  Faults faults_;
  std::unique_ptr<Scheduler> scheduler_;
  std::vector<Service> services_;
  bool shutDown_ = false;
};

}  // namespace sim
