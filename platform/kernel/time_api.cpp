// Device time at the API boundary: the tick count and the wall clock.
#include <windows.h>

#include <chrono>

#include "kernel/device.h"

namespace {

SYSTEMTIME toSystemTime(std::uint64_t fileTime) {
  using namespace std::chrono;
  constexpr std::uint64_t kUnitsPerMs = 10000;
  constexpr std::int64_t kUnixEpochMs = 11644473600000LL;  // 1601-01-01 to 1970-01-01
  const auto unixMs = static_cast<std::int64_t>(fileTime / kUnitsPerMs) - kUnixEpochMs;
  const sys_time<milliseconds> moment{milliseconds{unixMs}};
  const auto day = floor<days>(moment);
  const year_month_day date{day};
  const hh_mm_ss time{moment - day};
  SYSTEMTIME result{};
  result.wYear = static_cast<WORD>(static_cast<int>(date.year()));
  result.wMonth = static_cast<WORD>(static_cast<unsigned>(date.month()));
  result.wDay = static_cast<WORD>(static_cast<unsigned>(date.day()));
  result.wDayOfWeek = static_cast<WORD>(weekday{day}.c_encoding());
  result.wHour = static_cast<WORD>(time.hours().count());
  result.wMinute = static_cast<WORD>(time.minutes().count());
  result.wSecond = static_cast<WORD>(time.seconds().count());
  result.wMilliseconds = static_cast<WORD>(time.subseconds().count());
  return result;
}

std::int64_t localOffsetUnits(const sim::Clock& clock) {
  return static_cast<std::int64_t>(clock.utcOffsetMinutes()) * 60 * 10000000LL;
}

}  // namespace

DWORD GetTickCount() { return static_cast<DWORD>(sim::Device::current().clock().now()); }

void GetSystemTime(LPSYSTEMTIME time) {
  if (time) *time = toSystemTime(sim::Device::current().clock().fileTimeUtc());
}

void GetLocalTime(LPSYSTEMTIME time) {
  if (!time) return;
  const auto& clock = sim::Device::current().clock();
  *time = toSystemTime(static_cast<std::uint64_t>(static_cast<std::int64_t>(clock.fileTimeUtc()) + localOffsetUnits(clock)));
}
