// UTF-8 host names <-> UTF-16 device names at the host boundary.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sim::fs {

// Nothing when the bytes are not well-formed UTF-8 (such host names are invisible
// to the device).
std::optional<std::u16string> HostNameToDevice(std::string_view utf8);
// Nothing when the text holds an unpaired surrogate.
std::optional<std::string> DeviceNameToHost(std::u16string_view utf16);
// The same bytes appended to `out`; false, with `out` as it was, for an unpaired
// surrogate.
bool AppendHostName(std::string& out, std::u16string_view utf16);

}  // namespace sim::fs
