#include "web/device_host.h"

#include <filesystem>
#include <functional>
#include <string>

#include "gdi/frame_buffer.h"
#include "gdi/png.h"
#include "web/json.h"
#include "web/web_session.h"

namespace sim::web {

namespace {

constexpr std::chrono::milliseconds kLongestSleep{1000};
constexpr std::uint64_t kFilesCheckMs = 1000;

// A number that changes when any entry below `folder` appears, goes, or changes
// size or time; links below it are not followed, as the device does not see them.
std::uint64_t FolderFingerprint(const std::filesystem::path& folder) {
  std::uint64_t fingerprint = 1469598103934665603ull;
  std::error_code ec;
  auto mix = [&](std::uint64_t value) { fingerprint = (fingerprint ^ value) * 1099511628211ull; };
  for (std::filesystem::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    mix(std::hash<std::string>{}(it->path().string()));
    std::error_code statError;
    if (it->is_regular_file(statError)) mix(it->file_size(statError));
    mix(static_cast<std::uint64_t>(it->last_write_time(statError).time_since_epoch().count()));
  }
  return fingerprint;
}

}  // namespace

DeviceHost::DeviceHost(HandheldOptions options) {
  std::promise<void> booted;
  auto ready = booted.get_future();
  driver_ = std::thread([this, &booted, options = std::move(options)]() mutable {
    driverMain(std::move(options), booted);
  });
  try {
    ready.get();
  } catch (...) {
    driver_.join();
    throw;
  }
}

DeviceHost::~DeviceHost() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  feed_.close();
  if (driver_.joinable()) driver_.join();
}

std::uint64_t DeviceHost::realNow() const {
  auto elapsed = std::chrono::steady_clock::now() - start_;
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void DeviceHost::post(Task task) {
  {
    std::lock_guard lock(mutex_);
    if (stopping_) throw std::runtime_error("the handheld is shutting down");
    tasks_.push_back(std::move(task));
  }
  wake_.notify_all();
}

void DeviceHost::driverMain(HandheldOptions options, std::promise<void>& booted) {
  std::unique_ptr<WebSession> session;
  try {
    session = std::make_unique<WebSession>(std::move(options));
  } catch (...) {
    booted.set_exception(std::current_exception());
    return;
  }
  session->clock().rebase(realNow(), session->device().clock().now());
  booted.set_value();
  serve(*session);
  // Work handed in while stopping is answered with an error, never left waiting.
  std::deque<Task> left;
  {
    std::lock_guard lock(mutex_);
    left.swap(tasks_);
  }
  for (auto& task : left) task(*session);
  session.reset();
}

void DeviceHost::serve(WebSession& session) {
  followRealTime(session);
  publish(session);
  for (;;) {
    std::deque<Task> batch;
    auto wakeAt = nextWake(session);
    {
      std::unique_lock lock(mutex_);
      wake_.wait_until(lock, wakeAt, [&] { return stopping_ || !tasks_.empty(); });
      if (stopping_) return;
      batch.swap(tasks_);
    }
    for (auto& task : batch) {
      task(session);
      // Work that moved the clock (a settled scenario step) leaves real time to
      // carry on from there.
      const std::uint64_t now = session.device().clock().now();
      if (now > session.clock().deviceTimeAt(realNow(), 0)) session.clock().rebase(realNow(), now);
    }
    followRealTime(session);
    publish(session);
  }
}

std::chrono::steady_clock::time_point DeviceHost::nextWake(WebSession& session) {
  auto latest = std::chrono::steady_clock::now() + kLongestSleep;
  auto due = session.device().scheduler().nextDeadline();
  if (!due) return latest;
  auto real = session.clock().realTimeOf(*due);
  if (!real) return latest;
  return std::min(latest, start_ + std::chrono::milliseconds(*real));
}

void DeviceHost::followRealTime(WebSession& session) {
  Device& device = session.device();
  const std::uint64_t target = session.clock().deviceTimeAt(realNow(), device.clock().now());
  if (target > device.clock().now())
    device.scheduler().runUntil(target);
  else
    device.scheduler().runUntilIdle();
}

bool DeviceHost::filesChanged(WebSession& session) {
  const std::uint64_t now = realNow();
  if (filesCheckedAt_ && now - filesCheckedAt_ < kFilesCheckMs) return false;
  filesCheckedAt_ = now;
  std::uint64_t fingerprint = FolderFingerprint(session.handheld().folder());
  if (fingerprint == filesFingerprint_) return false;
  filesFingerprint_ = fingerprint;
  return true;
}

void DeviceHost::publish(WebSession& session) {
  const PixelBuffer& screen = FrameBuffer::get().pixels();
  if (shownScreen_.size() != screen.byteSize() ||
      !std::equal(shownScreen_.begin(), shownScreen_.end(), screen.bits())) {
    shownScreen_.assign(screen.bits(), screen.bits() + screen.byteSize());
    auto png = EncodePng(screen);
    feed_.publishFrame(session.inputs(), Base64(std::string_view(reinterpret_cast<const char*>(png.data()), png.size())));
  }
  if (filesChanged(session)) ++filesVersion_;
  session.newMisuse();
  std::string state = session.stateJson();
  state.insert(state.size() - 1, ",\"filesVersion\":" + std::to_string(filesVersion_));
  feed_.publishState(std::move(state));
}

}  // namespace sim::web
