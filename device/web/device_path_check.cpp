#include "web/device_path_check.h"

#include <windows.h>

#include "fs/names.h"
#include "text/utf.h"

namespace sim::web {

std::optional<std::u16string> CheckedDevicePath(std::string_view utf8, bool rootAllowed) {
  auto wide = Utf8ToUtf16(utf8);
  if (!wide || wide->empty() || wide->front() != u'\\' || wide->size() >= MAX_PATH) return std::nullopt;
  std::u16string path = *wide;
  if (path.size() > 1 && path.back() == u'\\') path.pop_back();
  if (path == u"\\") return rootAllowed ? std::optional(std::u16string()) : std::nullopt;
  for (std::size_t start = 1; start <= path.size();) {
    std::size_t end = path.find(u'\\', start);
    if (end == std::u16string::npos) end = path.size();
    std::u16string_view name(path.data() + start, end - start);
    if (!fs::IsValidName(name, false) || name.find(u'/') != std::u16string_view::npos) return std::nullopt;
    start = end + 1;
  }
  return path;
}

}  // namespace sim::web
