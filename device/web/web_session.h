// Everything the page works on, owned by the device host's driver thread: the
// handheld, the user acting on it, the device clock that follows real time, the
// recording, the scenario opened to run step by step. Every function here runs on
// the driver, between runs of the device, one request at a time.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "handheld.h"
#include "scenario/script.h"
#include "scenario/session.h"
#include "web/device_clock.h"
#include "web/recorder.h"
#include "web/tap_naming.h"

namespace sim::web {

// What a request gets back: a status and a JSON body (or bytes, for a download).
struct Answer {
  int status = 200;
  std::string body = "{}";
  std::string contentType = "application/json";
};
Answer Refused(int status, std::string_view why);

// A scenario opened in the page and run one step at a time.
struct OpenedScript {
  std::vector<std::string> lines;  // the script's lines as written
  std::vector<scenario::Step> steps;
  std::size_t next = 0;
  std::vector<std::string> log;  // one line per step run: what it was and how it went
  bool failed = false;
};

class WebSession {
 public:
  explicit WebSession(HandheldOptions options);

  Handheld& handheld() { return handheld_; }
  Device& device() { return handheld_.device(); }
  User& user() { return scenario_.user; }
  DeviceClock& clock() { return clock_; }

  // --- the person's hands (session_input.cpp) ---
  Answer stylus(POINT at, Gesture gesture);
  // What a tap at the point would reach, in words; nothing is tapped.
  Answer whatIsAt(POINT at);
  Answer key(const std::string& name);
  Answer text(const std::string& utf8);
  Answer inputPanel(bool raised);
  Answer startMenu();
  Answer open(const std::string& path);

  // --- time (session_input.cpp) ---
  Answer clockControl(const std::string& action, std::uint64_t ms, std::uint64_t realNow);

  // --- recording and expectations (session_recording.cpp) ---
  Answer setRecording(bool on);
  Answer clearRecording();
  Answer expect(const std::string& what, std::optional<POINT> at, const std::string& path);
  std::string recordedScript() const { return recorder_.script(); }

  // --- a scenario run step by step (session_script.cpp) ---
  Answer openScript(const std::string& text);
  Answer stepScript();

  // --- the device's files (session_files.cpp) ---
  Answer listFolder(const std::string& path);
  Answer readFile(const std::string& path);
  Answer writeFile(const std::string& path, const std::string& bytes);

  // The state the page shows beside the screen, as JSON (session_state.cpp).
  std::string stateJson();
  // Misuse of the platform recorded since the last look, in words.
  std::vector<std::string> newMisuse();
  // How many taps, keys and texts the device has been given: a picture of the
  // screen made after the answer to one of them says N shows its effect.
  std::uint64_t inputs() const { return inputs_; }

 private:
  // Runs a scenario step on the handheld through the table of words; the reason
  // it did not hold, if it did not.
  std::optional<std::string> runStep(const std::string& line, bool settle);
  void record(const std::string& line);
  void recordTap(const TapName& name, POINT at, Gesture gesture);

  Handheld handheld_;
  std::ostringstream transcript_;
  scenario::Session scenario_;
  DeviceClock clock_;
  Recorder recorder_;
  bool recording_ = true;
  std::optional<OpenedScript> script_;
  std::vector<std::string> misuse_;
  std::size_t faultsSeen_ = 0;
  std::uint64_t inputs_ = 0;
};

}  // namespace sim::web
