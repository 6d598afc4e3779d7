// The host side of the store: POSIX calls on the device's folder. Symbolic links
// and special files are never followed and never shown.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "fs/fs_result.h"

namespace sim::fs {

struct HostStat {
  bool isDirectory = false;
  std::uint64_t size = 0;
  std::uint64_t writeTicks = 0;
  std::uint64_t accessTicks = 0;
  std::uint64_t inode = 0;
};

// A plain file or folder at exactly that host path; nothing for a missing entry,
// a symbolic link or a special file.
std::optional<HostStat> StatNode(const char* host);
inline std::optional<HostStat> StatNode(const std::filesystem::path& host) { return StatNode(host.c_str()); }
std::optional<HostStat> StatOpenFile(int fd);
// The same for an entry of an open folder, by its host name.
std::optional<HostStat> StatNodeAt(int folderFd, const std::string& name);

// The device error code of a host errno.
std::uint32_t DeviceErrorOf(int hostErrno);

FsStatus SetWriteTime(const std::filesystem::path& host, std::uint64_t ticks);
FsStatus SetWriteTime(int fd, std::uint64_t ticks);

// Renames without ever replacing what is at `to`.
FsStatus RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to);
FsStatus RenameReplacing(const std::filesystem::path& from, const std::filesystem::path& to);
FsStatus MakeFolder(const std::filesystem::path& host);
FsStatus RemoveFolder(const std::filesystem::path& host);
FsStatus RemoveFile(const std::filesystem::path& host);

// An owned host file descriptor.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept;
  ~UniqueFd();
  int get() const { return fd_; }
  int release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }
  explicit operator bool() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

struct HostEntry {
  std::u16string name;   // the device's name, exactly as stored
  std::string hostName;  // the host's bytes for it
  bool isDirectory = false;
};

// The entries of a host folder the device can see (see HostFolder). Unordered.
FsResult<std::vector<HostEntry>> ListHostFolder(const std::filesystem::path& host);

// A plain file or folder at exactly that absolute host path, reached without
// following a symbolic link anywhere on the way. Nothing when it is missing, when
// a link lies on the way, or when the host cannot resolve paths that way; the
// caller then walks the path one name at a time.
std::optional<HostStat> StatWithoutLinks(const char* host);
inline std::optional<HostStat> StatWithoutLinks(const std::filesystem::path& host) {
  return StatWithoutLinks(host.c_str());
}
// The same way of opening, for HostFolder: a descriptor, or -1 with errno set
// (ENOSYS when the host cannot resolve paths that way).
int OpenWithoutLinks(const char* host, int flags);
inline int OpenWithoutLinks(const std::filesystem::path& host, int flags) {
  return OpenWithoutLinks(host.c_str(), flags);
}

// Opens a plain file without following a link at the last component.
FsResult<UniqueFd> OpenHostFile(const std::filesystem::path& host, bool read, bool write, bool createNew,
                                bool truncate);
// Writes all of `size` bytes at `offset`; a short write is an error.
FsStatus WriteAt(int fd, const void* data, std::size_t size, std::uint64_t offset);
// Reads up to `size` bytes at `offset`; gives how many were read.
FsResult<std::size_t> ReadAt(int fd, void* data, std::size_t size, std::uint64_t offset);
FsStatus Truncate(int fd, std::uint64_t size);

}  // namespace sim::fs
