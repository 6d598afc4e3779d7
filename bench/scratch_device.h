// What the benchmarks share: a device booted in a folder of its own that goes with
// it, and the process's CPU time, which counts the simulated programs' work whatever
// else the machine is doing.
#pragma once

#include <time.h>

#include <atomic>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "kernel/device.h"

namespace bench {

class ScratchDevice {
 public:
  // `name` tells the benchmark's folders apart; `scale` 2 gives the 480 x 640 screen.
  explicit ScratchDevice(const std::string& name, int scale = 1) {
    static std::atomic<int> counter{0};
    root_ = std::filesystem::temp_directory_path() / (name + "-" + std::to_string(counter++));
    std::filesystem::create_directories(root_);
    sim::DeviceConfig config;
    config.root = root_;
    config.screenWidth = 240 * scale;
    config.screenHeight = 320 * scale;
    device_.emplace(config);
  }
  ~ScratchDevice() {
    device_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  ScratchDevice(const ScratchDevice&) = delete;
  ScratchDevice& operator=(const ScratchDevice&) = delete;

  sim::Device& operator*() { return *device_; }

 private:
  std::filesystem::path root_;
  std::optional<sim::Device> device_;
};

inline double ProcessCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

}  // namespace bench
