// Pieces of the drawing tests: memory contexts to draw in, and pictures of what was
// drawn.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>

#include <windows.h>

#include "gdi/gdi_objects.h"
#include "gdi/png.h"
#include "tests/support/test_device.h"

namespace test_support {

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

}  // namespace test_support
