// The device's files as the monkey keeps track of them: a snapshot of every entry
// (its device path, whether it is a folder, and for a file its size and a digest of
// its bytes), and the changes between two snapshots.
//
// Snapshots are read from the host folder under the device, never through the
// device's file API: looking must neither count against an armed failure nor change
// the order in which the device lists a folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace sim::monkey {

struct FileEntry {
  std::u16string path;  // device path as stored: "\My Documents\Readme.txt"
  bool folder = false;
  std::uint64_t size = 0;
  std::uint64_t digest = 0;  // of a file's bytes
  std::string bytes;         // a small file's bytes (shortcuts, texts); empty above kKeptBytes

  static constexpr std::uint64_t kKeptBytes = 4096;
  bool sameContent(const FileEntry& other) const {
    return folder == other.folder && size == other.size && digest == other.digest;
  }
};

// The digest FileEntry keeps of a file's bytes.
std::uint64_t Digest(std::string_view bytes);

// The key of a device path: compared ignoring case, as the device looks names up,
// and without a final backslash.
std::u16string PathKey(std::u16string_view path);
// The folder above a device path ("\" for an entry of the root) and its last name.
std::u16string ParentPath(std::u16string_view path);
std::u16string NameOf(std::u16string_view path);
// `folder` (with or without its trailing backslash) joined with `name`.
std::u16string JoinPath(std::u16string_view folder, std::u16string_view name);
// True when `path` is `root` or lies below it.
bool IsWithin(std::u16string_view path, std::u16string_view root);

// What was read of host files, by host path, so that a file that did not change
// is not read again for every snapshot. A file is known unchanged when its inode,
// size and change time are as they were; the host sets the change time itself on
// every write, whatever time the device gives the file. A file changed shortly
// before it was read is not kept: a second change within the host clock's tick
// would leave the change time as it was.
class DigestCache {
 public:
  struct Stamp {
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t changedNs = 0;
    bool operator==(const Stamp&) const = default;
  };
  struct Known {
    std::uint64_t digest = 0;
    std::string bytes;
  };
  const Known* find(const std::string& host, const Stamp& stamp) const;
  void keep(const std::string& host, const Stamp& stamp, std::int64_t readAtNs, Known known);

 private:
  std::map<std::string, std::pair<Stamp, Known>> known_;
};

class FileSnapshot {
 public:
  // Reads every entry below the host folder `root` (host links and special files
  // are invisible to the device and left out).
  static FileSnapshot Take(const std::filesystem::path& root, DigestCache& cache);

  const FileEntry* find(std::u16string_view path) const;
  const std::map<std::u16string, FileEntry>& entries() const { return entries_; }
  // Entries directly in `folder`, in name order.
  std::vector<const FileEntry*> children(std::u16string_view folder) const;
  // Every entry at or below `root`.
  std::vector<const FileEntry*> tree(std::u16string_view root) const;

  void add(FileEntry entry);

 private:
  std::map<std::u16string, FileEntry> entries_;  // by PathKey
};

struct FileChange {
  std::u16string key;
  std::optional<FileEntry> before;
  std::optional<FileEntry> after;

  std::u16string path() const { return after ? after->path : before->path; }
};

// What differs between two snapshots, in path order: entries that appeared,
// vanished, changed kind or content, or were renamed to another letter case.
std::vector<FileChange> Compare(const FileSnapshot& before, const FileSnapshot& after);

}  // namespace sim::monkey
