#include "bounded_format.h"

#include <stdarg.h>

BOOL FormatWhole(LPWSTR buffer, size_t count, LPCWSTR format, ...) {
  va_list args;
  va_start(args, format);
  int written = _vsnwprintf(buffer, count, format, args);
  va_end(args);
  if (written >= 0 && (size_t)written < count) return TRUE;
  if (count > 0) buffer[0] = 0;
  return FALSE;
}
