// A booted handheld for the drawing tests: programs that carry the test resources,
// memory contexts to draw in, and pictures of what was drawn.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <span>
#include <string>

#include <windows.h>

#include "gdi/gdi_objects.h"
#include "gdi/png.h"
#include "kernel/device.h"
#include "kernel/image_registry.h"
#include "kernel/process.h"
#include "tests/support/misuse.h"

extern "C" const unsigned char test_resources[];
extern "C" const std::size_t test_resources_size;

namespace gditest {

class Handheld {
 public:
  explicit Handheld(int width = 240, int height = 320) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = std::filesystem::temp_directory_path() /
            ("handheld-gdi-" + std::to_string(::getpid()) + "-" + test->test_suite_name() + "-" + test->name());
    std::filesystem::create_directories(root_);
    sim::DeviceConfig config;
    config.root = root_;
    config.screenWidth = width;
    config.screenHeight = height;
    device_ = std::make_unique<sim::Device>(test_support::FailOnMisuse(config));
  }
  ~Handheld() {
    device_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

  sim::Device& device() { return *device_; }
  const std::vector<sim::ProgramFault>& faults() { return device_->faults().programFaults(); }

  // Runs `body` as a program that carries the test resources, to its end.
  void run(std::function<void(HINSTANCE)> body) {
    sim::ProgramImage image;
    image.path = u"\\Windows\\gditest" + std::u16string(1, static_cast<char16_t>(u'a' + runs_++)) + u".exe";
    image.resources = std::span<const unsigned char>(test_resources, test_resources_size);
    image.main = [body = std::move(body)](HINSTANCE instance, HINSTANCE, LPWSTR, int) {
      body(instance);
      return 0;
    };
    std::u16string path = image.path;
    device_->service<sim::ImageRegistry>().install(std::move(image));
    ASSERT_NE(sim::StartProgram(*device_, path, u""), nullptr);
    device_->scheduler().runUntilIdle();
  }

 private:
  std::filesystem::path root_;
  std::unique_ptr<sim::Device> device_;
  int runs_ = 0;
};

// A memory context holding a fresh screen-format bitmap, filled white; both are
// given back at the end of the scope.
class Drawing {
 public:
  Drawing(int width, int height) : dc_(CreateCompatibleDC(nullptr)) {
    HDC screen = GetDC(nullptr);
    bitmap_ = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    previous_ = SelectObject(dc_, bitmap_);
    RECT all{0, 0, width, height};
    FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  ~Drawing() {
    SelectObject(dc_, previous_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  COLORREF at(int x, int y) const { return GetPixel(dc_, x, y); }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ previous_;
};

// Where the tests leave pictures of what they drew, for a person to look at.
inline std::filesystem::path PictureFolder() {
  std::filesystem::path folder = std::filesystem::current_path() / "gdi-pictures";
  std::filesystem::create_directories(folder);
  return folder;
}

// The colour the screen stores for `color`.
inline COLORREF Shown(COLORREF color) { return sim::OnScreen(color); }

}  // namespace gditest
