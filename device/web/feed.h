// What the page is told as it happens: the latest picture of the screen and the
// latest state of the handheld (clock, recording, files), each with a number that
// grows with every change. The device host publishes; every open page waits on
// its own connection for a number it has not seen, so nothing polls.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

namespace sim::web {

struct FeedSnapshot {
  std::uint64_t frameSeq = 0;
  std::string frame;  // the screen as a PNG, base64
  std::uint64_t frameInputs = 0;  // how many inputs the device had been given when it was taken
  std::uint64_t stateSeq = 0;
  std::string state;  // JSON
  bool closed = false;
};

class Feed {
 public:
  void publishFrame(std::uint64_t inputs, std::string pngBase64);
  void publishState(std::string json);
  // Ends every wait: the server is stopping.
  void close();

  // Waits until the frame or the state is newer than the numbers given, the feed
  // closes, or `timeout` passes; answers what is there then.
  FeedSnapshot waitForNews(std::uint64_t frameSeen, std::uint64_t stateSeen, std::chrono::milliseconds timeout);
  FeedSnapshot snapshot();

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  FeedSnapshot latest_;
};

}  // namespace sim::web
