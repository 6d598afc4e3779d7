// Runs one handheld for the web server on a thread of its own, the device's
// driver: requests hand it work one at a time (so two pages on one server never
// act on the device at once), and between requests it moves the device clock with
// real time and tells the pages what changed. It sleeps until the next thing is
// due on the device, a request arrives, or a second has passed.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <type_traits>
#include <vector>

#include "handheld.h"
#include "web/feed.h"

namespace sim::web {

class WebSession;

class DeviceHost {
 public:
  // Boots the handheld on the driver thread; throws what booting throws.
  explicit DeviceHost(HandheldOptions options);
  ~DeviceHost();
  DeviceHost(const DeviceHost&) = delete;
  DeviceHost& operator=(const DeviceHost&) = delete;

  // Runs `work` on the driver after the work handed in before it, and answers its
  // result (or throws what it threw). Throws std::runtime_error once stopping.
  template <class Work>
  auto run(Work work) -> std::invoke_result_t<Work, WebSession&> {
    using Result = std::invoke_result_t<Work, WebSession&>;
    std::packaged_task<Result(WebSession&)> task(std::move(work));
    auto result = task.get_future();
    post([&task](WebSession& session) { task(session); });
    return result.get();
  }

  Feed& feed() { return feed_; }
  // Milliseconds of the host's steady clock since the host started.
  std::uint64_t realNow() const;

 private:
  using Task = std::function<void(WebSession&)>;
  void post(Task task);
  void driverMain(HandheldOptions options, std::promise<void>& booted);
  void serve(WebSession& session);
  std::chrono::steady_clock::time_point nextWake(WebSession& session);
  void followRealTime(WebSession& session);
  void publish(WebSession& session);
  bool filesChanged(WebSession& session);

  const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Task> tasks_;
  bool stopping_ = false;
  Feed feed_;
  std::vector<std::uint8_t> shownScreen_;
  std::uint64_t filesFingerprint_ = 0;
  std::uint64_t filesVersion_ = 0;
  std::uint64_t filesCheckedAt_ = 0;
  std::thread driver_;
};

}  // namespace sim::web
