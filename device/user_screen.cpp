// The user and the screen: what is drawn where, and the stylus at a pixel.
#include "user.h"

#include "gdi/frame_buffer.h"
#include "user/hit_test.h"
#include "user/input.h"
#include "user/screen_layout.h"

namespace sim {

namespace {

std::optional<UserError> Outcome(bool taken, POINT at) {
  if (taken) return std::nullopt;
  return UserError{"nothing at (" + std::to_string(at.x) + ", " + std::to_string(at.y) + ") takes a tap"};
}

bool OnScreen(POINT at) {
  const FrameBuffer& screen = FrameBuffer::get();
  return at.x >= 0 && at.y >= 0 && at.x < screen.width() && at.y < screen.height();
}

}  // namespace

const PixelBuffer& User::screen() {
  ScreenLayout::get().refreshSurfaces();
  return FrameBuffer::get().pixels();
}

std::u16string User::whatIsAt(POINT at) const {
  if (!OnScreen(at)) return u"off the screen";
  ScreenHit hit = HitTestScreen(at);
  return hit.kind == ScreenHit::Kind::Nothing ? u"nothing" : hit.what;
}

std::optional<UserError> User::tapAt(POINT at) {
  bool taken = OnScreen(at) && Input::get().tap(at);
  settle();
  return Outcome(taken, at);
}

std::optional<UserError> User::doubleTapAt(POINT at) {
  bool taken = OnScreen(at) && Input::get().doubleTap(at);
  settle();
  return Outcome(taken, at);
}

std::optional<UserError> User::holdAt(POINT at) {
  bool taken = OnScreen(at) && Input::get().hold(at);
  settle();
  return Outcome(taken, at);
}

}  // namespace sim
