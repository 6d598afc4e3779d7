#include "web/feed.h"

namespace sim::web {

void Feed::publishFrame(std::uint64_t inputs, std::string pngBase64) {
  {
    std::lock_guard lock(mutex_);
    latest_.frame = std::move(pngBase64);
    latest_.frameInputs = inputs;
    ++latest_.frameSeq;
  }
  changed_.notify_all();
}

void Feed::publishState(std::string json) {
  {
    std::lock_guard lock(mutex_);
    if (latest_.state == json) return;
    latest_.state = std::move(json);
    ++latest_.stateSeq;
  }
  changed_.notify_all();
}

void Feed::close() {
  {
    std::lock_guard lock(mutex_);
    latest_.closed = true;
  }
  changed_.notify_all();
}

FeedSnapshot Feed::waitForNews(std::uint64_t frameSeen, std::uint64_t stateSeen, std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, timeout, [&] {
    return latest_.closed || latest_.frameSeq > frameSeen || latest_.stateSeq > stateSeen;
  });
  return latest_;
}

FeedSnapshot Feed::snapshot() {
  std::lock_guard lock(mutex_);
  return latest_;
}

}  // namespace sim::web
