// FILETIME arithmetic: 100-nanosecond ticks since 1601-01-01.
#pragma once

#include <cstdint>
#include <optional>

#include <windows.h>

namespace sim::fs {

inline std::uint64_t Ticks(const FILETIME& t) {
  return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}
inline FILETIME MakeFileTime(std::uint64_t ticks) {
  return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

constexpr std::uint64_t kTicksPerSecond = 10000000ULL;
constexpr std::int64_t kUnixEpochTicks = 116444736000000000LL;

// Host seconds+nanoseconds since 1970 <-> ticks; host times before 1601 clamp to 0.
std::uint64_t TicksFromUnix(std::int64_t seconds, long nanoseconds);
void TicksToUnix(std::uint64_t ticks, std::int64_t& seconds, long& nanoseconds);

// Calendar conversions of the device (proleptic Gregorian, no leap seconds).
std::optional<SYSTEMTIME> TicksToSystemTime(std::uint64_t ticks);
std::optional<std::uint64_t> SystemTimeToTicks(const SYSTEMTIME& time);

}  // namespace sim::fs
