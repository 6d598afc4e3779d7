#include "gdi/frame_buffer.h"

#include "kernel/device.h"

namespace sim {

FrameBuffer::FrameBuffer(Device& device)
    : pixels_(std::make_shared<PixelBuffer>(device.config().screenWidth, device.config().screenHeight,
                                            PixelFormat::Screen())),
      scale_(device.config().screenWidth >= 480 ? 2 : 1) {
  for (int y = 0; y < pixels_->height(); ++y) pixels_->fillSpan(y, 0, pixels_->width(), 0xFFFF);
}

void FrameBuffer::catchUp() const {
  if (catchUp_) catchUp_();
}

const PixelBuffer& FrameBuffer::pixels() const {
  catchUp();
  return *pixels_;
}

FrameBuffer& FrameBuffer::get() { return Device::current().service<FrameBuffer>(); }

}  // namespace sim
