// The screen's frame buffer: 16-bit 5-6-5 pixels at the device's screen size
// (240 x 320, or 480 x 640 on a VGA device, where everything is drawn at twice
// the size). A device service, made on first use, white at boot.
#pragma once

#include <memory>

#include "gdi/pixels.h"

namespace sim {

class Device;

class FrameBuffer {
 public:
  explicit FrameBuffer(Device& device);
  FrameBuffer(const FrameBuffer&) = delete;
  FrameBuffer& operator=(const FrameBuffer&) = delete;

  static FrameBuffer& get();

  PixelBuffer& pixels() { return *pixels_; }
  const PixelBuffer& pixels() const { return *pixels_; }
  std::shared_ptr<PixelBuffer> shared() { return pixels_; }
  int width() const { return pixels_->width(); }
  int height() const { return pixels_->height(); }
  // 2 on a VGA screen, where sizes in pixels double; 1 otherwise.
  int scale() const { return scale_; }
  // Logical pixels per inch the device reports (GetDeviceCaps LOGPIXELSX/Y).
  int pixelsPerInch() const { return 96 * scale_; }

 private:
  std::shared_ptr<PixelBuffer> pixels_;
  int scale_;
};

}  // namespace sim
