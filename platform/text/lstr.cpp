// The window manager's string helpers and CompareStringW. Null strings are treated
// as empty where the device tolerates them.
#include <windows.h>

#include <string_view>

#include "text/case_fold.h"

namespace {

std::u16string_view view(LPCWSTR s) { return s ? std::u16string_view(s) : std::u16string_view(); }

std::u16string_view view(LPCWSTR s, int count) {
  return count < 0 ? std::u16string_view(s) : std::u16string_view(s, static_cast<size_t>(count));
}

int sign(int value) { return (value > 0) - (value < 0); }

}  // namespace

int lstrlenW(LPCWSTR s) { return s ? static_cast<int>(wcslen(s)) : 0; }

LPWSTR lstrcpyW(LPWSTR dst, LPCWSTR src) { return wcscpy(dst, src ? src : u""); }

LPWSTR lstrcpynW(LPWSTR dst, LPCWSTR src, int count) {
  if (!dst || count <= 0) return dst;
  int i = 0;
  for (; src && i < count - 1 && src[i]; ++i) dst[i] = src[i];
  dst[i] = 0;
  return dst;
}

LPWSTR lstrcatW(LPWSTR dst, LPCWSTR src) { return wcscat(dst, src ? src : u""); }

int lstrcmpW(LPCWSTR a, LPCWSTR b) { return sign(view(a).compare(view(b))); }

int lstrcmpiW(LPCWSTR a, LPCWSTR b) { return sign(sim::compareIgnoringCase(view(a), view(b))); }

int CompareStringW(LCID, DWORD flags, LPCWSTR a, int countA, LPCWSTR b, int countB) {
  constexpr DWORD known = NORM_IGNORECASE | NORM_IGNORENONSPACE | NORM_IGNORESYMBOLS |
                          NORM_IGNOREKANATYPE | NORM_IGNOREWIDTH | SORT_STRINGSORT;
  if (!a || !b || (flags & ~known)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const auto left = view(a, countA), right = view(b, countB);
  const int order = (flags & NORM_IGNORECASE) ? sim::compareIgnoringCase(left, right)
                                              : left.compare(right);
  return CSTR_EQUAL + sign(order);
}
