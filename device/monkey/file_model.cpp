#include "monkey/file_model.h"

#include <sys/stat.h>
#include <time.h>

#include <fstream>
#include <system_error>

#include "fs/names.h"
#include "text/utf.h"

namespace sim::monkey {

namespace fsys = std::filesystem;

std::uint64_t Digest(std::string_view bytes) {
  std::uint64_t digest = 0xCBF29CE484222325ull;
  for (char c : bytes) digest = (digest ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
  return digest;
}

std::u16string PathKey(std::u16string_view path) {
  // "\Temp\" names the folder "\Temp".
  while (path.size() > 1 && path.back() == u'\\') path.remove_suffix(1);
  std::u16string key(path);
  for (char16_t& c : key) c = fs::FoldCase(c);
  return key;
}

std::u16string ParentPath(std::u16string_view path) {
  std::size_t slash = path.find_last_of(u'\\');
  if (slash == std::u16string_view::npos || slash == 0) return u"\\";
  return std::u16string(path.substr(0, slash));
}

std::u16string NameOf(std::u16string_view path) {
  std::size_t slash = path.find_last_of(u'\\');
  return std::u16string(slash == std::u16string_view::npos ? path : path.substr(slash + 1));
}

std::u16string JoinPath(std::u16string_view folder, std::u16string_view name) {
  std::u16string path(folder);
  if (path.empty() || path.back() != u'\\') path += u'\\';
  return path + std::u16string(name);
}

bool IsWithin(std::u16string_view path, std::u16string_view root) {
  std::u16string key = PathKey(path);
  std::u16string rootKey = PathKey(root);
  if (!rootKey.empty() && rootKey.back() == u'\\') rootKey.pop_back();
  return key == rootKey || (key.size() > rootKey.size() && key.starts_with(rootKey) && key[rootKey.size()] == u'\\');
}

const DigestCache::Known* DigestCache::find(const std::string& host, const Stamp& stamp) const {
  auto it = known_.find(host);
  return it == known_.end() || !(it->second.first == stamp) ? nullptr : &it->second.second;
}

void DigestCache::keep(const std::string& host, const Stamp& stamp, std::int64_t readAtNs, Known known) {
  constexpr std::int64_t kClockTickNs = 50'000'000;  // far coarser than the host's change times
  if (stamp.changedNs > readAtNs - kClockTickNs) {
    known_.erase(host);
    return;
  }
  known_[host] = {stamp, std::move(known)};
}

namespace {

constexpr std::uint64_t kFnvOffset = 0xCBF29CE484222325ull;
constexpr std::uint64_t kFnvPrime = 0x100000001B3ull;

struct FileRead {
  std::uint64_t digest = kFnvOffset;
  std::string bytes;
};

// The digest of a file's bytes, and the bytes themselves when the file is small.
FileRead ReadFile(const fsys::path& host, std::uint64_t size) {
  FileRead read;
  std::ifstream in(host, std::ios::binary);
  char buffer[65536];
  while (in) {
    in.read(buffer, sizeof buffer);
    std::streamsize got = in.gcount();
    for (std::streamsize i = 0; i < got; ++i) read.digest = (read.digest ^ static_cast<unsigned char>(buffer[i])) * kFnvPrime;
    if (size <= FileEntry::kKeptBytes) read.bytes.append(buffer, static_cast<std::size_t>(got));
  }
  return read;
}

std::int64_t Nanoseconds(const timespec& time) { return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec; }

std::int64_t HostNow() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return Nanoseconds(now);
}

void ReadFileEntry(const fsys::path& host, const struct stat& status, FileEntry& entry, DigestCache& cache) {
  entry.size = static_cast<std::uint64_t>(status.st_size);
  const DigestCache::Stamp stamp{static_cast<std::uint64_t>(status.st_ino), entry.size, Nanoseconds(status.st_ctim)};
  const std::string hostPath = host.string();
  if (const DigestCache::Known* known = cache.find(hostPath, stamp)) {
    entry.digest = known->digest;
    entry.bytes = known->bytes;
    return;
  }
  const std::int64_t readAt = HostNow();
  FileRead read = ReadFile(host, entry.size);
  entry.digest = read.digest;
  entry.bytes = std::move(read.bytes);
  cache.keep(hostPath, stamp, readAt, DigestCache::Known{entry.digest, entry.bytes});
}

void ReadFolder(const fsys::path& host, const std::u16string& devicePath, FileSnapshot& snapshot, DigestCache& cache) {
  std::error_code ec;
  for (const auto& item : fsys::directory_iterator(host, ec)) {
    struct stat status {};
    if (::lstat(item.path().c_str(), &status) != 0 || !(S_ISREG(status.st_mode) || S_ISDIR(status.st_mode))) continue;
    auto name = Utf8ToUtf16(item.path().filename().string());
    if (!name) continue;  // a host name the device cannot show
    FileEntry entry;
    entry.path = JoinPath(devicePath, *name);
    entry.folder = S_ISDIR(status.st_mode);
    if (entry.folder)
      ReadFolder(item.path(), entry.path, snapshot, cache);
    else
      ReadFileEntry(item.path(), status, entry, cache);
    snapshot.add(std::move(entry));
  }
}

}  // namespace

FileSnapshot FileSnapshot::Take(const fsys::path& root, DigestCache& cache) {
  FileSnapshot snapshot;
  ReadFolder(root, u"\\", snapshot, cache);
  return snapshot;
}

void FileSnapshot::add(FileEntry entry) {
  std::u16string key = PathKey(entry.path);
  entries_[key] = std::move(entry);
}

const FileEntry* FileSnapshot::find(std::u16string_view path) const {
  auto it = entries_.find(PathKey(path));
  return it == entries_.end() ? nullptr : &it->second;
}

namespace {

// The first part of the keys of the entries below the folder with key `folder`.
std::u16string BelowKey(const std::u16string& folder) { return folder == u"\\" ? folder : folder + u'\\'; }

}  // namespace

std::vector<const FileEntry*> FileSnapshot::children(std::u16string_view folder) const {
  std::vector<const FileEntry*> found;
  const std::u16string below = BelowKey(PathKey(folder));
  for (auto it = entries_.lower_bound(below); it != entries_.end() && it->first.starts_with(below); ++it)
    if (it->first.find(u'\\', below.size()) == std::u16string::npos) found.push_back(&it->second);
  return found;
}

std::vector<const FileEntry*> FileSnapshot::tree(std::u16string_view root) const {
  std::vector<const FileEntry*> found;
  const std::u16string key = PathKey(root);
  if (auto it = entries_.find(key); it != entries_.end()) found.push_back(&it->second);
  const std::u16string below = BelowKey(key);
  for (auto it = entries_.lower_bound(below); it != entries_.end() && it->first.starts_with(below); ++it)
    found.push_back(&it->second);
  return found;
}

std::vector<FileChange> Compare(const FileSnapshot& before, const FileSnapshot& after) {
  std::vector<FileChange> changes;
  auto a = before.entries().begin();
  auto b = after.entries().begin();
  while (a != before.entries().end() || b != after.entries().end()) {
    if (b == after.entries().end() || (a != before.entries().end() && a->first < b->first)) {
      changes.push_back(FileChange{a->first, a->second, std::nullopt});
      ++a;
    } else if (a == before.entries().end() || b->first < a->first) {
      changes.push_back(FileChange{b->first, std::nullopt, b->second});
      ++b;
    } else {
      if (!a->second.sameContent(b->second) || a->second.path != b->second.path)
        changes.push_back(FileChange{a->first, a->second, b->second});
      ++a;
      ++b;
    }
  }
  return changes;
}

}  // namespace sim::monkey
