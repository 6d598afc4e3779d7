#include "fs/host_io.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

#include <windows.h>

#include "fs/file_time.h"
#include "fs/host_folder.h"
#include "fs/host_text.h"
#include "fs/names.h"

namespace sim::fs {

namespace {

std::optional<HostStat> FromStat(const struct stat& st) {
  if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) return std::nullopt;
  HostStat out;
  out.isDirectory = S_ISDIR(st.st_mode);
  out.size = out.isDirectory ? 0 : static_cast<std::uint64_t>(st.st_size);
  out.writeTicks = TicksFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
  out.accessTicks = TicksFromUnix(st.st_atim.tv_sec, st.st_atim.tv_nsec);
  out.inode = st.st_ino;
  return out;
}

FsStatus Status(int result) { return result == 0 ? 0 : DeviceErrorOf(errno); }

void WriteTimeSpec(std::uint64_t ticks, struct timespec (&times)[2]) {
  std::int64_t seconds;
  long nanoseconds;
  TicksToUnix(ticks, seconds, nanoseconds);
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = static_cast<time_t>(seconds);
  times[1].tv_nsec = nanoseconds;
}

}  // namespace

std::optional<HostStat> StatNode(const char* host) {
  struct stat st;
  if (::lstat(host, &st) != 0) return std::nullopt;
  return FromStat(st);
}

int OpenWithoutLinks(const char* host, int flags) {
  // Hosts whose kernel (or sandbox) lacks openat2 say so once; from then on every
  // lookup walks the path.
  static std::atomic<bool> unavailable{false};
  if (unavailable.load(std::memory_order_relaxed)) {
    errno = ENOSYS;
    return -1;
  }
  struct open_how how {};
  how.flags = static_cast<std::uint64_t>(flags | O_CLOEXEC);
  how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
  long fd = ::syscall(SYS_openat2, AT_FDCWD, host, &how, sizeof how);
  if (fd < 0 && (errno == ENOSYS || errno == EPERM)) {
    unavailable.store(true, std::memory_order_relaxed);
    errno = ENOSYS;
  }
  return static_cast<int>(fd);
}

std::optional<HostStat> StatWithoutLinks(const char* host) {
  int fd = OpenWithoutLinks(host, O_PATH);
  if (fd < 0) return std::nullopt;
  UniqueFd owned(fd);
  return StatOpenFile(owned.get());
}

std::optional<HostStat> StatNodeAt(int folderFd, const std::string& name) {
  struct stat st;
  if (::fstatat(folderFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
  return FromStat(st);
}

std::optional<HostStat> StatOpenFile(int fd) {
  struct stat st;
  if (::fstat(fd, &st) != 0) return std::nullopt;
  return FromStat(st);
}

std::uint32_t DeviceErrorOf(int hostErrno) {
  switch (hostErrno) {
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EEXIST: return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case ENOSPC:
    case EDQUOT: return ERROR_DISK_FULL;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EIO: return ERROR_WRITE_FAULT;
    case ELOOP:
    case EISDIR:
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY:
    case EXDEV:
    default: return ERROR_ACCESS_DENIED;
  }
}

FsStatus SetWriteTime(const std::filesystem::path& host, std::uint64_t ticks) {
  struct timespec times[2];
  WriteTimeSpec(ticks, times);
  return Status(::utimensat(AT_FDCWD, host.c_str(), times, AT_SYMLINK_NOFOLLOW));
}

FsStatus SetWriteTime(int fd, std::uint64_t ticks) {
  struct timespec times[2];
  WriteTimeSpec(ticks, times);
  return Status(::futimens(fd, times));
}

FsStatus RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return DeviceErrorOf(errno);
  // The host's file system cannot refuse to replace: check, then rename.
  struct stat st;
  if (::lstat(to.c_str(), &st) == 0) return ERROR_ALREADY_EXISTS;
  return Status(::rename(from.c_str(), to.c_str()));
}

FsStatus RenameReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
  return Status(::rename(from.c_str(), to.c_str()));
}

FsStatus MakeFolder(const std::filesystem::path& host) { return Status(::mkdir(host.c_str(), 0777)); }
FsStatus RemoveFolder(const std::filesystem::path& host) { return Status(::rmdir(host.c_str())); }
FsStatus RemoveFile(const std::filesystem::path& host) { return Status(::unlink(host.c_str())); }

FsResult<std::vector<HostEntry>> ListHostFolder(const std::filesystem::path& host) {
  auto folder = HostFolder::open(host);
  if (!folder) return folder.error();
  return folder->entries();
}

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.release();
  }
  return *this;
}

UniqueFd::~UniqueFd() {
  if (fd_ >= 0) ::close(fd_);
}

FsResult<UniqueFd> OpenHostFile(const std::filesystem::path& host, bool read, bool write, bool createNew,
                                bool truncate) {
  int flags = O_CLOEXEC | O_NOFOLLOW;
  flags |= write ? (read ? O_RDWR : O_WRONLY) : O_RDONLY;
  if (createNew) flags |= O_CREAT | O_EXCL;
  if (truncate) flags |= O_TRUNC;
  int fd = ::open(host.c_str(), flags, 0666);
  if (fd < 0) return FsError{DeviceErrorOf(errno)};
  UniqueFd owned(fd);
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return FsError{ERROR_ACCESS_DENIED};
  return owned;
}

FsStatus WriteAt(int fd, const void* data, std::size_t size, std::uint64_t offset) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = ::pwrite(fd, bytes, size, static_cast<off_t>(offset));
    if (n < 0) {
      if (errno == EINTR) continue;
      return DeviceErrorOf(errno);
    }
    if (n == 0) return ERROR_DISK_FULL;
    bytes += n;
    size -= static_cast<std::size_t>(n);
    offset += static_cast<std::uint64_t>(n);
  }
  return 0;
}

FsResult<std::size_t> ReadAt(int fd, void* data, std::size_t size, std::uint64_t offset) {
  char* bytes = static_cast<char*>(data);
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = ::pread(fd, bytes + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return FsError{ERROR_READ_FAULT};
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

FsStatus Truncate(int fd, std::uint64_t size) { return Status(::ftruncate(fd, static_cast<off_t>(size))); }

}  // namespace sim::fs
