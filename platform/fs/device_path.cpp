#include "fs/device_path.h"

#include <windows.h>

#include "fs/names.h"

namespace sim::fs {

DevicePath DevicePath::parent() const {
  DevicePath up;
  up.components.assign(components.begin(), components.end() - (components.empty() ? 0 : 1));
  return up;
}

FsResult<DevicePath> ParseDevicePath(std::u16string_view text, PathUse use) {
  if (text.empty()) return FsError{ERROR_PATH_NOT_FOUND};
  if (text.find(u'\0') != std::u16string_view::npos) return FsError{ERROR_INVALID_NAME};
  // The device has no current folder: a path without a leading separator is
  // taken from the root, and is as long as it would be with one.
  std::size_t start = text.front() == u'\\' ? 1 : 0;
  if (text.size() + (1 - start) >= MAX_PATH) return FsError{ERROR_FILENAME_EXCED_RANGE};

  DevicePath path;
  while (start <= text.size()) {
    std::size_t end = text.find(u'\\', start);
    if (end == std::u16string_view::npos) end = text.size();
    if (end > start) path.components.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  path.trailingSeparator = text.size() > 1 && text.back() == u'\\';

  for (std::size_t i = 0; i < path.components.size(); ++i) {
    bool last = i + 1 == path.components.size();
    bool wildcards = use == PathUse::SearchPattern && last && !path.trailingSeparator;
    if (!IsValidName(path.components[i], wildcards))
      return FsError{ERROR_INVALID_NAME};
  }
  return path;
}

std::u16string_view ArgumentText(const char16_t* text) {
  if (!text) return {};
  std::size_t n = 0;
  while (n < 32768 && text[n]) ++n;
  return {text, n};
}

}  // namespace sim::fs
