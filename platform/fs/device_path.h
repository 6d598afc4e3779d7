// A device path taken apart: "\My Documents\a.txt" -> {"My Documents", "a.txt"}.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "fs/fs_result.h"

namespace sim::fs {

struct DevicePath {
  std::vector<std::u16string> components;  // empty: the root "\"
  bool trailingSeparator = false;          // written with a final "\" (a folder)

  bool isRoot() const { return components.empty(); }
  const std::u16string& leaf() const { return components.back(); }
  DevicePath parent() const;
};

enum class PathUse { Name, SearchPattern };

// Every path is taken from the root, with or without its leading "\" (the device
// has no current folder). Repeated separators are read as one. "." and "..",
// NULs, host separators and reserved characters are refused, so no path can name
// anything outside the device's folder. A search pattern may hold wildcards in its
// last component only.
FsResult<DevicePath> ParseDevicePath(std::u16string_view text, PathUse use = PathUse::Name);

// The text of a zero-terminated API argument, bounded so a missing terminator
// cannot run away.
std::u16string_view ArgumentText(const char16_t* text);

}  // namespace sim::fs
