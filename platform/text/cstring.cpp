#include <afxstr.h>

#include <algorithm>
#include <string_view>

#include "text/case_fold.h"
#include "text/format.h"

namespace {

std::u16string_view view(LPCWSTR text) {
  return text ? std::u16string_view(text) : std::u16string_view();
}

int clampTo(int value, int low, int high) { return std::max(low, std::min(value, high)); }

int position(size_t found) {
  return found == std::u16string::npos ? -1 : static_cast<int>(found);
}

template <class Keep>
void trimFront(std::u16string& text, Keep isTrimmed) {
  size_t first = 0;
  while (first < text.size() && isTrimmed(text[first])) ++first;
  text.erase(0, first);
}

template <class Keep>
void trimBack(std::u16string& text, Keep isTrimmed) {
  size_t end = text.size();
  while (end > 0 && isTrimmed(text[end - 1])) --end;
  text.erase(end);
}

}  // namespace

CString::CString(LPCWSTR text) : text_(view(text)) {}

CString::CString(LPCWSTR text, int length) {
  if (text && length > 0) text_.assign(text, static_cast<size_t>(length));
}

CString::CString(WCHAR ch, int repeat) {
  if (repeat > 0) text_.assign(static_cast<size_t>(repeat), ch);
}

CString& CString::operator=(LPCWSTR text) {
  // text may point into this string itself; assign copes with that.
  text_.assign(view(text));
  return *this;
}

CString& CString::operator=(WCHAR ch) {
  text_.assign(1, ch);
  return *this;
}

CString& CString::operator+=(const CString& text) {
  text_ += text.text_;
  return *this;
}

CString& CString::operator+=(LPCWSTR text) {
  text_.append(view(text));
  return *this;
}

CString& CString::operator+=(WCHAR ch) {
  text_ += ch;
  return *this;
}

CString operator+(const CString& a, const CString& b) { return CString::adopt(a.text_ + b.text_); }
CString operator+(const CString& a, LPCWSTR b) { return CString(a) += b; }
CString operator+(LPCWSTR a, const CString& b) { return CString(a) += b; }
CString operator+(const CString& a, WCHAR b) { return CString(a) += b; }
CString operator+(WCHAR a, const CString& b) { return CString(a) += b; }

WCHAR CString::GetAt(int index) const {
  return index >= 0 && index < GetLength() ? text_[static_cast<size_t>(index)] : 0;
}

int CString::Find(WCHAR ch, int start) const {
  if (start >= GetLength()) return -1;
  return position(text_.find(ch, static_cast<size_t>(std::max(start, 0))));
}

int CString::Find(LPCWSTR sub, int start) const {
  if (start > GetLength()) return -1;
  return position(text_.find(view(sub), static_cast<size_t>(std::max(start, 0))));
}

int CString::ReverseFind(WCHAR ch) const { return position(text_.rfind(ch)); }

int CString::FindOneOf(LPCWSTR set) const {
  if (view(set).empty()) return -1;
  return position(text_.find_first_of(view(set)));
}

CString CString::Left(int count) const {
  return adopt(text_.substr(0, static_cast<size_t>(clampTo(count, 0, GetLength()))));
}

CString CString::Right(int count) const {
  const int kept = clampTo(count, 0, GetLength());
  return adopt(text_.substr(static_cast<size_t>(GetLength() - kept)));
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
  const int start = clampTo(first, 0, GetLength());
  const int kept = clampTo(count, 0, GetLength() - start);
  return adopt(text_.substr(static_cast<size_t>(start), static_cast<size_t>(kept)));
}

CString& CString::TrimLeft() {
  trimFront(text_, sim::isWhiteSpace);
  return *this;
}

CString& CString::TrimRight() {
  trimBack(text_, sim::isWhiteSpace);
  return *this;
}

CString& CString::TrimLeft(WCHAR ch) {
  trimFront(text_, [ch](char16_t c) { return c == ch; });
  return *this;
}

CString& CString::TrimRight(WCHAR ch) {
  trimBack(text_, [ch](char16_t c) { return c == ch; });
  return *this;
}

CString& CString::TrimLeft(LPCWSTR set) {
  const auto chars = view(set);
  trimFront(text_, [chars](char16_t c) { return chars.find(c) != chars.npos; });
  return *this;
}

CString& CString::TrimRight(LPCWSTR set) {
  const auto chars = view(set);
  trimBack(text_, [chars](char16_t c) { return chars.find(c) != chars.npos; });
  return *this;
}

CString& CString::MakeUpper() {
  for (auto& c : text_) c = sim::toUpperCase(c);
  return *this;
}

CString& CString::MakeLower() {
  for (auto& c : text_) c = sim::toLowerCase(c);
  return *this;
}

int CString::Replace(WCHAR oldChar, WCHAR newChar) {
  int count = 0;
  for (auto& c : text_)
    if (c == oldChar) {
      c = newChar;
      ++count;
    }
  return count;
}

int CString::Replace(LPCWSTR oldText, LPCWSTR newText) {
  const auto from = view(oldText), to = view(newText);
  if (from.empty()) return 0;
  std::u16string result;
  int count = 0;
  size_t start = 0;
  for (size_t found; (found = text_.find(from, start)) != text_.npos; start = found + from.size()) {
    result.append(text_, start, found - start);
    result.append(to);
    ++count;
  }
  result.append(text_, start);
  text_ = std::move(result);
  return count;
}

int CString::Remove(WCHAR ch) {
  const auto removed = std::erase(text_, ch);
  return static_cast<int>(removed);
}

int CString::Insert(int index, WCHAR ch) {
  text_.insert(static_cast<size_t>(clampTo(index, 0, GetLength())), 1, ch);
  return GetLength();
}

int CString::Delete(int index, int count) {
  const int start = clampTo(index, 0, GetLength());
  const int removed = clampTo(count, 0, GetLength() - start);
  text_.erase(static_cast<size_t>(start), static_cast<size_t>(removed));
  return GetLength();
}

int CString::Compare(LPCWSTR other) const {
  const int order = std::u16string_view(text_).compare(view(other));
  return (order > 0) - (order < 0);
}

int CString::CompareNoCase(LPCWSTR other) const {
  return sim::compareIgnoringCase(text_, view(other));
}

LPWSTR CString::GetBuffer(int minLength) {
  if (minLength > GetLength()) text_.resize(static_cast<size_t>(minLength));
  return text_.data();
}

void CString::ReleaseBuffer(int newLength) {
  const size_t length = newLength < 0
                            ? std::u16string_view(text_.c_str()).size()
                            : static_cast<size_t>(std::min(newLength, GetLength()));
  text_.resize(length);
}

void CString::FormatV(LPCWSTR format, va_list args) { text_ = sim::formatWide(format, args); }

void CString::Format(LPCWSTR format, ...) {
  va_list args;
  va_start(args, format);
  FormatV(format, args);
  va_end(args);
}
