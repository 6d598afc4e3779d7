// The handheld's state as the page shows it beside the screen.
#include "device_listing.h"
#include "web/json.h"
#include "web/web_session.h"

namespace sim::web {

WebSession::WebSession(HandheldOptions options)
    : handheld_(std::move(options)), scenario_(handheld_, transcript_) {
  clock_.rebase(0, 0);
}

std::string WebSession::stateJson() {
  Clock& clock = device().clock();
  const std::uint64_t fileTime = clock.fileTimeUtc();
  FILETIME now{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
  std::string json = "{\"time\":" + JsonString(LocalDateText(now));
  json += ",\"deviceMs\":" + std::to_string(clock.now());
  json += std::string(",\"paused\":") + (clock_.paused() ? "true" : "false");
  json += std::string(",\"recording\":") + (recording_ ? "true" : "false");
  std::vector<std::string> steps = recorder_.lines();
  json += ",\"steps\":" + JsonStrings(steps);
  json += ",\"menuPending\":" + std::string(recorder_.menuOpen() ? "true" : "false");
  json += ",\"misuse\":" + JsonStrings(misuse_);
  if (script_) {
    std::size_t nextLine = script_->next < script_->steps.size() ? script_->steps[script_->next].line : 0;
    json += ",\"script\":{\"lines\":" + JsonStrings(script_->lines) + ",\"nextLine\":" + std::to_string(nextLine) +
            ",\"log\":" + JsonStrings(script_->log) + ",\"failed\":" + (script_->failed ? "true" : "false") + "}";
  }
  return json + "}";
}

}  // namespace sim::web
