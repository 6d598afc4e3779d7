// MultiByteToWideChar / WideCharToMultiByte for the device's code pages: 932 (its
// ANSI and OEM code page) and UTF-8.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "text/code_page_932.h"
#include "text/utf.h"

namespace {

constexpr UINT kJapanese = 932;

std::optional<UINT> resolveCodePage(UINT codePage) {
  switch (codePage) {
    case CP_ACP:
    case CP_OEMCP:
    case CP_THREAD_ACP:
    case kJapanese:
      return kJapanese;
    case CP_UTF8:
      return CP_UTF8;
    default:
      return std::nullopt;
  }
}

int fail(DWORD error) {
  SetLastError(error);
  return 0;
}

struct Decoded {
  std::u16string text;
  bool invalid = false;
};

Decoded decodeUtf8(std::string_view bytes) {
  auto converted = sim::Utf8ToUtf16Replacing(bytes);
  return {std::move(converted.text), converted.replaced};
}

Decoded decode932(std::string_view bytes) {
  auto converted = sim::FromAnsi932Replacing(bytes);
  return {std::move(converted.text), converted.replaced};
}

struct Encoded {
  std::string bytes;
  bool usedDefault = false;
  bool invalid = false;
};

Encoded encodeUtf8(std::u16string_view text) {
  auto converted = sim::Utf16ToUtf8Replacing(text);
  return {std::move(converted.text), false, converted.replaced};
}

// The caller's default character: one character of code page 932, one or two bytes.
std::string_view defaultCharacter(LPCSTR given) {
  if (!given || !*given) return "?";
  const bool doubleByte = sim::CodePage932::isLeadByte(static_cast<unsigned char>(given[0])) &&
                          given[1] != 0;
  return std::string_view(given, doubleByte ? 2 : 1);
}

Encoded encode932(std::u16string_view text, std::string_view defaultChar) {
  Encoded encoded;
  sim::CodePage932 codePage;
  for (size_t i = 0; i < text.size();) {
    const auto bytes = codePage.encode(text, i);
    if (bytes) {
      encoded.bytes += *bytes;
    } else {
      encoded.usedDefault = true;
      encoded.bytes += defaultChar;
    }
  }
  return encoded;
}

}  // namespace

UINT GetACP() { return kJapanese; }

BOOL IsDBCSLeadByte(BYTE c) { return sim::CodePage932::isLeadByte(c); }

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR source, int sourceBytes,
                        LPWSTR target, int targetChars) {
  const auto page = resolveCodePage(codePage);
  if (!page || !source || sourceBytes == 0 || sourceBytes < -1 || targetChars < 0 ||
      (targetChars > 0 && !target))
    return fail(ERROR_INVALID_PARAMETER);
  const std::string_view bytes =
      sourceBytes == -1 ? std::string_view(source, std::char_traits<char>::length(source) + 1)
                        : std::string_view(source, static_cast<size_t>(sourceBytes));
  const Decoded decoded = *page == CP_UTF8 ? decodeUtf8(bytes) : decode932(bytes);
  if (decoded.invalid && (flags & MB_ERR_INVALID_CHARS)) return fail(ERROR_NO_UNICODE_TRANSLATION);
  const int needed = static_cast<int>(decoded.text.size());
  if (targetChars == 0) return needed;
  if (needed > targetChars) return fail(ERROR_INSUFFICIENT_BUFFER);
  decoded.text.copy(target, decoded.text.size());
  return needed;
}

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR source, int sourceChars,
                        LPSTR target, int targetBytes, LPCSTR defaultChar,
                        LPBOOL usedDefaultChar) {
  const auto page = resolveCodePage(codePage);
  if (!page || !source || sourceChars == 0 || sourceChars < -1 || targetBytes < 0 ||
      (targetBytes > 0 && !target))
    return fail(ERROR_INVALID_PARAMETER);
  // UTF-8 can hold every character, so a default character makes no sense for it.
  if (*page == CP_UTF8 && (defaultChar || usedDefaultChar)) return fail(ERROR_INVALID_PARAMETER);
  const std::u16string_view text =
      sourceChars == -1 ? std::u16string_view(source, wcslen(source) + 1)
                        : std::u16string_view(source, static_cast<size_t>(sourceChars));
  const Encoded encoded =
      *page == CP_UTF8 ? encodeUtf8(text) : encode932(text, defaultCharacter(defaultChar));
  if (encoded.invalid && (flags & WC_ERR_INVALID_CHARS)) return fail(ERROR_NO_UNICODE_TRANSLATION);
  if (usedDefaultChar) *usedDefaultChar = encoded.usedDefault;
  const int needed = static_cast<int>(encoded.bytes.size());
  if (targetBytes == 0) return needed;
  if (needed > targetBytes) return fail(ERROR_INSUFFICIENT_BUFFER);
  encoded.bytes.copy(target, encoded.bytes.size());
  return needed;
}
