// Text services of the device: UTF-16 string functions, formatting with the device's
// meaning of %s (a wide string), case folding, code-page conversion, HRESULT basics.
//
// WCHAR is char16_t, so these overloads sit beside the host's wchar_t functions of
// the same names without clashing. Character classification and case functions take
// an int so that a plain char or WCHAR argument picks the device's version over the
// host's 32-bit one.
#pragma once

// The host's own declarations come first, so that the standard library's
// using-declarations in namespace std see only the host versions.
#include <cstdarg>
#include <cstddef>
#include <cwchar>
#include <cwctype>

#include "types.h"

// ---- HRESULT -------------------------------------------------------------------
typedef std::int32_t HRESULT;
#define S_OK ((HRESULT)0L)
#define S_FALSE ((HRESULT)1L)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)
#define E_FAIL ((HRESULT)0x80004005L)
#define E_NOTIMPL ((HRESULT)0x80004001L)
#define E_OUTOFMEMORY ((HRESULT)0x8007000EL)
#define E_INVALIDARG ((HRESULT)0x80070057L)
#define E_POINTER ((HRESULT)0x80004003L)
#define E_UNEXPECTED ((HRESULT)0x8000FFFFL)
#define E_ACCESSDENIED ((HRESULT)0x80070005L)
#define HRESULT_FROM_WIN32(x) \
  ((HRESULT)(x) <= 0 ? ((HRESULT)(x)) : ((HRESULT)(((x) & 0x0000FFFF) | (7 << 16) | 0x80000000)))

// ---- String length, copy, concatenation ------------------------------------------
size_t wcslen(const WCHAR* s);
size_t wcsnlen(const WCHAR* s, size_t max);
WCHAR* wcscpy(WCHAR* dst, const WCHAR* src);
// Copies at most count characters; pads with zeros and does not terminate when src
// is count characters or longer, as the C library does.
WCHAR* wcsncpy(WCHAR* dst, const WCHAR* src, size_t count);
WCHAR* wcscat(WCHAR* dst, const WCHAR* src);
// Appends at most count characters and always terminates.
WCHAR* wcsncat(WCHAR* dst, const WCHAR* src, size_t count);

// ---- Comparison -------------------------------------------------------------------
int wcscmp(const WCHAR* a, const WCHAR* b);
int wcsncmp(const WCHAR* a, const WCHAR* b, size_t count);
// The device's order for names: compare after folding both sides to lower case.
int _wcsicmp(const WCHAR* a, const WCHAR* b);
int _wcsnicmp(const WCHAR* a, const WCHAR* b, size_t count);
#define wcsicmp _wcsicmp
#define wcsnicmp _wcsnicmp

// ---- Searching --------------------------------------------------------------------
WCHAR* wcschr(const WCHAR* s, WCHAR c);
WCHAR* wcsrchr(const WCHAR* s, WCHAR c);
WCHAR* wcsstr(const WCHAR* s, const WCHAR* sub);
size_t wcsspn(const WCHAR* s, const WCHAR* set);
size_t wcscspn(const WCHAR* s, const WCHAR* set);

// ---- Numbers ----------------------------------------------------------------------
// The device's long is 32 bits: results saturate at its range.
long wcstol(const WCHAR* s, WCHAR** end, int base);
unsigned long wcstoul(const WCHAR* s, WCHAR** end, int base);
int _wtoi(const WCHAR* s);
WCHAR* _itow(int value, WCHAR* buf, int radix);
WCHAR* _ltow(long value, WCHAR* buf, int radix);

// ---- Characters and case ----------------------------------------------------------
// Letters that fold: ASCII, Latin-1, Greek, Cyrillic and the full-width Latin forms.
// Kana (half- or full-width) and ideographs have no case and never change.
WCHAR towlower(int c);
WCHAR towupper(int c);
int iswspace(int c);
int iswdigit(int c);
int iswalpha(int c);
WCHAR* _wcslwr(WCHAR* s);
WCHAR* _wcsupr(WCHAR* s);
#define wcslwr _wcslwr
#define wcsupr _wcsupr

LPWSTR CharUpperW(LPWSTR s);
LPWSTR CharNextW(LPCWSTR s);
LPWSTR CharPrevW(LPCWSTR start, LPCWSTR current);

// ---- Window-manager string helpers -------------------------------------------------
LPWSTR lstrcpynW(LPWSTR dst, LPCWSTR src, int count);  // always terminates
// The device's Japanese order: symbols, digits, Latin letters, kana (hiragana and
// katakana, full and half width side by side), kanji. lstrcmpiW ignores case only.
int lstrcmpW(LPCWSTR a, LPCWSTR b);
int lstrcmpiW(LPCWSTR a, LPCWSTR b);

#define LOCALE_SYSTEM_DEFAULT 0x0800
#define LOCALE_USER_DEFAULT 0x0400
#define NORM_IGNORECASE 0x00000001
#define NORM_IGNORENONSPACE 0x00000002
#define NORM_IGNORESYMBOLS 0x00000004
#define NORM_IGNOREKANATYPE 0x00010000
#define NORM_IGNOREWIDTH 0x00020000
#define SORT_STRINGSORT 0x00001000
#define CSTR_LESS_THAN 1
#define CSTR_EQUAL 2
#define CSTR_GREATER_THAN 3
typedef DWORD LCID;
// In the Japanese order of lstrcmpW, with each NORM_IGNORE* flag and SORT_STRINGSORT
// honoured. Negative counts mean zero-terminated. Returns 0 and sets
// ERROR_INVALID_PARAMETER for a null string, flags it does not know, or a locale
// other than the defaults and Japanese.
int CompareStringW(LCID locale, DWORD flags, LPCWSTR a, int countA, LPCWSTR b, int countB);

// ---- Formatting ---------------------------------------------------------------------
// %s is a wide string and %S a narrow one (code page 932), %c a wide character and
// %C a narrow one; %d %i %u %o %x %X %p %e %f %g %%, flags "-+ #0", width and
// precision (also "*"), size prefixes h, l, ll, I64. %n is refused (prints nothing).
// The device's int and long are 32 bits; %lld and %I64d take 64-bit values.
int swprintf(WCHAR* buffer, const WCHAR* format, ...);  // unbounded
int vswprintf(WCHAR* buffer, const WCHAR* format, va_list args);
// Writes at most count characters. A text shorter than count is terminated and its
// length returned; one of exactly count characters is written without a terminator
// and its length returned; a longer one has its first count characters written,
// without a terminator, and gives -1. So only 0 <= result < count means a whole,
// terminated text.
int _snwprintf(WCHAR* buffer, size_t count, const WCHAR* format, ...);
int _vsnwprintf(WCHAR* buffer, size_t count, const WCHAR* format, va_list args);
// The length the text would have, without writing it.
int _scwprintf(const WCHAR* format, ...);
int _vscwprintf(const WCHAR* format, va_list args);
// The window manager's formatter: at most 1024 characters including the zero.
int wsprintfW(LPWSTR buffer, LPCWSTR format, ...);
int wvsprintfW(LPWSTR buffer, LPCWSTR format, va_list args);
#define snwprintf _snwprintf
#define vsnwprintf _vsnwprintf

// ---- Code pages ---------------------------------------------------------------------
#define CP_ACP 0
#define CP_OEMCP 1
#define CP_MACCP 2
#define CP_THREAD_ACP 3
#define CP_UTF7 65000
#define CP_UTF8 65001

#define MB_PRECOMPOSED 0x00000001
#define MB_COMPOSITE 0x00000002
#define MB_USEGLYPHCHARS 0x00000004
#define MB_ERR_INVALID_CHARS 0x00000008

#define WC_COMPOSITECHECK 0x00000200
#define WC_DISCARDNS 0x00000010
#define WC_SEPCHARS 0x00000020
#define WC_DEFAULTCHAR 0x00000040
#define WC_ERR_INVALID_CHARS 0x00000080
#define WC_NO_BEST_FIT_CHARS 0x00000400

// The device is Japanese: its ANSI and OEM code page is 932.
UINT GetACP();
BOOL IsDBCSLeadByte(BYTE c);

// Code pages: CP_ACP, CP_OEMCP, CP_THREAD_ACP, 932 and CP_UTF8. A count of -1 converts
// through the terminating zero and counts it; an output size of 0 asks for the size.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR source, int sourceBytes,
                        LPWSTR target, int targetChars);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR source, int sourceChars,
                        LPSTR target, int targetBytes, LPCSTR defaultChar,
                        LPBOOL usedDefaultChar);

// ---- Generic names -------------------------------------------------------------------
// The device builds for Unicode only: TCHAR is WCHAR and the generic names are the
// wide functions.
#define lstrcpyn lstrcpynW
#define lstrcmp lstrcmpW
#define lstrcmpi lstrcmpiW
#define CompareString CompareStringW
#define CharUpper CharUpperW
#define CharNext CharNextW
#define CharPrev CharPrevW
#define wsprintf wsprintfW
#define wvsprintf wvsprintfW

#define _tcslen wcslen
#define _tcsnlen wcsnlen
#define _tcscpy wcscpy
#define _tcsncpy wcsncpy
#define _tcscat wcscat
#define _tcsncat wcsncat
#define _tcscmp wcscmp
#define _tcsncmp wcsncmp
#define _tcsicmp _wcsicmp
#define _tcsnicmp _wcsnicmp
#define _tcschr wcschr
#define _tcsrchr wcsrchr
#define _tcsstr wcsstr
#define _tcsspn wcsspn
#define _tcscspn wcscspn
#define _tcstol wcstol
#define _tcstoul wcstoul
#define _ttoi _wtoi
#define _itot _itow
#define _ltot _ltow
#define _tcslwr _wcslwr
#define _tcsupr _wcsupr
#define _totlower towlower
#define _totupper towupper
#define _istspace iswspace
#define _istdigit iswdigit
#define _istalpha iswalpha
#define _stprintf swprintf
#define _sntprintf _snwprintf
#define _vstprintf vswprintf
#define _vsntprintf _vsnwprintf
