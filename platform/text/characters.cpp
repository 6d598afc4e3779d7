// Character classes and case of single characters and whole strings.
#include <windows.h>

#include "text/case_fold.h"

namespace {

bool inCharRange(int c) { return c >= 0 && c <= 0xFFFF; }
char16_t unit(int c) { return static_cast<char16_t>(c); }

}  // namespace

WCHAR towlower(int c) { return inCharRange(c) ? sim::toLowerCase(unit(c)) : unit(c); }
WCHAR towupper(int c) { return inCharRange(c) ? sim::toUpperCase(unit(c)) : unit(c); }

int iswspace(int c) { return inCharRange(c) && sim::isWhiteSpace(unit(c)); }
int iswdigit(int c) { return c >= '0' && c <= '9'; }
int iswalpha(int c) { return inCharRange(c) && sim::isLetter(unit(c)); }

WCHAR* _wcslwr(WCHAR* s) {
  for (WCHAR* p = s; *p; ++p) *p = sim::toLowerCase(*p);
  return s;
}

WCHAR* _wcsupr(WCHAR* s) {
  for (WCHAR* p = s; *p; ++p) *p = sim::toUpperCase(*p);
  return s;
}

LPWSTR CharUpperW(LPWSTR s) {
  if (IS_INTRESOURCE(s))
    return MAKEINTRESOURCEW(sim::toUpperCase(static_cast<char16_t>(reinterpret_cast<ULONG_PTR>(s))));
  return _wcsupr(s);
}

LPWSTR CharNextW(LPCWSTR s) {
  if (!*s) return const_cast<LPWSTR>(s);
  const bool pair = s[0] >= 0xD800 && s[0] <= 0xDBFF && s[1] >= 0xDC00 && s[1] <= 0xDFFF;
  return const_cast<LPWSTR>(s + (pair ? 2 : 1));
}

LPWSTR CharPrevW(LPCWSTR start, LPCWSTR current) {
  if (current <= start) return const_cast<LPWSTR>(start);
  LPCWSTR previous = current - 1;
  if (previous > start && *previous >= 0xDC00 && *previous <= 0xDFFF && previous[-1] >= 0xD800 &&
      previous[-1] <= 0xDBFF)
    --previous;
  return const_cast<LPWSTR>(previous);
}
