// Version blocks (RT_VERSION): the fixed file information and the text values of
// each string table ("FileVersion", "FileDescription", ...).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <windows.h>

#include "text/result.h"

namespace sim {

struct VersionStringTable {
  std::u16string key;  // language and code page in hex, e.g. "041104b0"
  std::vector<std::pair<std::u16string, std::u16string>> values;
};

struct VersionInfo {
  std::optional<VS_FIXEDFILEINFO> fixed;
  std::vector<VersionStringTable> tables;
  std::vector<std::uint32_t> translations;  // language in the low word, code page high

  // The value of `key` in the first table that has it.
  std::optional<std::u16string> value(std::u16string_view key) const;
};

Result<VersionInfo> ParseVersionInfo(std::span<const unsigned char> bytes);
// The version block (resource 1, or the only one) of a whole .res image.
Result<VersionInfo> VersionInfoOfImage(std::span<const unsigned char> image);

}  // namespace sim
