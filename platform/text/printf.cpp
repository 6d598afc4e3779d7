// The formatting entry points. All of them build the text first and then copy what
// fits, so none can write past the size it was given.
#include <windows.h>

#include <climits>

#include "text/format.h"

namespace {

// The window manager's formatter stops at 1024 characters including the zero.
constexpr size_t kWsprintfLimit = 1024;

int lengthAsInt(size_t length) { return length > INT_MAX ? INT_MAX : static_cast<int>(length); }

}  // namespace

int vswprintf(WCHAR* buffer, const WCHAR* format, va_list args) {
  const std::u16string text = sim::formatWide(format, args);
  sim::copyTerminated(text, buffer, text.size() + 1);
  return lengthAsInt(text.size());
}

int swprintf(WCHAR* buffer, const WCHAR* format, ...) {
  va_list args;
  va_start(args, format);
  const int result = vswprintf(buffer, format, args);
  va_end(args);
  return result;
}

int _vsnwprintf(WCHAR* buffer, size_t count, const WCHAR* format, va_list args) {
  // As on the device: a text that fills the buffer exactly comes back with its
  // length and no terminator, a longer one as -1 with the first count characters
  // written and no terminator either, so a caller that trusts only -1 reads past
  // its buffer.
  return sim::copyBounded(sim::formatWide(format, args), buffer, count);
}

int _snwprintf(WCHAR* buffer, size_t count, const WCHAR* format, ...) {
  va_list args;
  va_start(args, format);
  const int result = _vsnwprintf(buffer, count, format, args);
  va_end(args);
  return result;
}

int _vscwprintf(const WCHAR* format, va_list args) {
  return lengthAsInt(sim::formatWide(format, args).size());
}

int _scwprintf(const WCHAR* format, ...) {
  va_list args;
  va_start(args, format);
  const int result = _vscwprintf(format, args);
  va_end(args);
  return result;
}

int wvsprintfW(LPWSTR buffer, LPCWSTR format, va_list args) {
  const std::u16string text = sim::formatWide(format, args);
  sim::copyTerminated(text, buffer, kWsprintfLimit);
  return lengthAsInt(wcslen(buffer));
}

int wsprintfW(LPWSTR buffer, LPCWSTR format, ...) {
  va_list args;
  va_start(args, format);
  const int result = wvsprintfW(buffer, format, args);
  va_end(args);
  return result;
}
