#include "fs/folder_name_index.h"

#include <sys/stat.h>

#include <algorithm>
#include <optional>
#include <utility>

#include <windows.h>

#include "fs/host_folder.h"
#include "fs/names.h"

namespace sim::fs {

namespace {

// A folder whose last change is more recent than this may still change within
// the same tick of the host's coarse file clock, unseen by its stamp.
constexpr std::int64_t kSettleSeconds = 2;
constexpr std::size_t kMaxKeptFolders = 16;

std::u16string Folded(std::u16string_view name) {
  std::u16string folded(name);
  for (char16_t& c : folded) c = FoldCase(c);
  return folded;
}

bool Before(const struct timespec& a, const struct timespec& b) {
  return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

}  // namespace

bool FolderNameIndex::Stamp::operator==(const Stamp& other) const {
  return device == other.device && inode == other.inode && changed.tv_sec == other.changed.tv_sec &&
         changed.tv_nsec == other.changed.tv_nsec && modified.tv_sec == other.modified.tv_sec &&
         modified.tv_nsec == other.modified.tv_nsec;
}

struct timespec FolderNameIndex::RealTime() {
  struct timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return now;
}

FolderNameIndex::FolderNameIndex(Clock now) : now_(std::move(now)) {}

bool FolderNameIndex::settled(const Stamp& stamp) const {
  struct timespec limit = now_();
  limit.tv_sec -= kSettleSeconds;
  return Before(stamp.changed, limit) && Before(stamp.modified, limit);
}

FsResult<FolderNameIndex::Names> FolderNameIndex::list(const std::string& folder, const Stamp& stamp) {
  ++listings_;
  auto entries = ListHostFolder(folder);
  if (!entries) return entries.error();
  Names names;
  names.stamp = stamp;
  for (auto& entry : *entries) {
    auto [it, added] = names.byFoldedName.try_emplace(Folded(entry.name), entry);
    if (!added && entry.name < it->second.name) it->second = std::move(entry);
  }
  return names;
}

FsResult<HostEntry> FolderNameIndex::search(const std::string& folder, std::u16string_view name) {
  ++listings_;
  auto opened = HostFolder::open(folder.c_str());
  if (!opened) return opened.error();
  auto matches = opened->entriesNamed(name);
  if (!matches) return matches.error();
  if (matches->empty()) return FsError{ERROR_FILE_NOT_FOUND};
  auto lowest = std::min_element(matches->begin(), matches->end(),
                                 [](const HostEntry& a, const HostEntry& b) { return a.name < b.name; });
  return std::move(*lowest);
}

FsResult<HostEntry> FolderNameIndex::find(const std::string& folder, std::u16string_view name) {
  std::optional<Stamp> stamp;
  if (struct stat st; ::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
    stamp = Stamp{st.st_dev, st.st_ino, st.st_ctim, st.st_mtim};

  auto kept = kept_.find(folder);
  if (kept != kept_.end() && (!stamp || !(kept->second.stamp == *stamp))) {
    kept_.erase(kept);
    kept = kept_.end();
  }
  const Names* names = nullptr;
  if (kept != kept_.end()) {
    names = &kept->second;
  } else {
    // A folder that may still change is searched afresh at every lookup; without
    // a stamp the search reports why the folder cannot be read.
    if (!stamp || !settled(*stamp)) return search(folder, name);
    auto listed = list(folder, *stamp);
    if (!listed) return listed.error();
    if (kept_.size() >= kMaxKeptFolders) kept_.erase(kept_.begin());
    names = &kept_.insert_or_assign(folder, std::move(*listed)).first->second;
  }
  auto found = names->byFoldedName.find(Folded(name));
  if (found == names->byFoldedName.end()) return FsError{ERROR_FILE_NOT_FOUND};
  return found->second;
}

}  // namespace sim::fs
