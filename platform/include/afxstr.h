// CString: the application framework's growable string of WCHAR.
//
// Positions and counts are ints as in the framework. Out-of-range arguments never
// fault: Left/Right/Mid clamp to the string and GetAt/operator[] answer 0 outside
// the string. A null LPCWSTR is an empty string everywhere.
#pragma once

#include <windows.h>

#include <compare>
#include <cstdarg>
#include <string>
#include <utility>

class CString {
 public:
  CString() = default;
  CString(LPCWSTR text);
  CString(LPCWSTR text, int length);
  CString(WCHAR ch, int repeat = 1);
  CString(const CString&) = default;
  CString(CString&&) noexcept = default;
  ~CString() = default;

  CString& operator=(const CString&) = default;
  CString& operator=(CString&&) noexcept = default;
  CString& operator=(LPCWSTR text);
  CString& operator=(WCHAR ch);

  CString& operator+=(const CString& text);
  CString& operator+=(LPCWSTR text);
  CString& operator+=(WCHAR ch);

  friend CString operator+(const CString& a, const CString& b);
  friend CString operator+(const CString& a, LPCWSTR b);
  friend CString operator+(LPCWSTR a, const CString& b);
  friend CString operator+(const CString& a, WCHAR b);
  friend CString operator+(WCHAR a, const CString& b);

  int GetLength() const { return static_cast<int>(text_.size()); }
  bool IsEmpty() const { return text_.empty(); }
  // Frees the text's memory as well, as the framework does.
  void Empty() { std::u16string().swap(text_); }
  operator LPCWSTR() const { return text_.c_str(); }
  LPCWSTR GetString() const { return text_.c_str(); }

  WCHAR GetAt(int index) const;
  WCHAR operator[](int index) const { return GetAt(index); }

  // Index of the first match at or after start, or -1.
  int Find(WCHAR ch, int start = 0) const;
  int Find(LPCWSTR sub, int start = 0) const;
  int ReverseFind(WCHAR ch) const;
  int FindOneOf(LPCWSTR set) const;

  CString Left(int count) const;
  CString Right(int count) const;
  CString Mid(int first) const;
  CString Mid(int first, int count) const;

  CString& TrimLeft();  // white space
  CString& TrimRight();
  CString& TrimLeft(WCHAR ch);
  CString& TrimRight(WCHAR ch);
  CString& TrimLeft(LPCWSTR set);  // any character of set
  CString& TrimRight(LPCWSTR set);
  CString& Trim() { return TrimRight().TrimLeft(); }

  CString& MakeUpper();
  CString& MakeLower();

  int Replace(WCHAR oldChar, WCHAR newChar);     // returns the number replaced
  int Replace(LPCWSTR oldText, LPCWSTR newText);
  int Remove(WCHAR ch);
  int Insert(int index, WCHAR ch);              // returns the new length
  int Delete(int index, int count = 1);

  int Compare(LPCWSTR other) const;        // <0, 0, >0 by code point
  int CompareNoCase(LPCWSTR other) const;  // <0, 0, >0 by code point, ignoring case as _wcsicmp

  friend bool operator==(const CString& a, const CString& b) { return a.text_ == b.text_; }
  friend bool operator==(const CString& a, LPCWSTR b) { return a.Compare(b) == 0; }
  friend std::strong_ordering operator<=>(const CString& a, const CString& b) {
    return a.text_ <=> b.text_;
  }
  friend std::strong_ordering operator<=>(const CString& a, LPCWSTR b) {
    return a.Compare(b) <=> 0;
  }

  // A writable buffer of at least minLength characters plus a zero. Until
  // ReleaseBuffer the string's length is the buffer's; ReleaseBuffer(-1) takes the
  // length up to the first zero.
  LPWSTR GetBuffer(int minLength = 0);
  void ReleaseBuffer(int newLength = -1);

  // Formats with the device's printf rules; the string grows to hold the result.
  void Format(LPCWSTR format, ...);
  void FormatV(LPCWSTR format, va_list args);

 private:
  static CString adopt(std::u16string text) {
    CString result;
    result.text_ = std::move(text);
    return result;
  }

  std::u16string text_;
};

typedef CString CStringW;
