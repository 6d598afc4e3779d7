// Device paths as the page sends them, checked before the device sees them: an
// absolute path of names the device's store can hold, so that no request can name
// anything above the device's root whatever the store would make of it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sim::web {

// The path as device text without a trailing backslash ("" for the root when
// `rootAllowed`); nothing for anything else: not UTF-8, relative, "." or "..", an
// empty or reserved name, a forward slash, a control character, over MAX_PATH.
std::optional<std::u16string> CheckedDevicePath(std::string_view utf8, bool rootAllowed);

}  // namespace sim::web
