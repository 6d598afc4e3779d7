// The screen's frame buffer: 16-bit 5-6-5 pixels at the device's screen size
// (240 x 320, or 480 x 640 on a VGA device, where everything is drawn at twice
// the size). A device service, made on first use, white at boot.
#pragma once

#include <functional>
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

  // The pixels as a person sees them now: whatever the system still owes the
  // screen is drawn first (see setCatchUp). Drawing goes through shared().
  const PixelBuffer& pixels() const;
  // The pixels drawing contexts draw on, as they are.
  std::shared_ptr<PixelBuffer> shared() { return pixels_; }
  // Draws what the system still owes the screen. A context that may read the whole
  // screen (GetDC of no window) calls it when it opens.
  void catchUp() const;
  // What brings the screen up to date before it is looked at: the window system
  // draws its own parts lazily (ScreenLayout). Empty to stop.
  void setCatchUp(std::function<void()> catchUp) { catchUp_ = std::move(catchUp); }
  int width() const { return pixels_->width(); }
  int height() const { return pixels_->height(); }
  // 2 on a VGA screen, where sizes in pixels double; 1 otherwise.
  int scale() const { return scale_; }
  // Logical pixels per inch the device reports (GetDeviceCaps LOGPIXELSX/Y).
  int pixelsPerInch() const { return 96 * scale_; }

 private:
  std::shared_ptr<PixelBuffer> pixels_;
  int scale_;
  std::function<void()> catchUp_;
};

}  // namespace sim
