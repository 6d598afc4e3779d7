// Number parsing and printing of the C library over the device's characters. The
// device's long is 32 bits, so results saturate at its range, not the host's.
#include <windows.h>

#include <cstdint>
#include <limits>

#include "text/case_fold.h"

namespace {

constexpr std::int64_t kLongMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kLongMin = std::numeric_limits<std::int32_t>::min();
constexpr std::uint64_t kULongMax = std::numeric_limits<std::uint32_t>::max();

int digitValue(WCHAR c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'z') return c - u'a' + 10;
  if (c >= u'A' && c <= u'Z') return c - u'A' + 10;
  return 99;
}

struct Parsed {
  bool negative = false;
  bool overflow = false;
  std::uint64_t magnitude = 0;
  const WCHAR* end;
};

// Parses [white space][sign][0x]digits; the magnitude stops growing past 2^32.
Parsed parseInteger(const WCHAR* s, int base) {
  Parsed parsed{.end = s};
  if (base != 0 && (base < 2 || base > 36)) return parsed;
  const WCHAR* p = s;
  while (sim::isWhiteSpace(*p)) ++p;
  if (*p == u'+' || *p == u'-') parsed.negative = *p++ == u'-';
  if ((base == 0 || base == 16) && p[0] == u'0' && (p[1] == u'x' || p[1] == u'X') &&
      digitValue(p[2]) < 16) {
    p += 2;
    base = 16;
  } else if (base == 0) {
    base = p[0] == u'0' ? 8 : 10;
  }
  const WCHAR* digits = p;
  for (int digit; (digit = digitValue(*p)) < base; ++p) {
    parsed.magnitude = parsed.magnitude * base + digit;
    if (parsed.magnitude > kULongMax) {
      parsed.overflow = true;
      parsed.magnitude = kULongMax + 1;
    }
  }
  if (p != digits) parsed.end = p;
  return parsed;
}

WCHAR* formatUnsigned(std::uint32_t value, bool negative, WCHAR* buf, int radix) {
  if (radix < 2 || radix > 36) {
    buf[0] = 0;
    return buf;
  }
  WCHAR digits[33];
  int count = 0;
  do {
    const int digit = static_cast<int>(value % radix);
    digits[count++] = static_cast<WCHAR>(digit < 10 ? u'0' + digit : u'a' + digit - 10);
    value /= radix;
  } while (value);
  WCHAR* out = buf;
  if (negative) *out++ = u'-';
  while (count) *out++ = digits[--count];
  *out = 0;
  return buf;
}

}  // namespace

long wcstol(const WCHAR* s, WCHAR** end, int base) {
  const Parsed parsed = parseInteger(s, base);
  if (end) *end = const_cast<WCHAR*>(parsed.end);
  const std::int64_t value = parsed.negative ? -static_cast<std::int64_t>(parsed.magnitude)
                                             : static_cast<std::int64_t>(parsed.magnitude);
  if (value > kLongMax) return static_cast<long>(kLongMax);
  if (value < kLongMin) return static_cast<long>(kLongMin);
  return static_cast<long>(value);
}

unsigned long wcstoul(const WCHAR* s, WCHAR** end, int base) {
  const Parsed parsed = parseInteger(s, base);
  if (end) *end = const_cast<WCHAR*>(parsed.end);
  if (parsed.overflow) return static_cast<unsigned long>(kULongMax);
  const auto value = static_cast<std::uint32_t>(parsed.magnitude);
  return parsed.negative ? static_cast<std::uint32_t>(0u - value) : value;
}

int _wtoi(const WCHAR* s) { return static_cast<int>(wcstol(s, nullptr, 10)); }

WCHAR* _itow(int value, WCHAR* buf, int radix) { return _ltow(value, buf, radix); }

WCHAR* _ltow(long value, WCHAR* buf, int radix) {
  const auto device = static_cast<std::int32_t>(value);
  // Only decimal shows a sign; other radixes print the two's complement bits.
  if (radix == 10 && device < 0)
    return formatUnsigned(0u - static_cast<std::uint32_t>(device), true, buf, radix);
  return formatUnsigned(static_cast<std::uint32_t>(device), false, buf, radix);
}
