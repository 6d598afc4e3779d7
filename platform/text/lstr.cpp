// The window manager's string helpers. Null strings are treated as empty where the
// device tolerates them. The comparisons (lstrcmpW, lstrcmpiW, CompareStringW) are
// the device's linguistic order: kernel/string_compare.cpp.
#include <windows.h>

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
