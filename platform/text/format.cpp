#include "text/format.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "text/utf.h"

namespace sim {
namespace {

enum class Size { Default, Short, Char, Long, LongLong, Pointer, LongDouble, Wide };

struct Directive {
  bool left = false;
  bool plus = false;
  bool space = false;
  bool alternate = false;
  bool zero = false;
  int width = 0;
  int precision = -1;  // -1: none given
  Size size = Size::Default;
  char16_t conversion = 0;
};

std::u16string decodeNarrow(std::string_view bytes) { return FromAnsi932Replacing(bytes).text; }

class Formatter {
 public:
  Formatter(const char16_t* format, va_list args) : p_(format) { va_copy(args_, args); }
  ~Formatter() { va_end(args_); }
  Formatter(const Formatter&) = delete;
  Formatter& operator=(const Formatter&) = delete;

  std::u16string run() {
    while (*p_) {
      if (*p_ != u'%') {
        out_ += *p_++;
        continue;
      }
      ++p_;
      if (!*p_) break;
      convert(parseDirective());
    }
    return std::move(out_);
  }

 private:
  Directive parseDirective() {
    Directive directive;
    for (;; ++p_) {
      if (*p_ == u'-') directive.left = true;
      else if (*p_ == u'+') directive.plus = true;
      else if (*p_ == u' ') directive.space = true;
      else if (*p_ == u'#') directive.alternate = true;
      else if (*p_ == u'0') directive.zero = true;
      else break;
    }
    directive.width = parseCount();
    if (directive.width < 0) {  // a negative width from '*' means left alignment
      directive.left = true;
      directive.width = directive.width == INT32_MIN ? 0 : -directive.width;
    }
    if (*p_ == u'.') {
      ++p_;
      directive.precision = parseCount();
      if (directive.precision < 0) directive.precision = -1;
    }
    directive.size = parseSize();
    directive.conversion = *p_ ? *p_++ : 0;
    return directive;
  }

  int parseCount() {
    if (*p_ == u'*') {
      ++p_;
      return va_arg(args_, int);
    }
    long long value = 0;
    for (; *p_ >= u'0' && *p_ <= u'9'; ++p_)
      if (value < 100000) value = value * 10 + (*p_ - u'0');
    return static_cast<int>(value);
  }

  Size parseSize() {
    switch (*p_) {
      case u'h':
        ++p_;
        if (*p_ == u'h') {
          ++p_;
          return Size::Char;
        }
        return Size::Short;
      case u'l':
        ++p_;
        if (*p_ == u'l') {
          ++p_;
          return Size::LongLong;
        }
        return Size::Long;
      case u'L':
        ++p_;
        return Size::LongDouble;
      case u'w':
        ++p_;
        return Size::Wide;
      case u'I':
        if (p_[1] == u'6' && p_[2] == u'4') {
          p_ += 3;
          return Size::LongLong;
        }
        if (p_[1] == u'3' && p_[2] == u'2') {
          p_ += 3;
          return Size::Default;
        }
        ++p_;
        return Size::Pointer;
      default:
        return Size::Default;
    }
  }

  void convert(const Directive& directive) {
    switch (directive.conversion) {
      case u'd':
      case u'i':
        return formatSigned(directive, signedArgument(directive.size));
      case u'u':
      case u'o':
      case u'x':
      case u'X':
        return formatUnsigned(directive, unsignedArgument(directive.size), false);
      case u'p':
        return formatPointer(directive);
      case u'c':
      case u'C':
        return formatChar(directive);
      case u's':
      case u'S':
        return formatString(directive);
      case u'e':
      case u'E':
      case u'f':
      case u'F':
      case u'g':
      case u'G':
      case u'a':
      case u'A':
        return formatFloat(directive);
      case u'n':
        // Writing through a pointer taken from the format is refused outright.
        (void)va_arg(args_, void*);
        return;
      case 0:
        return;
      default:
        out_ += directive.conversion;  // includes "%%"
    }
  }

  // The device's int and long are 32 bits: a value passed for %d or %ld is read in
  // a full argument slot and cut to 32 bits, which is right whichever of the two the
  // caller passed.
  std::int64_t signedArgument(Size size) {
    switch (size) {
      case Size::LongLong:
        return va_arg(args_, long long);
      case Size::Pointer:
        return va_arg(args_, std::intptr_t);
      case Size::Long:
        return static_cast<std::int32_t>(va_arg(args_, long));
      case Size::Short:
        return static_cast<short>(va_arg(args_, int));
      case Size::Char:
        return static_cast<signed char>(va_arg(args_, int));
      default:
        return va_arg(args_, int);
    }
  }

  std::uint64_t unsignedArgument(Size size) {
    switch (size) {
      case Size::LongLong:
        return va_arg(args_, unsigned long long);
      case Size::Pointer:
        return va_arg(args_, std::uintptr_t);
      case Size::Long:
        return static_cast<std::uint32_t>(va_arg(args_, unsigned long));
      case Size::Short:
        return static_cast<unsigned short>(va_arg(args_, unsigned));
      case Size::Char:
        return static_cast<unsigned char>(va_arg(args_, unsigned));
      default:
        return va_arg(args_, unsigned);
    }
  }

  void formatSigned(const Directive& directive, std::int64_t value) {
    const bool negative = value < 0;
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::u16string prefix;
    if (negative) prefix = u"-";
    else if (directive.plus) prefix = u"+";
    else if (directive.space) prefix = u" ";
    emitNumber(directive, prefix, digits(magnitude, 10, false, directive.precision));
  }

  void formatUnsigned(const Directive& directive, std::uint64_t value, bool pointer) {
    const char16_t c = directive.conversion;
    const unsigned base = c == u'o' ? 8 : (c == u'u' ? 10 : 16);
    std::u16string text = digits(value, base, c == u'X' || pointer, directive.precision);
    std::u16string prefix;
    if (directive.alternate && value != 0 && base == 16) prefix = c == u'X' ? u"0X" : u"0x";
    if (directive.alternate && base == 8 && (text.empty() || text[0] != u'0')) text.insert(0, u"0");
    emitNumber(directive, prefix, text);
  }

  void formatPointer(const Directive& directive) {
    Directive pointerDirective = directive;
    pointerDirective.precision = directive.precision < 0 ? 8 : directive.precision;  // as the device: 8 digits
    formatUnsigned(pointerDirective, reinterpret_cast<std::uintptr_t>(va_arg(args_, void*)), true);
  }

  static std::u16string digits(std::uint64_t value, unsigned base, bool upper, int precision) {
    const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::u16string text;
    while (value) {
      text.insert(text.begin(), static_cast<char16_t>(set[value % base]));
      value /= base;
    }
    const size_t minimum = precision < 0 ? 1 : static_cast<size_t>(precision);
    if (text.size() < minimum) text.insert(0, minimum - text.size(), u'0');
    return text;
  }

  void emitNumber(const Directive& directive, const std::u16string& prefix, const std::u16string& text) {
    const size_t length = prefix.size() + text.size();
    const size_t padding = directive.width > 0 && static_cast<size_t>(directive.width) > length
                               ? static_cast<size_t>(directive.width) - length
                               : 0;
    if (directive.zero && !directive.left && directive.precision < 0) {
      out_ += prefix;
      out_.append(padding, u'0');
      out_ += text;
      return;
    }
    if (!directive.left) out_.append(padding, u' ');
    out_ += prefix;
    out_ += text;
    if (directive.left) out_.append(padding, u' ');
  }

  bool wideArgument(const Directive& directive) const {
    // Lower-case conversions are wide unless 'h' says narrow; upper-case ones are
    // narrow unless 'l' or 'w' says wide.
    if (directive.size == Size::Short) return false;
    if (directive.size == Size::Long || directive.size == Size::Wide) return true;
    return directive.conversion == u'c' || directive.conversion == u's';
  }

  void formatChar(const Directive& directive) {
    const int value = va_arg(args_, int);
    std::u16string text;
    if (wideArgument(directive))
      text = static_cast<char16_t>(value);
    else {
      const char byte = static_cast<char>(value);
      text = decodeNarrow(std::string_view(&byte, 1));
    }
    emitText(directive, text);
  }

  void formatString(const Directive& directive) {
    const size_t limit = directive.precision < 0 ? SIZE_MAX : static_cast<size_t>(directive.precision);
    std::u16string text;
    if (wideArgument(directive)) {
      const auto* s = va_arg(args_, const char16_t*);
      if (!s) s = u"(null)";
      size_t length = 0;
      while (length < limit && s[length]) ++length;
      text.assign(s, length);
    } else {
      const auto* s = va_arg(args_, const char*);
      if (!s) s = "(null)";
      size_t length = 0;
      while (length < limit && s[length]) ++length;
      text = decodeNarrow(std::string_view(s, length));
    }
    emitText(directive, text);
  }

  void formatFloat(const Directive& directive) {
    std::string hostFormat = "%";
    if (directive.left) hostFormat += '-';
    if (directive.plus) hostFormat += '+';
    if (directive.space) hostFormat += ' ';
    if (directive.alternate) hostFormat += '#';
    if (directive.zero) hostFormat += '0';
    if (directive.width > 0) hostFormat += std::to_string(directive.width);
    if (directive.precision >= 0) hostFormat += '.' + std::to_string(directive.precision);
    if (directive.size == Size::LongDouble) hostFormat += 'L';
    hostFormat += static_cast<char>(directive.conversion);
    char buffer[512];
    int length;
    if (directive.size == Size::LongDouble)
      length = std::snprintf(buffer, sizeof buffer, hostFormat.c_str(), va_arg(args_, long double));
    else
      length = std::snprintf(buffer, sizeof buffer, hostFormat.c_str(), va_arg(args_, double));
    if (length < 0) return;
    for (int i = 0; i < length && i < static_cast<int>(sizeof buffer) - 1; ++i)
      out_ += static_cast<char16_t>(static_cast<unsigned char>(buffer[i]));
  }

  void emitText(const Directive& directive, const std::u16string& text) {
    const size_t padding = directive.width > 0 && static_cast<size_t>(directive.width) > text.size()
                               ? static_cast<size_t>(directive.width) - text.size()
                               : 0;
    if (!directive.left) out_.append(padding, directive.zero ? u'0' : u' ');
    out_ += text;
    if (directive.left) out_.append(padding, u' ');
  }

  const char16_t* p_;
  va_list args_;
  std::u16string out_;
};

}  // namespace

std::u16string formatWide(const char16_t* format, va_list args) {
  if (!format) return {};
  return Formatter(format, args).run();
}

bool copyTerminated(std::u16string_view text, char16_t* buffer, size_t capacity) {
  if (capacity == 0 || !buffer) return false;
  const bool fits = text.size() < capacity;
  size_t length = fits ? text.size() : capacity - 1;
  if (!fits && length > 0 && text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF) --length;
  if (length > 0) std::memcpy(buffer, text.data(), length * sizeof(char16_t));
  buffer[length] = 0;
  return fits;
}

int copyBounded(std::u16string_view text, char16_t* buffer, size_t count) {
  const size_t written = text.size() < count ? text.size() : count;
  if (written > 0) std::memcpy(buffer, text.data(), written * sizeof(char16_t));
  if (text.size() < count) buffer[text.size()] = 0;
  if (text.size() > count || text.size() > INT32_MAX) return -1;
  return static_cast<int>(text.size());
}

}  // namespace sim
