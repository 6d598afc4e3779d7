// File times and their conversions; the device's time zone is the clock's offset.
#include "fs/file_time.h"

#include "fs/api_guard.h"
#include "kernel/device.h"

namespace sim::fs {

std::uint64_t TicksFromUnix(std::int64_t seconds, long nanoseconds) {
  std::int64_t ticks = kUnixEpochTicks + seconds * static_cast<std::int64_t>(kTicksPerSecond) + nanoseconds / 100;
  return ticks < 0 ? 0 : static_cast<std::uint64_t>(ticks);
}

void TicksToUnix(std::uint64_t ticks, std::int64_t& seconds, long& nanoseconds) {
  std::int64_t sinceUnix = static_cast<std::int64_t>(ticks) - kUnixEpochTicks;
  seconds = sinceUnix / static_cast<std::int64_t>(kTicksPerSecond);
  std::int64_t rest = sinceUnix % static_cast<std::int64_t>(kTicksPerSecond);
  if (rest < 0) {
    rest += kTicksPerSecond;
    --seconds;
  }
  nanoseconds = static_cast<long>(rest * 100);
}

namespace {

constexpr std::int64_t kTicksPerDay = 86400LL * kTicksPerSecond;
// Days from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kDays1601To1970 = 134774;

// Days since 1970-01-01 of a civil date and back (H. Hinnant's algorithms).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  unsigned yoe = static_cast<unsigned>(y - era * 400);
  unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d) {
  z += 719468;
  std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  unsigned doe = static_cast<unsigned>(z - era * 146097);
  unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  y = static_cast<std::int64_t>(yoe) + era * 400;
  unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y += m <= 2;
}

bool IsLeap(std::int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

unsigned DaysInMonth(std::int64_t y, unsigned m) {
  static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

}  // namespace

std::optional<SYSTEMTIME> TicksToSystemTime(std::uint64_t ticks) {
  if (ticks >= 0x8000000000000000ULL) return std::nullopt;
  std::int64_t t = static_cast<std::int64_t>(ticks);
  std::int64_t days = t / kTicksPerDay;
  std::int64_t inDay = t % kTicksPerDay;
  std::int64_t y;
  unsigned m, d;
  CivilFromDays(days - kDays1601To1970, y, m, d);
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(y);
  st.wMonth = static_cast<WORD>(m);
  st.wDay = static_cast<WORD>(d);
  st.wDayOfWeek = static_cast<WORD>((days + 1) % 7);  // 1601-01-01 was a Monday
  std::int64_t ms = inDay / 10000;
  st.wHour = static_cast<WORD>(ms / 3600000);
  st.wMinute = static_cast<WORD>(ms / 60000 % 60);
  st.wSecond = static_cast<WORD>(ms / 1000 % 60);
  st.wMilliseconds = static_cast<WORD>(ms % 1000);
  return st;
}

std::optional<std::uint64_t> SystemTimeToTicks(const SYSTEMTIME& st) {
  if (st.wYear < 1601 || st.wYear > 30827 || st.wMonth < 1 || st.wMonth > 12 || st.wDay < 1 ||
      st.wDay > DaysInMonth(st.wYear, st.wMonth) || st.wHour > 23 || st.wMinute > 59 || st.wSecond > 59 ||
      st.wMilliseconds > 999)
    return std::nullopt;
  std::int64_t days = DaysFromCivil(st.wYear, st.wMonth, st.wDay) + kDays1601To1970;
  std::int64_t ms = ((st.wHour * 60LL + st.wMinute) * 60 + st.wSecond) * 1000 + st.wMilliseconds;
  return static_cast<std::uint64_t>(days * kTicksPerDay + ms * 10000);
}

namespace {

std::int64_t ZoneTicks() {
  return static_cast<std::int64_t>(Device::current().clock().utcOffsetMinutes()) * 60 *
         static_cast<std::int64_t>(kTicksPerSecond);
}

BOOL Shifted(const FILETIME* in, LPFILETIME out, std::int64_t by) {
  if (!in || !out) return FailWith(ERROR_INVALID_PARAMETER);
  std::int64_t t = static_cast<std::int64_t>(Ticks(*in));
  if (t < 0 || t + by < 0) return FailWith(ERROR_INVALID_PARAMETER);
  *out = MakeFileTime(static_cast<std::uint64_t>(t + by));
  return TRUE;
}

}  // namespace

}  // namespace sim::fs

using namespace sim::fs;

BOOL FileTimeToLocalFileTime(const FILETIME* fileTime, LPFILETIME localFileTime) {
  if (InjectedFailure("FileTimeToLocalFileTime")) return FALSE;
  return Shifted(fileTime, localFileTime, ZoneTicks());
}

BOOL LocalFileTimeToFileTime(const FILETIME* localFileTime, LPFILETIME fileTime) {
  if (InjectedFailure("LocalFileTimeToFileTime")) return FALSE;
  return Shifted(localFileTime, fileTime, -ZoneTicks());
}

BOOL FileTimeToSystemTime(const FILETIME* fileTime, LPSYSTEMTIME systemTime) {
  if (InjectedFailure("FileTimeToSystemTime")) return FALSE;
  if (!fileTime || !systemTime) return FailWith(ERROR_INVALID_PARAMETER);
  auto st = TicksToSystemTime(Ticks(*fileTime));
  if (!st) return FailWith(ERROR_INVALID_PARAMETER);
  *systemTime = *st;
  return TRUE;
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* systemTime, LPFILETIME fileTime) {
  if (InjectedFailure("SystemTimeToFileTime")) return FALSE;
  if (!systemTime || !fileTime) return FailWith(ERROR_INVALID_PARAMETER);
  auto ticks = SystemTimeToTicks(*systemTime);
  if (!ticks) return FailWith(ERROR_INVALID_PARAMETER);
  *fileTime = MakeFileTime(*ticks);
  return TRUE;
}

LONG CompareFileTime(const FILETIME* a, const FILETIME* b) {
  std::uint64_t x = a ? Ticks(*a) : 0, y = b ? Ticks(*b) : 0;
  return x < y ? -1 : (x > y ? 1 : 0);
}
