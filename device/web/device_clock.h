// The device clock of a handheld in the web page: it follows real time, so timers
// fire when they would on the device, unless a person pauses it to step through
// deadlines or moves it forward by a chosen amount.
//
// Pure arithmetic over two time lines (the host's steady milliseconds and the
// device's milliseconds since boot); the device host applies what it answers.
#pragma once

#include <cstdint>
#include <optional>

namespace sim::web {

class DeviceClock {
 public:
  // The device time that goes with real moment `realMs` (the device's own time
  // while paused).
  std::uint64_t deviceTimeAt(std::uint64_t realMs, std::uint64_t deviceNow) const;
  // The real moment at which the device reaches `deviceMs`; nothing while paused.
  std::optional<std::uint64_t> realTimeOf(std::uint64_t deviceMs) const;

  bool paused() const { return paused_; }
  void pause(std::uint64_t realMs, std::uint64_t deviceNow);
  void resume(std::uint64_t realMs, std::uint64_t deviceNow);
  // The device clock was moved by something else (a step, an advance, a settled
  // scenario step): real time goes on from there.
  void rebase(std::uint64_t realMs, std::uint64_t deviceNow);

 private:
  bool paused_ = false;
  std::uint64_t anchorReal_ = 0;
  std::uint64_t anchorDevice_ = 0;
};

}  // namespace sim::web
