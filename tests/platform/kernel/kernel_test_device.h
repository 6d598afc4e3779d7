// A device for the kernel's tests. The kernel never touches the device's files, so
// the folder is only named, never written.
#pragma once

#include <filesystem>

#include "kernel/device.h"
#include "tests/support/misuse.h"

namespace kernel_test {

inline sim::DeviceConfig deviceConfig() {
  sim::DeviceConfig config;
  config.root = std::filesystem::temp_directory_path() / "kernel-tests-unused";
  return test_support::FailOnMisuse(config);
}

}  // namespace kernel_test
