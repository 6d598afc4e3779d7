// A booted handheld of either screen size whose test program makes windows and then
// pumps messages, and the screen it shows: pixels by position, hit-testing, taps,
// and PNG pictures.
//
// Pictures go to the test's own scratch folder; a developer who wants to look at
// them sets HANDHELD_SCREENS_DIR to a folder of their choice.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include <windows.h>

#include "../resources/test_image.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_device.h"
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
  explicit ScreenDevice(ScreenSize size) : size_(size), booted_(size.width, size.height), device_(&*booted_) {}

  sim::Device& device() { return *device_; }
  int s() const { return size_.scale(); }

  // Runs `setup` as a program with the test resources, then pumps its messages
  // (through IsDialogMessageW for the dialog it returns, if any).
  void start(std::function<HWND(HINSTANCE)> setup) {
    sim::ProgramImage image;
    image.path = u"\\Windows\\screens" + std::u16string(1, static_cast<char16_t>(u'a' + programs_++)) + u".exe";
    image.resources = test_support::Image();
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

  const sim::PixelBuffer& screen() { return sim::FrameBuffer::get().pixels(); }
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
    std::filesystem::path path = pictures_.path() / file;
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
  test_support::TestDevice booted_;
  sim::Device* device_;
  test_support::ScratchFolder pictures_;
  int programs_ = 0;
};

inline COLORREF Shown(COLORREF color) { return sim::OnScreen(color); }
inline COLORREF Sys(int index) { return sim::OnScreen(GetSysColor(index)); }

}  // namespace screentest
