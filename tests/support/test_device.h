// A device for the suite's tests: booted over a fresh temporary folder that is
// removed afterwards, with a way to run code as a program of that device. Any
// misuse of the platform fails the test (see misuse.h).
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "kernel/device.h"
#include "kernel/process.h"
#include "misuse.h"

namespace test_support {

class TestDevice {
 public:
  TestDevice() : root_(MakeRoot()) {
    sim::DeviceConfig config;
    config.root = root_;
    device_ = std::make_unique<sim::Device>(FailOnMisuse(config));
  }
  ~TestDevice() {
    device_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  TestDevice(const TestDevice&) = delete;
  TestDevice& operator=(const TestDevice&) = delete;

  sim::Device& device() { return *device_; }
  const std::filesystem::path& root() const { return root_; }

  // Runs `body` as the main function of a program of this device and lets the device
  // run until everything waits; gives the program's exit code.
  DWORD run(std::function<int()> body, std::u16string imagePath = u"\\Tests\\test.exe") {
    sim::Process& process = sim::StartFunction(*device_, std::move(imagePath), std::move(body));
    device_->scheduler().settle(10000, 3600 * 1000);
    return process.exitCode;
  }

  // Starts `body` as a program and lets the device run until everything waits; the
  // program may still be waiting for the user then.
  sim::Process& start(std::function<int()> body, std::u16string imagePath = u"\\Tests\\test.exe") {
    sim::Process& process = sim::StartFunction(*device_, std::move(imagePath), std::move(body));
    settle();
    return process;
  }
  void settle() { device_->scheduler().settle(10000, 3600 * 1000); }

  // Makes a host folder or file inside the device, given a device path in UTF-8.
  void folder(const std::string& devicePath) { std::filesystem::create_directories(host(devicePath)); }

 private:
  static std::filesystem::path MakeRoot() {
    static int counter = 0;
    auto root = std::filesystem::temp_directory_path() /
                ("suite-test-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root);
    return root;
  }
  std::filesystem::path host(const std::string& devicePath) const {
    std::string relative = devicePath;
    for (char& c : relative)
      if (c == '\\') c = '/';
    while (!relative.empty() && relative.front() == '/') relative.erase(0, 1);
    return root_ / std::filesystem::u8path(relative);
  }

  std::filesystem::path root_;
  std::unique_ptr<sim::Device> device_;
};

}  // namespace test_support
