#include "fs/host_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <memory>
#include <utility>

#include <windows.h>

#include "fs/host_text.h"
#include "fs/names.h"

namespace sim::fs {

namespace {

// The host's own record of one entry, as the kernel hands a batch of them out.
struct RawEntry {
  std::uint64_t inode;
  std::int64_t offset;
  unsigned short length;
  unsigned char type;
  char name[1];
};

constexpr std::size_t kBatchBytes = 32 * 1024;

// How many UTF-16 code units well-formed UTF-8 bytes decode to: one per
// character, two for those beyond the basic plane (4-byte sequences).
std::size_t DeviceLength(std::string_view utf8) {
  std::size_t units = 0;
  for (unsigned char byte : utf8) {
    if ((byte & 0xC0) != 0x80) ++units;
    if (byte >= 0xF0) ++units;
  }
  return units;
}

}  // namespace

FsResult<HostFolder> HostFolder::open(const char* host) {
  int fd = ::open(host, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return FsError{errno == ENOENT ? static_cast<std::uint32_t>(ERROR_PATH_NOT_FOUND) : DeviceErrorOf(errno)};
  return HostFolder(UniqueFd(fd));
}

std::optional<HostFolder> HostFolder::openWithoutLinks(const char* host) {
  int fd = OpenWithoutLinks(host, O_RDONLY | O_DIRECTORY);
  if (fd < 0) return std::nullopt;
  return HostFolder(UniqueFd(fd));
}

FsResult<std::vector<HostEntry>> HostFolder::listed(const std::u16string_view* onlyNamed) {
  if (!fd_) return FsError{ERROR_INVALID_HANDLE};
  // Read in batches straight from the kernel: most folders are listed once, and
  // the library's directory stream would add calls of its own per folder.
  if (listed_ && ::lseek(fd_.get(), 0, SEEK_SET) != 0) return FsError{DeviceErrorOf(errno)};
  listed_ = true;
  std::vector<HostEntry> found;
  auto batch = std::make_unique_for_overwrite<char[]>(kBatchBytes);  // the kernel fills what it lists
  for (;;) {
    ssize_t bytes = ::getdents64(fd_.get(), batch.get(), kBatchBytes);
    if (bytes < 0) return FsError{DeviceErrorOf(errno)};
    if (bytes == 0) break;
    for (ssize_t at = 0; at < bytes;) {
      const auto* raw = reinterpret_cast<const RawEntry*>(batch.get() + at);
      if (static_cast<std::size_t>(raw->length) <= offsetof(RawEntry, name) || raw->length > bytes - at) break;
      at += raw->length;
      std::string_view hostName(raw->name, ::strnlen(raw->name, raw->length - offsetof(RawEntry, name)));
      // A name of another length cannot match; not converting it saves a copy.
      if (onlyNamed && DeviceLength(hostName) != onlyNamed->size()) continue;
      std::optional<std::u16string> name;
      if (onlyNamed) {
        name = HostNameToDevice(hostName);
        if (!name || !NamesEqual(*name, *onlyNamed)) continue;
      }
      unsigned char type = raw->type;
      if (type == DT_UNKNOWN) {
        auto details = stat(std::string(hostName));
        if (!details) continue;
        type = details->isDirectory ? DT_DIR : DT_REG;
      }
      if (type != DT_REG && type != DT_DIR) continue;
      if (!onlyNamed) name = HostNameToDevice(hostName);
      if (!name || name->size() >= MAX_PATH || !IsValidName(*name, false)) continue;
      found.push_back(HostEntry{std::move(*name), std::string(hostName), type == DT_DIR});
    }
  }
  return found;
}

std::optional<HostStat> HostFolder::stat(const std::string& hostName) const {
  if (!fd_) return std::nullopt;
  return StatNodeAt(fd_.get(), hostName);
}

}  // namespace sim::fs
