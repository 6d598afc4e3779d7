// The C library's wide string functions over the device's 16-bit characters.
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "text/case_fold.h"

size_t wcslen(const WCHAR* s) {
  const WCHAR* end = s;
  while (*end) ++end;
  return static_cast<size_t>(end - s);
}

size_t wcsnlen(const WCHAR* s, size_t max) {
  size_t length = 0;
  while (length < max && s[length]) ++length;
  return length;
}

WCHAR* wcscpy(WCHAR* dst, const WCHAR* src) {
  WCHAR* out = dst;
  while ((*out++ = *src++)) {
  }
  return dst;
}

WCHAR* wcsncpy(WCHAR* dst, const WCHAR* src, size_t count) {
  size_t i = 0;
  for (; i < count && src[i]; ++i) dst[i] = src[i];
  for (; i < count; ++i) dst[i] = 0;
  return dst;
}

WCHAR* wcscat(WCHAR* dst, const WCHAR* src) {
  wcscpy(dst + wcslen(dst), src);
  return dst;
}

WCHAR* wcsncat(WCHAR* dst, const WCHAR* src, size_t count) {
  WCHAR* out = dst + wcslen(dst);
  size_t i = 0;
  for (; i < count && src[i]; ++i) out[i] = src[i];
  out[i] = 0;
  return dst;
}

int wcscmp(const WCHAR* a, const WCHAR* b) { return wcsncmp(a, b, static_cast<size_t>(-1)); }

int wcsncmp(const WCHAR* a, const WCHAR* b, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    if (a[i] != b[i]) return int(a[i]) - int(b[i]);
    if (!a[i]) break;
  }
  return 0;
}

int _wcsicmp(const WCHAR* a, const WCHAR* b) { return _wcsnicmp(a, b, static_cast<size_t>(-1)); }

int _wcsnicmp(const WCHAR* a, const WCHAR* b, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const int difference = int(sim::toLowerCase(a[i])) - int(sim::toLowerCase(b[i]));
    if (difference != 0) return difference;
    if (!a[i]) break;
  }
  return 0;
}

WCHAR* wcschr(const WCHAR* s, WCHAR c) {
  for (;; ++s) {
    if (*s == c) return const_cast<WCHAR*>(s);
    if (!*s) return nullptr;
  }
}

WCHAR* wcsrchr(const WCHAR* s, WCHAR c) {
  const WCHAR* found = nullptr;
  for (;; ++s) {
    if (*s == c) found = s;
    if (!*s) return const_cast<WCHAR*>(found);
  }
}

WCHAR* wcsstr(const WCHAR* s, const WCHAR* sub) {
  const size_t length = wcslen(sub);
  for (; *s; ++s)
    if (wcsncmp(s, sub, length) == 0) return const_cast<WCHAR*>(s);
  return length == 0 ? const_cast<WCHAR*>(s) : nullptr;
}

size_t wcsspn(const WCHAR* s, const WCHAR* set) {
  size_t length = 0;
  while (s[length] && wcschr(set, s[length])) ++length;
  return length;
}

size_t wcscspn(const WCHAR* s, const WCHAR* set) {
  size_t length = 0;
  while (s[length] && !wcschr(set, s[length])) ++length;
  return length;
}
