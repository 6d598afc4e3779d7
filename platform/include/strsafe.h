// Bounded string functions. Every function that writes leaves the destination
// terminated (when it has room for the zero at all) and reports truncation with
// STRSAFE_E_INSUFFICIENT_BUFFER, keeping what fitted. A null source counts as empty.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <cstddef>

#define STRSAFE_MAX_CCH 2147483647
#define STRSAFE_E_INSUFFICIENT_BUFFER ((HRESULT)0x8007007AL)
#define STRSAFE_E_INVALID_PARAMETER ((HRESULT)0x80070057L)
#define STRSAFE_E_END_OF_FILE ((HRESULT)0x80070026L)

typedef WCHAR* STRSAFE_LPWSTR;
typedef const WCHAR* STRSAFE_LPCWSTR;

HRESULT StringCchCopyW(LPWSTR dest, size_t destChars, LPCWSTR src);
HRESULT StringCchCopyNW(LPWSTR dest, size_t destChars, LPCWSTR src, size_t srcChars);
HRESULT StringCchCatW(LPWSTR dest, size_t destChars, LPCWSTR src);
HRESULT StringCchCatNW(LPWSTR dest, size_t destChars, LPCWSTR src, size_t srcChars);
HRESULT StringCchPrintfW(LPWSTR dest, size_t destChars, LPCWSTR format, ...);
HRESULT StringCchVPrintfW(LPWSTR dest, size_t destChars, LPCWSTR format, va_list args);
// Fails with STRSAFE_E_INVALID_PARAMETER when no zero lies within maxChars.
HRESULT StringCchLengthW(LPCWSTR s, size_t maxChars, size_t* length);

// The same with sizes in bytes.
HRESULT StringCbCopyW(LPWSTR dest, size_t destBytes, LPCWSTR src);
HRESULT StringCbLengthW(LPCWSTR s, size_t maxBytes, size_t* lengthBytes);

#define StringCchCopy StringCchCopyW
#define StringCchCopyN StringCchCopyNW
#define StringCchCat StringCchCatW
#define StringCchCatN StringCchCatNW
#define StringCchPrintf StringCchPrintfW
#define StringCchVPrintf StringCchVPrintfW
#define StringCchLength StringCchLengthW
#define StringCbCopy StringCbCopyW
#define StringCbLength StringCbLengthW
