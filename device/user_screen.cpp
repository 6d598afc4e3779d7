// The user and the screen: what is drawn where, and the stylus at a pixel.
#include "user.h"

#include "gdi/frame_buffer.h"
#include "user/hit_test.h"
#include "user/input.h"
#include "user/menu.h"
#include "user/menu_popup.h"
#include "user/menu_tracker.h"

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

// The entry of the open menu drawn at a screen point.
std::optional<MenuEntryView> MenuEntryAt(POINT at) {
  MenuTracker& tracker = MenuTracker::get();
  if (!tracker.isOpen()) return std::nullopt;
  auto boxes = tracker.layout();
  auto hit = MenuItemAt(boxes, at);
  if (!hit || hit->second < 0) return std::nullopt;
  auto items = DescribeMenu(boxes[hit->first].menu);
  if (!items || static_cast<std::size_t>(hit->second) >= items->size()) return std::nullopt;
  const MenuItemView& item = (*items)[static_cast<std::size_t>(hit->second)];
  return MenuEntryView{item.text, item.separator, item.grayed, item.checked, item.submenu != nullptr};
}

}  // namespace

bool User::touch(POINT screen, ItemGesture gesture) {
  if (!OnScreen(screen)) return false;
  lastTouch_ = Touch{screen, HitTestScreen(screen), MenuEntryAt(screen)};
  Input& input = Input::get();
  switch (gesture) {
    case ItemGesture::Tap:
      return input.tap(screen);
    case ItemGesture::DoubleTap:
      return input.doubleTap(screen);
    case ItemGesture::Hold:
      return input.hold(screen);
  }
  return false;
}

// Hit-testing of the screen decides what gets the stylus, so a covered control or
// item is not reached.
bool User::touchWindow(HWND hwnd, POINT client, ItemGesture gesture) {
  POINT screen = client;
  if (!ClientToScreen(hwnd, &screen)) return false;
  return touch(screen, gesture);
}

const PixelBuffer& User::screen() { return FrameBuffer::get().pixels(); }

std::u16string User::whatIsAt(POINT at) const {
  if (!OnScreen(at)) return u"off the screen";
  ScreenHit hit = HitTestScreen(at);
  return hit.kind == ScreenHit::Kind::Nothing ? u"nothing" : hit.what;
}

std::optional<UserError> User::tapAt(POINT at) {
  bool taken = touch(at, ItemGesture::Tap);
  settle();
  return Outcome(taken, at);
}

std::optional<UserError> User::doubleTapAt(POINT at) {
  bool taken = touch(at, ItemGesture::DoubleTap);
  settle();
  return Outcome(taken, at);
}

std::optional<UserError> User::holdAt(POINT at) {
  bool taken = touch(at, ItemGesture::Hold);
  settle();
  return Outcome(taken, at);
}

}  // namespace sim
