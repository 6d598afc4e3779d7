// A booted handheld for the menu and clipboard tests, over a folder of its own, and a
// recorder that window procedures (plain functions) can reach.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "kernel/device.h"
#include "tests/support/misuse.h"

namespace menutest {

class ScratchFolder {
 public:
  ScratchFolder() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::filesystem::temp_directory_path() /
            ("handheld-menus-" + std::to_string(::getpid()) + "-" + test->test_suite_name() + "-" + test->name());
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

class TestDevice {
 public:
  TestDevice() : device_(config(folder_)) {}
  sim::Device& operator*() { return device_; }
  sim::Device* operator->() { return &device_; }
  void run() { device_.scheduler().runUntilIdle(); }
  void runFor(std::uint64_t ms) { device_.scheduler().runUntil(device_.clock().now() + ms); }

 private:
  static sim::DeviceConfig config(const ScratchFolder& folder) {
    sim::DeviceConfig result;
    result.root = folder.path();
    return test_support::FailOnMisuse(result);
  }
  ScratchFolder folder_;
  sim::Device device_;
};

// What the window procedures of a test saw, in order.
struct Trace {
  std::vector<std::string> lines;
  void add(std::string line) { lines.push_back(std::move(line)); }
};

}  // namespace menutest
