#include "fs/object_store.h"

#include <fcntl.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <string_view>

#include "fs/file_time.h"
#include "fs/host_text.h"
#include "fs/names.h"
#include "kernel/device.h"
#include "kernel/process.h"

namespace sim {

using namespace fs;

namespace {
bool IsAtOrBelow(const std::string& candidate, const std::string& folder, bool below) {
  if (candidate == folder) return true;
  return below && candidate.size() > folder.size() && candidate.compare(0, folder.size(), folder) == 0 &&
         candidate[folder.size()] == '/';
}
}  // namespace

ObjectStore::ObjectStore(Device& device) : device_(device) {
  // The folder may be reached through host links of its own; resolving them once
  // lets every lookup below it refuse links without refusing the folder itself.
  std::error_code ec;
  root_ = std::filesystem::canonical(device.config().root, ec);
  if (!ec) return;
  root_ = std::filesystem::absolute(device.config().root, ec).lexically_normal();
  if (ec) root_ = device.config().root;
  // "a/b/" normalises with a trailing separator; keep keys uniform.
  if (root_.has_filename() == false && root_.has_parent_path() && root_ != root_.root_path())
    root_ = root_.parent_path();
}

ObjectStore::~ObjectStore() = default;

void ObjectStore::mountStorageCard(std::u16string name) {
  if (!isStorageCard(DevicePath{{name}, false})) storageCards_.push_back(std::move(name));
}

bool ObjectStore::isStorageCard(const DevicePath& path) const {
  if (path.components.size() != 1) return false;
  return std::any_of(storageCards_.begin(), storageCards_.end(),
                     [&](const std::u16string& card) { return NamesEqual(card, path.components[0]); });
}

std::size_t ObjectStore::volumeOf(const DevicePath& path) const {
  if (path.components.empty()) return 0;
  for (std::size_t i = 0; i < storageCards_.size(); ++i)
    if (NamesEqual(storageCards_[i], path.components[0])) return i + 1;
  return 0;
}

std::uint64_t ObjectStore::nowTicks() const { return device_.clock().fileTimeUtc(); }

// A device path spelled on the host exactly as given: the root, then each name's
// host bytes after a "/". The spelling of the first `count` names is the text up
// to upTo(count).
struct ObjectStore::ExactSpelling {
  std::string text;
  std::size_t rootEnd = 0;
  std::array<std::uint32_t, MAX_PATH> ends{};  // a device path holds fewer names

  std::size_t upTo(std::size_t count) const { return count == 0 ? rootEnd : ends[count - 1]; }
  std::string_view name(std::size_t i) const {
    std::size_t start = upTo(i) + 1;
    return std::string_view(text).substr(start, ends[i] - start);
  }
};

std::optional<ObjectStore::ExactSpelling> ObjectStore::spellExactly(const DevicePath& path) const {
  if (path.components.size() > MAX_PATH) return std::nullopt;
  ExactSpelling spelling;
  const std::string& root = root_.native();
  // A root of "/" must not start every path with "//": the keys of the store's
  // details are the host paths.
  spelling.rootEnd = root.ends_with('/') ? root.size() - 1 : root.size();
  std::size_t units = 0;
  for (const auto& component : path.components) units += component.size() + 1;
  spelling.text.reserve(spelling.rootEnd + units * 3);
  spelling.text.assign(root, 0, spelling.rootEnd);
  for (std::size_t i = 0; i < path.components.size(); ++i) {
    // Only a name the walk would take apart on the host lacks an exact spelling.
    if (path.components[i].find(u'/') != std::u16string::npos) return std::nullopt;
    spelling.text += '/';
    if (!AppendHostName(spelling.text, path.components[i])) return std::nullopt;
    spelling.ends[i] = static_cast<std::uint32_t>(spelling.text.size());
  }
  return spelling;
}

FsResult<FolderListing> ObjectStore::openFolder(const DevicePath& path) {
  FolderListing listing;
  if (auto spelling = path.isRoot() ? std::nullopt : spellExactly(path)) {
    if (auto folder = HostFolder::openWithoutLinks(spelling->text.c_str())) {
      listing.node.path = path;
      listing.node.host = std::move(spelling->text);
      listing.folder = std::move(*folder);
    }
  }
  if (!listing.folder) {
    auto node = locate(path);
    if (!node) return node.error();
    if (!node->exists || !node->isDirectory) return FsError{ERROR_PATH_NOT_FOUND};
    auto folder = HostFolder::open(node->host);
    if (!folder) return folder.error();
    listing.node = std::move(*node);
    listing.folder = std::move(*folder);
  }
  listing.node.exists = true;
  listing.node.isDirectory = true;
  auto entries = listing.folder.entries();
  if (!entries) return entries.error();
  order_.arrange(listing.node.host, *entries);
  listing.entries = std::move(*entries);
  return listing;
}

// Most paths name every folder and the leaf as stored, so one host lookup finds
// the whole path. Anything else (a name in another case, a missing leaf, a link
// on the way, an error to report) is left to the walk; `hostError` says why the
// lookup failed.
std::optional<Node> ObjectStore::locateExactly(const DevicePath& path, const ExactSpelling& spelling,
                                               int& hostError) {
  int fd = OpenWithoutLinks(spelling.text.c_str(), O_PATH);
  hostError = fd < 0 ? errno : 0;
  if (fd < 0) return std::nullopt;
  auto stat = StatOpenFile(UniqueFd(fd).get());
  if (!stat || (path.trailingSeparator && !stat->isDirectory)) return std::nullopt;
  Node node;
  node.path = path;
  node.host = spelling.text;
  node.exists = true;
  node.isDirectory = stat->isDirectory;
  node.stat = stat;
  return node;
}

// When the folder holding the leaf is named exactly as stored, one host lookup
// confirms every folder on the way, where the walk would look up each in turn.
// Gives how many names it confirmed (0 or all but the leaf), with `host` their
// host path.
std::size_t ObjectStore::confirmParent(const DevicePath& path, const ExactSpelling& spelling, std::string& host) {
  // Up to this many folders, looking each up costs no more than the one lookup.
  constexpr std::size_t kWalkedFolders = 2;
  std::size_t folders = path.components.size() - 1;
  if (path.components.empty() || folders <= kWalkedFolders) return 0;
  host.assign(spelling.text, 0, spelling.upTo(folders));
  auto stat = StatWithoutLinks(host.c_str());
  if (stat && stat->isDirectory) return folders;
  host.assign(spelling.text, 0, spelling.rootEnd);
  return 0;
}

// Walks the path one name at a time from the root, or from its folder when that
// is confirmed exactly. A name is looked up as given first; only a miss asks the
// folder's names. `exactError` is why the lookup of the whole path failed: with
// every folder on the way named as given, it says the leaf is not there as given.
FsResult<Node> ObjectStore::walk(const DevicePath& path, const ExactSpelling* spelling, int exactError) {
  Node node;
  node.exists = true;
  node.isDirectory = true;
  node.path.trailingSeparator = path.trailingSeparator;
  node.path.components.reserve(path.components.size());
  std::string host;
  std::size_t first = 0;
  if (spelling) {
    host.reserve(spelling->text.capacity());
    host.assign(spelling->text, 0, spelling->rootEnd);
    if (exactError != ENOSYS) first = confirmParent(path, *spelling, host);
  } else {
    host = root_.native();
  }
  node.path.components.assign(path.components.begin(), path.components.begin() + first);
  bool asGiven = spelling != nullptr;
  for (std::size_t i = first; i < path.components.size(); ++i) {
    bool last = i + 1 == path.components.size();
    std::optional<std::string> converted;
    if (!spelling && !(converted = DeviceNameToHost(path.components[i]))) return FsError{ERROR_INVALID_NAME};
    std::string_view hostName = spelling ? spelling->name(i) : std::string_view(*converted);
    std::size_t folderEnd = host.size();
    host += '/';
    host += hostName;
    bool missingAsGiven = last && asGiven && (exactError == ENOENT || exactError == ELOOP);
    if (auto stat = missingAsGiven ? std::nullopt : StatNode(host.c_str())) {
      node.path.components.push_back(path.components[i]);
      node.isDirectory = stat->isDirectory;
    } else {
      asGiven = false;
      host.resize(folderEnd);
      auto entry = names_.find(host, path.components[i]);
      if (!entry && entry.error().code != ERROR_FILE_NOT_FOUND) return entry.error();
      if (!entry && !last) return FsError{ERROR_PATH_NOT_FOUND};
      host += '/';
      if (!entry) {
        host += hostName;
        node.path.components.push_back(path.components[i]);
        node.host = std::move(host);
        node.exists = false;
        node.isDirectory = false;
        return node;
      }
      host += entry->hostName;
      node.path.components.push_back(std::move(entry->name));
      node.isDirectory = entry->isDirectory;
    }
    if (!last && !node.isDirectory) return FsError{ERROR_PATH_NOT_FOUND};
  }
  node.host = std::move(host);
  if (path.trailingSeparator && !node.isDirectory) return FsError{ERROR_INVALID_NAME};
  return node;
}

FsResult<Node> ObjectStore::locate(const DevicePath& path) {
  if (path.isRoot()) return walk(path, nullptr, 0);
  auto spelling = spellExactly(path);
  int exactError = 0;
  if (spelling)
    if (auto found = locateExactly(path, *spelling, exactError)) return std::move(*found);
  return walk(path, spelling ? &*spelling : nullptr, exactError);
}

FsResult<Node> ObjectStore::resolve(const WCHAR* text, PathUse use) {
  auto path = ParseDevicePath(ArgumentText(text), use);
  if (!path) return path.error();
  return locate(*path);
}

const ObjectStore::Meta* ObjectStore::findMeta(const std::filesystem::path& host) const {
  auto it = meta_.find(key(host));
  return it == meta_.end() ? nullptr : &it->second;
}

void ObjectStore::forgetMeta(const std::filesystem::path& host) {
  std::string folder = key(host);
  std::erase_if(meta_, [&](const auto& entry) { return IsAtOrBelow(entry.first, folder, true); });
}

void ObjectStore::moveMeta(const std::filesystem::path& from, const std::filesystem::path& to) {
  std::string source = key(from), target = key(to);
  std::vector<std::pair<std::string, Meta>> moved;
  for (auto it = meta_.begin(); it != meta_.end();) {
    if (IsAtOrBelow(it->first, source, true)) {
      moved.emplace_back(target + it->first.substr(source.size()), it->second);
      it = meta_.erase(it);
    } else {
      ++it;
    }
  }
  for (auto& [name, value] : moved) meta_[name] = value;
}

void ObjectStore::created(const std::filesystem::path& host) {
  forgetMeta(host);
  order_.added(host);
}

void ObjectStore::removed(const std::filesystem::path& host) {
  forgetMeta(host);
  order_.removed(host);
}

void ObjectStore::moved(const std::filesystem::path& from, const std::filesystem::path& to) {
  forgetMeta(to);  // whatever the host once had there
  moveMeta(from, to);
  order_.moved(from, to);
}

DWORD ObjectStore::settableAttributes(const std::filesystem::path& host, bool isDirectory) const {
  const Meta* m = findMeta(host);
  if (m && m->attributes) return *m->attributes;
  return isDirectory ? 0 : FILE_ATTRIBUTE_ARCHIVE;
}

DWORD ObjectStore::attributesOf(const Node& node, const HostStat& stat) const {
  DWORD attributes = settableAttributes(node.host, stat.isDirectory);
  if (stat.isDirectory) attributes |= FILE_ATTRIBUTE_DIRECTORY;
  if (stat.isDirectory && isStorageCard(node.path)) attributes |= FILE_ATTRIBUTE_TEMPORARY;
  return attributes;
}

void ObjectStore::fillFindData(const Node& node, const HostStat& stat, WIN32_FIND_DATAW& data) const {
  data = WIN32_FIND_DATAW{};
  data.dwFileAttributes = attributesOf(node, stat);
  const Meta* m = findMeta(node.host);
  // The host's own access and creation times are not the device's: they move
  // with whatever the host does. The device sees the times it set, else the
  // last write.
  std::uint64_t created = m && m->creationTicks ? *m->creationTicks : stat.writeTicks;
  std::uint64_t accessed = m && m->accessTicks ? *m->accessTicks : stat.writeTicks;
  data.ftCreationTime = MakeFileTime(created);
  data.ftLastAccessTime = MakeFileTime(accessed);
  data.ftLastWriteTime = MakeFileTime(stat.writeTicks);
  data.nFileSizeHigh = static_cast<DWORD>(stat.size >> 32);
  data.nFileSizeLow = static_cast<DWORD>(stat.size & 0xFFFFFFFFu);
  data.dwOID = static_cast<DWORD>(stat.inode);
  std::u16string_view name = node.path.isRoot() ? std::u16string_view() : std::u16string_view(node.path.leaf());
  std::size_t n = std::min<std::size_t>(name.size(), MAX_PATH - 1);
  std::copy_n(name.begin(), n, data.cFileName);
  data.cFileName[n] = 0;
}

HandleTable& ObjectStore::handles() { return device_.service<HandleTable>(); }

HANDLE ObjectStore::addFile(std::shared_ptr<OpenFile> file) {
  openFiles_.push_back(file);
  return handles().add(std::move(file), CurrentProcess());
}

OpenFile* ObjectStore::file(HANDLE handle) { return handles().findAs<OpenFile>(handle).get(); }

HANDLE ObjectStore::addSearch(std::shared_ptr<Search> search) {
  // A program that never ends its searches must not use up the host's file
  // descriptors: past this many, a new search looks its entries up by path.
  constexpr std::size_t kMaxSearchesHoldingFolders = 256;
  std::erase_if(searchesHoldingFolders_, [](const std::weak_ptr<Search>& held) { return held.expired(); });
  if (search->openFolder) {
    if (searchesHoldingFolders_.size() < kMaxSearchesHoldingFolders)
      searchesHoldingFolders_.push_back(search);
    else
      search->openFolder = HostFolder();
  }
  return handles().add(std::move(search), CurrentProcess());
}

Search* ObjectStore::search(HANDLE handle) { return handles().findAs<Search>(handle).get(); }

bool ObjectStore::close(HANDLE handle) { return handles().close(handle); }

std::vector<const OpenFile*> ObjectStore::openFilesAt(const std::filesystem::path& host, bool below) const {
  std::erase_if(openFiles_, [](const std::weak_ptr<OpenFile>& file) { return file.expired(); });
  std::string target = key(host);
  std::vector<const OpenFile*> found;
  for (const auto& weak : openFiles_)
    if (auto file = weak.lock(); file && IsAtOrBelow(key(file->host), target, below)) found.push_back(file.get());
  return found;
}

}  // namespace sim
