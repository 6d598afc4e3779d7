// The tests' one fixture: a device booted over a host folder of the test's own,
// programs whose bodies must run, and the user's hands.
//
// The folder is made fresh for each device and removed, with everything in it, when
// the fixture goes: after a passing test, a failed assertion or an exception alike.
// Any misuse of the platform the test did not declare fails it (see misuse.h). A
// program body the fixture started that never ran by the end fails the test too, so
// that a body's expectations cannot pass by not being reached.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "kernel/device.h"
#include "kernel/image_registry.h"
#include "kernel/process.h"
#include "misuse.h"
#include "scratch_folder.h"
#include "user/input.h"

// The compiled test resources; only the platform's test programs link them, and only
// they call what refers to them.
extern "C" const unsigned char test_resources[];
extern "C" const std::size_t test_resources_size;

namespace test_support {

inline std::span<const unsigned char> TestResources() { return {test_resources, test_resources_size}; }

class TestDevice {
 public:
  explicit TestDevice(int width = 240, int height = 320) : device_(std::make_unique<sim::Device>(Config(folder_, width, height))) {}
  ~TestDevice() {
    device_.reset();
    for (const auto& program : programs_)
      if (!*program.began) ADD_FAILURE() << "the body of " << Narrow(program.path) << " never ran";
  }
  TestDevice(const TestDevice&) = delete;
  TestDevice& operator=(const TestDevice&) = delete;

  sim::Device& device() { return *device_; }
  sim::Device& operator*() { return *device_; }
  sim::Device* operator->() { return device_.get(); }
  // The host folder that is the device's "\".
  const std::filesystem::path& root() const { return folder_.path(); }
  const std::vector<sim::ProgramFault>& faults() { return device_->faults().programFaults(); }

  // --- the device's time ---
  // Runs ready threads until all wait; the clock stays.
  void runUntilIdle() { device_->scheduler().runUntilIdle(); }
  // Runs, moving the clock, until nothing is due within ten seconds.
  void settle() { device_->scheduler().settle(10000, 3600 * 1000); }
  void runFor(std::uint64_t ms) { device_->scheduler().runUntil(device_->clock().now() + ms); }

  // --- programs ---
  // Runs `body` as the main function of a program and lets the device settle; gives
  // the program's exit code.
  DWORD run(std::function<int()> body, std::u16string imagePath = u"\\Tests\\test.exe") {
    sim::Process& process = launch(std::move(imagePath), std::move(body));
    settle();
    expectBegun();
    return process.exitCode;
  }
  // Starts `body` as a program and lets the device settle; the program may still be
  // waiting for the user then.
  sim::Process& start(std::function<int()> body, std::u16string imagePath = u"\\Tests\\test.exe") {
    sim::Process& process = launch(std::move(imagePath), std::move(body));
    settle();
    expectBegun();
    return process;
  }
  // Runs `body` as a program whose image carries the test resources, until all waits.
  void run(std::function<void(HINSTANCE)> body) {
    start([body = std::move(body)](HINSTANCE instance) {
      body(instance);
      return 0;
    });
  }
  void start(std::function<int(HINSTANCE)> body) {
    launchWithResources(std::move(body));
    runUntilIdle();
    expectBegun();
  }

  // Starts `body` as the main function of a program at `imagePath` without running
  // the device.
  sim::Process& launch(std::u16string imagePath, std::function<int()> body) {
    auto began = track(imagePath);
    return sim::StartFunction(*device_, std::move(imagePath), [began, body = std::move(body)] {
      *began = true;
      return body();
    });
  }

  // --- the user's hands; each gesture is followed by the device running ---
  void tap(HWND hwnd, POINT client = POINT{2, 2}) {
    ASSERT_TRUE(sim::Input::get().tapWindow(hwnd, client));
    afterGesture();
  }
  void doubleTap(HWND hwnd, POINT client) {
    ASSERT_TRUE(sim::Input::get().doubleTapWindow(hwnd, client));
    afterGesture();
  }
  void hold(HWND hwnd, POINT client) {
    ASSERT_TRUE(sim::Input::get().holdWindow(hwnd, client));
    afterGesture();
  }
  void press(BYTE vk) {
    sim::Input::get().key(vk, false);
    sim::Input::get().key(vk, true);
    runUntilIdle();
  }
  // A key pressed while Control is held, as Ctrl+V.
  void pressWithControl(BYTE vk) {
    sim::Input::get().key(VK_CONTROL, false);
    press(vk);
    sim::Input::get().key(VK_CONTROL, true);
    runUntilIdle();
  }
  void keyDown(BYTE vk) { sim::Input::get().key(vk, false); }
  void keyUp(BYTE vk) {
    sim::Input::get().key(vk, true);
    runUntilIdle();
  }

  // Makes a host folder inside the device, given a device path in UTF-8.
  void folder(const std::string& devicePath) { std::filesystem::create_directories(host(devicePath)); }

 protected:
  // After a tap the device runs until all waits; a fixture whose controls start timers
  // on a tap (a hold, a label edit) lets the device settle instead.
  void settleAfterGestures() { settleAfterGestures_ = true; }


 private:
  struct Program {
    std::u16string path;
    std::shared_ptr<bool> began;
  };

  static sim::DeviceConfig Config(const ScratchFolder& folder, int width, int height) {
    sim::DeviceConfig config;
    config.root = folder.path();
    config.screenWidth = width;
    config.screenHeight = height;
    return FailOnMisuse(config);
  }
  static std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

  std::shared_ptr<bool> track(const std::u16string& path) {
    programs_.push_back(Program{path, std::make_shared<bool>(false)});
    return programs_.back().began;
  }
  // Fails the test at once when the newest program's body has not begun.
  void expectBegun() {
    Program& newest = programs_.back();
    if (*newest.began) return;
    ADD_FAILURE() << "the body of " << Narrow(newest.path) << " never ran";
    *newest.began = true;  // reported once
  }
  void launchWithResources(std::function<int(HINSTANCE)> body) {
    sim::ProgramImage image;
    const std::string number = std::to_string(programs_.size() + 1);
    image.path = u"\\Windows\\program" + std::u16string(number.begin(), number.end()) + u".exe";
    image.resources = TestResources();
    auto began = track(image.path);
    image.main = [began, body = std::move(body)](HINSTANCE instance, HINSTANCE, LPWSTR, int) {
      *began = true;
      return body(instance);
    };
    std::u16string path = image.path;
    device_->service<sim::ImageRegistry>().install(std::move(image));
    ASSERT_NE(sim::StartProgram(*device_, path, u""), nullptr);
  }
  void afterGesture() {
    if (settleAfterGestures_)
      settle();
    else
      runUntilIdle();
  }
  std::filesystem::path host(const std::string& devicePath) const {
    std::string relative = devicePath;
    for (char& c : relative)
      if (c == '\\') c = '/';
    while (!relative.empty() && relative.front() == '/') relative.erase(0, 1);
    return root() / std::filesystem::u8path(relative);
  }

  ScratchFolder folder_;
  std::unique_ptr<sim::Device> device_;
  std::vector<Program> programs_;
  bool settleAfterGestures_ = false;
};

}  // namespace test_support
