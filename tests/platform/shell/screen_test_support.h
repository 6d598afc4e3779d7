// A booted handheld of either screen size whose test program makes windows and then
// pumps messages, and the screen it shows: pixels by position, hit-testing, taps,
// and PNG pictures.
//
// Pictures go to the test's own temporary folder; a developer who wants to look at
// them sets HANDHELD_SCREENS_DIR to a folder of their choice.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include <windows.h>

#include "../resources/test_image.h"
#include "gdi/frame_buffer.h"
#include "gdi/png.h"
#include "kernel/device.h"
#include "kernel/image_registry.h"
#include "kernel/process.h"
#include "user/hit_test.h"
#include "user/input.h"
#include "user/screen_layout.h"
#include "user/window.h"

namespace screentest {

struct ScreenSize {
  int width;
  int height;
  int scale() const { return width >= 480 ? 2 : 1; }
  std::string name() const { return std::to_string(width) + "x" + std::to_string(height); }
};

class ScreenDevice {
 public:
  explicit ScreenDevice(ScreenSize size) : size_(size) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "-" + test->name();
    for (char& c : name)
      if (c == '/') c = '-';
    root_ = std::filesystem::temp_directory_path() / ("handheld-screens-" + std::to_string(::getpid()) + "-" + name);
    std::filesystem::create_directories(root_);
    sim::DeviceConfig config;
    config.root = root_ / "device";
    std::filesystem::create_directories(config.root);
    config.screenWidth = size.width;
    config.screenHeight = size.height;
    device_ = std::make_unique<sim::Device>(config);
  }
  ~ScreenDevice() {
    device_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

  sim::Device& device() { return *device_; }
  int s() const { return size_.scale(); }

  // Runs `setup` as a program with the test resources, then pumps its messages
  // (through IsDialogMessageW for the dialog it returns, if any).
  void start(std::function<HWND(HINSTANCE)> setup) {
    sim::ProgramImage image;
    image.path = u"\\Windows\\screens" + std::u16string(1, static_cast<char16_t>(u'a' + programs_++)) + u".exe";
    image.resources = restest::Image();
    image.main = [setup = std::move(setup)](HINSTANCE instance, HINSTANCE, LPWSTR, int) {
      HWND dialog = setup(instance);
      MSG msg;
      while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        if (!dialog || !IsWindow(dialog) || !IsDialogMessageW(dialog, &msg)) {
          TranslateMessage(&msg);
          DispatchMessageW(&msg);
        }
      return 0;
    };
    std::u16string path = image.path;
    device_->service<sim::ImageRegistry>().install(std::move(image));
    ASSERT_NE(sim::StartProgram(*device_, path, u""), nullptr);
    settle();
  }
  void settle() { device_->scheduler().settle(10000, 3600 * 1000); }

  const sim::PixelBuffer& screen() {
    sim::ScreenLayout::get().refreshSurfaces();
    return sim::FrameBuffer::get().pixels();
  }
  COLORREF at(int x, int y) { return screen().color(x, y); }
  sim::ScreenHit hit(int x, int y) { return sim::HitTestScreen(POINT{x, y}); }
  void tapAt(int x, int y) {
    sim::Input::get().tap(POINT{x, y});
    settle();
  }
  void tapWindow(HWND hwnd, POINT client) {
    sim::Input::get().tapWindow(hwnd, client);
    settle();
  }

  // Writes the screen as `name`-WxH.png and gives the file's path.
  std::filesystem::path picture(const std::string& name) {
    std::string file = name + "-" + size_.name() + ".png";
    std::filesystem::path path = root_ / file;
    EXPECT_TRUE(sim::WritePng(screen(), path));
    if (const char* keep = std::getenv("HANDHELD_SCREENS_DIR")) {
      std::filesystem::create_directories(keep);
      std::filesystem::copy_file(path, std::filesystem::path(keep) / file,
                                 std::filesystem::copy_options::overwrite_existing);
    }
    return path;
  }

 private:
  ScreenSize size_;
  std::filesystem::path root_;
  std::unique_ptr<sim::Device> device_;
  int programs_ = 0;
};

inline COLORREF Shown(COLORREF color) { return sim::OnScreen(color); }
inline COLORREF Sys(int index) { return sim::OnScreen(GetSysColor(index)); }

}  // namespace screentest
