// The window manager's string helpers. Null strings are treated as empty where the
// device tolerates them. The comparisons (lstrcmpW, lstrcmpiW, CompareStringW) are
// the device's linguistic order: kernel/string_compare.cpp.
#include <windows.h>

LPWSTR lstrcpynW(LPWSTR dst, LPCWSTR src, int count) {
  if (!dst || count <= 0) return dst;
  int i = 0;
  for (; src && i < count - 1 && src[i]; ++i) dst[i] = src[i];
  dst[i] = 0;
  return dst;
}
