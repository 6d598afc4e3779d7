// Finding an entry of a host folder by a name that differs from the stored one
// only in case. That takes a listing of the folder; the names of a folder that
// has not changed for a while are kept, so a run of such lookups in one large
// folder lists it once instead of once per lookup.
#pragma once

#include <time.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>

#include "fs/fs_result.h"
#include "fs/host_io.h"

namespace sim::fs {

class FolderNameIndex {
 public:
  using Clock = std::function<struct timespec()>;
  // `now` gives the host's real time, which the host stamps on its folders.
  explicit FolderNameIndex(Clock now = RealTime);

  // The entry whose name equals `name` ignoring case; the lowest in code units
  // when several do. ERROR_FILE_NOT_FOUND when none does.
  FsResult<HostEntry> find(const std::string& folder, std::u16string_view name);
  FsResult<HostEntry> find(const std::filesystem::path& folder, std::u16string_view name) {
    return find(folder.native(), name);
  }

  // How many times a folder has been listed, for tests.
  std::size_t listings() const { return listings_; }

  static struct timespec RealTime();

 private:
  struct Stamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    struct timespec changed {};
    struct timespec modified {};
    bool operator==(const Stamp& other) const;
  };
  struct Names {
    Stamp stamp;
    std::unordered_map<std::u16string, HostEntry> byFoldedName;
  };

  FsResult<Names> list(const std::string& folder, const Stamp& stamp);
  // A folder that is not kept is only searched for the name, never indexed.
  FsResult<HostEntry> search(const std::string& folder, std::u16string_view name);
  bool settled(const Stamp& stamp) const;

  Clock now_;
  std::map<std::string, Names> kept_;
  std::size_t listings_ = 0;
};

}  // namespace sim::fs
