#include "fs/host_text.h"

#include <algorithm>

#include "text/utf.h"

namespace sim::fs {

std::optional<std::u16string> HostNameToDevice(std::string_view utf8) {
  auto text = Utf8ToUtf16(utf8);
  if (!text) return std::nullopt;
  return std::move(*text);
}

std::optional<std::string> DeviceNameToHost(std::u16string_view utf16) {
  auto text = Utf16ToUtf8(utf16);
  if (!text) return std::nullopt;
  return std::move(*text);
}

bool AppendHostName(std::string& out, std::u16string_view utf16) {
  // Most names are ASCII: their bytes are their code units, with no copy made.
  bool ascii = std::all_of(utf16.begin(), utf16.end(), [](char16_t c) { return c < 0x80; });
  if (ascii) {
    for (char16_t c : utf16) out += static_cast<char>(c);
    return true;
  }
  auto text = DeviceNameToHost(utf16);
  if (!text) return false;
  out += *text;
  return true;
}

}  // namespace sim::fs
