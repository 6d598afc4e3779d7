// An open host folder: its entries the device can see, and their details looked up
// by name without walking the folder's path again.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fs/fs_result.h"
#include "fs/host_io.h"

namespace sim::fs {

class HostFolder {
 public:
  HostFolder() = default;

  // The folder at `host`, which must not itself be a link.
  static FsResult<HostFolder> open(const char* host);
  static FsResult<HostFolder> open(const std::filesystem::path& host) { return open(host.c_str()); }
  // The folder at `host` reached without following a link anywhere on the way;
  // nothing when it is missing, not a folder, behind a link, or the host cannot
  // open it that way.
  static std::optional<HostFolder> openWithoutLinks(const char* host);
  static std::optional<HostFolder> openWithoutLinks(const std::filesystem::path& host) {
    return openWithoutLinks(host.c_str());
  }

  explicit operator bool() const { return static_cast<bool>(fd_); }

  // Plain files and folders whose names are valid device names, unordered.
  FsResult<std::vector<HostEntry>> entries() { return listed(nullptr); }
  // Only those whose names equal `name` ignoring case: one pass that keeps
  // nothing of the other entries.
  FsResult<std::vector<HostEntry>> entriesNamed(std::u16string_view name) { return listed(&name); }
  std::optional<HostStat> stat(const std::string& hostName) const;

 private:
  explicit HostFolder(UniqueFd fd) : fd_(std::move(fd)) {}
  FsResult<std::vector<HostEntry>> listed(const std::u16string_view* onlyNamed);

  UniqueFd fd_;
  bool listed_ = false;
};

}  // namespace sim::fs
