// The device's input paths: the keyboard and the touch screen.
//
// Usable from the driver (a test or the scenario runner acting as the user) and from
// simulated threads. Input is queued for the thread of the window it is for and
// takes effect only when that thread next pulls messages; the asynchronous key state
// changes at once.
//
// Tap-and-hold: delivered as WM_LBUTTONDOWN then WM_LBUTTONUP, the button-up stamped
// kHoldMs after the button-down. A control that offers a context menu asks
// Input::holding() while it handles WM_LBUTTONDOWN (as the device's gesture
// recogniser answers inside the button-down handler) and turns the hold into its
// context-menu notification.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

namespace sim {

class Device;

class Input {
 public:
  explicit Input(Device& device) : device_(device) { asyncKeys_.fill(false); }

  static Input& get();

  static constexpr DWORD kHoldMs = 1000;
  static constexpr DWORD kDoubleTapMs = 300;

  // A key going down or up, for the foreground window's thread.
  void key(BYTE vk, bool up);
  // A typed character (WM_CHAR) for the foreground window's thread, as the input
  // panel sends it; the key state stays as it is.
  void character(char16_t c);
  bool asyncKeyDown(int vk) const { return asyncKeys_[static_cast<std::size_t>(vk & 0xFF)]; }

  // A tap at a screen point; false when no window is there.
  bool tap(POINT screen);
  // A tap at a client point of a window (the window itself receives it).
  bool tapWindow(HWND hwnd, POINT client);
  // Two taps; a window whose class has CS_DBLCLKS gets WM_LBUTTONDBLCLK for the
  // second one.
  bool doubleTapWindow(HWND hwnd, POINT client);
  bool doubleTap(POINT screen);
  // The second tap of a double tap whose first tap was delivered on its own (a
  // person's stylus, whose second tap is not known until it comes).
  bool secondTap(POINT screen);
  // The hold gesture (see above).
  bool holdWindow(HWND hwnd, POINT client);
  bool hold(POINT screen);

  // True on the calling thread while the WM_LBUTTONDOWN it pulled last belongs to a
  // hold gesture (until it pulls another mouse message).
  static bool holding();

 private:
  enum class Gesture { Tap, DoubleTap, SecondTap, Hold };
  bool deliver(HWND hwnd, POINT client, Gesture gesture);

  Device& device_;
  std::array<bool, 256> asyncKeys_{};
};

}  // namespace sim
