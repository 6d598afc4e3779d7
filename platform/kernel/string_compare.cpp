// The device's linguistic comparison of texts: lstrcmpW, lstrcmpiW and
// CompareStringW, in the Japanese order of the device's one locale. Each device has
// its own collation, opened when a program first compares texts.
#include <windows.h>

#include <string_view>

#include "kernel/device.h"
#include "text/collation.h"

namespace sim {

namespace {

// A device service, so that the collator is the device's, made on first use and
// closed when the device shuts down.
struct DeviceCollation {
  explicit DeviceCollation(Device&) {}
  Collation collation;
};

Collation& CollationOfDevice() { return Device::current().service<DeviceCollation>().collation; }

std::u16string_view View(LPCWSTR s) { return s ? std::u16string_view(s) : std::u16string_view(); }

std::u16string_view View(LPCWSTR s, int count) {
  return count < 0 ? std::u16string_view(s) : std::u16string_view(s, static_cast<std::size_t>(count));
}

int Sign(int value) { return (value > 0) - (value < 0); }

// The default locales and Japanese under any sub-language; the device has no other.
bool IsDeviceLocale(LCID locale) {
  return locale == LOCALE_USER_DEFAULT || locale == LOCALE_SYSTEM_DEFAULT ||
         PRIMARYLANGID(static_cast<WORD>(locale & 0xFFFF)) == LANG_JAPANESE;
}

constexpr DWORD kKnownFlags = NORM_IGNORECASE | NORM_IGNORENONSPACE | NORM_IGNORESYMBOLS | NORM_IGNOREKANATYPE |
                              NORM_IGNOREWIDTH | SORT_STRINGSORT;

}  // namespace

}  // namespace sim

// Null strings are taken as empty, as the device tolerates them here.
int lstrcmpW(LPCWSTR a, LPCWSTR b) { return sim::Sign(sim::CollationOfDevice().compare(sim::View(a), sim::View(b), 0)); }

int lstrcmpiW(LPCWSTR a, LPCWSTR b) {
  return sim::Sign(sim::CollationOfDevice().compare(sim::View(a), sim::View(b), NORM_IGNORECASE));
}

int CompareStringW(LCID locale, DWORD flags, LPCWSTR a, int countA, LPCWSTR b, int countB) {
  if (!a || !b || (flags & ~sim::kKnownFlags) || !sim::IsDeviceLocale(locale)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const int order = sim::CollationOfDevice().compare(sim::View(a, countA), sim::View(b, countB), flags);
  return CSTR_EQUAL + sim::Sign(order);
}
