// Bounded formatting that treats a text that does not fit as a failure.
#pragma once

#include <windows.h>

// Formats into `buffer` of `count` characters. TRUE when the whole text and its
// terminator fit. Otherwise FALSE and `buffer` holds the empty text: _snwprintf
// leaves a text that fills the buffer exactly, or overflows it, without a
// terminator, and a cut path must never be used as if it were whole.
BOOL FormatWhole(LPWSTR buffer, size_t count, LPCWSTR format, ...);
