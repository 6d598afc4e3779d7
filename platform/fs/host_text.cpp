#include "fs/host_text.h"

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

}  // namespace sim::fs
