#include <strsafe.h>

#include <string_view>

#include "text/format.h"

namespace {

bool validSize(LPWSTR dest, size_t destChars) {
  return dest && destChars > 0 && destChars <= STRSAFE_MAX_CCH;
}

std::u16string_view source(LPCWSTR src, size_t maxChars = STRSAFE_MAX_CCH) {
  return src ? std::u16string_view(src, wcsnlen(src, maxChars)) : std::u16string_view();
}

HRESULT copyInto(LPWSTR dest, size_t destChars, std::u16string_view text) {
  return sim::copyTerminated(text, dest, destChars) ? S_OK : STRSAFE_E_INSUFFICIENT_BUFFER;
}

HRESULT appendInto(LPWSTR dest, size_t destChars, std::u16string_view text) {
  if (!validSize(dest, destChars)) return STRSAFE_E_INVALID_PARAMETER;
  const size_t used = wcsnlen(dest, destChars);
  // A destination with no zero inside its own size is already broken; leave it.
  if (used == destChars) return STRSAFE_E_INVALID_PARAMETER;
  return copyInto(dest + used, destChars - used, text);
}

}  // namespace

HRESULT StringCchCopyW(LPWSTR dest, size_t destChars, LPCWSTR src) {
  if (!validSize(dest, destChars)) return STRSAFE_E_INVALID_PARAMETER;
  return copyInto(dest, destChars, source(src));
}

HRESULT StringCchCopyNW(LPWSTR dest, size_t destChars, LPCWSTR src, size_t srcChars) {
  if (!validSize(dest, destChars) || srcChars > STRSAFE_MAX_CCH) {
    if (validSize(dest, destChars)) *dest = 0;
    return STRSAFE_E_INVALID_PARAMETER;
  }
  return copyInto(dest, destChars, source(src, srcChars));
}

HRESULT StringCchCatW(LPWSTR dest, size_t destChars, LPCWSTR src) {
  return appendInto(dest, destChars, source(src));
}

HRESULT StringCchCatNW(LPWSTR dest, size_t destChars, LPCWSTR src, size_t srcChars) {
  if (srcChars > STRSAFE_MAX_CCH) return STRSAFE_E_INVALID_PARAMETER;
  return appendInto(dest, destChars, source(src, srcChars));
}

HRESULT StringCchVPrintfW(LPWSTR dest, size_t destChars, LPCWSTR format, va_list args) {
  if (!validSize(dest, destChars)) return STRSAFE_E_INVALID_PARAMETER;
  if (!format) {
    *dest = 0;
    return STRSAFE_E_INVALID_PARAMETER;
  }
  return copyInto(dest, destChars, sim::formatWide(format, args));
}

HRESULT StringCchPrintfW(LPWSTR dest, size_t destChars, LPCWSTR format, ...) {
  va_list args;
  va_start(args, format);
  const HRESULT result = StringCchVPrintfW(dest, destChars, format, args);
  va_end(args);
  return result;
}

HRESULT StringCchLengthW(LPCWSTR s, size_t maxChars, size_t* length) {
  const size_t found = s && maxChars <= STRSAFE_MAX_CCH ? wcsnlen(s, maxChars) : maxChars;
  const bool ok = s && maxChars <= STRSAFE_MAX_CCH && found < maxChars;
  if (length) *length = ok ? found : 0;
  return ok ? S_OK : STRSAFE_E_INVALID_PARAMETER;
}

HRESULT StringCbCopyW(LPWSTR dest, size_t destBytes, LPCWSTR src) {
  return StringCchCopyW(dest, destBytes / sizeof(WCHAR), src);
}

HRESULT StringCbLengthW(LPCWSTR s, size_t maxBytes, size_t* lengthBytes) {
  size_t chars = 0;
  const HRESULT result = StringCchLengthW(s, maxBytes / sizeof(WCHAR), &chars);
  if (lengthBytes) *lengthBytes = chars * sizeof(WCHAR);
  return result;
}
