#include "web/request_limits.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace sim::web {

bool RateLimit::admit(std::uint64_t nowMs) {
  std::lock_guard lock(mutex_);
  if (nowMs > lastMs_) {
    tokens_ = std::min(burst_, tokens_ + static_cast<double>(nowMs - lastMs_) * perSecond_ / 1000.0);
    lastMs_ = nowMs;
  }
  if (tokens_ < 1.0) return false;
  tokens_ -= 1.0;
  return true;
}

bool SameSite(std::string_view hostHeader, std::string_view origin, std::string_view serverHost, int port) {
  const std::string portText = ":" + std::to_string(port);
  auto isServer = [&](std::string_view authority) {
    if (authority == std::string(serverHost) + portText) return true;
    // The loopback address is also reached as localhost.
    return serverHost == "127.0.0.1" && authority == "localhost" + portText;
  };
  constexpr std::string_view kScheme = "http://";
  // Opened on another address on purpose, the server answers whatever name it is
  // reached by; a page of another site still cannot act on it.
  if (serverHost != "127.0.0.1") return origin.empty() || origin == std::string(kScheme) + std::string(hostHeader);
  if (!isServer(hostHeader)) return false;
  return origin.empty() || (origin.starts_with(kScheme) && isServer(origin.substr(kScheme.size())));
}

std::optional<long> RequestNumber(std::string_view text, long min, long max) {
  long value = 0;
  if (text.empty() || text.size() > 12) return std::nullopt;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < min || value > max) return std::nullopt;
  return value;
}

}  // namespace sim::web
