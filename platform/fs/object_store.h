// The device's object store: its files and folders over a host folder.
//
// Every device path is resolved against the host folder's entries, ignoring case
// as the device does; the names found are the names kept, so what the device wrote
// comes back exactly. A path named exactly as stored is found with one host lookup;
// any other is walked name by name, from its folder when that is named exactly.
// Host links below the device's folder are never followed. The store also holds
// what the host cannot keep for the device (attribute bits, creation times) and
// the open files and searches.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <windows.h>

#include "fs/device_path.h"
#include "fs/entry_order.h"
#include "fs/folder_name_index.h"
#include "fs/fs_result.h"
#include "fs/host_folder.h"
#include "fs/host_io.h"
#include "kernel/handles.h"

namespace sim {

class Device;

namespace fs {

// Attribute bits the device may set on a file or folder.
constexpr DWORD kSettableAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

// A resolved device path.
struct Node {
  DevicePath path;             // the names as stored (as given for a missing leaf)
  std::filesystem::path host;  // where it is, or would be, on the host
  bool exists = false;
  bool isDirectory = false;
  std::optional<HostStat> stat;  // when resolving the path read it already
};

// Open files and searches are kernel objects: their handles live in the device's
// handle table, so CloseHandle ends them and a process's end closes them.
struct OpenFile : KernelObject {
  UniqueFd fd;
  std::filesystem::path host;
  DWORD access = 0;
  DWORD share = 0;
  std::uint64_t position = 0;
};

// A folder opened for listing: where it is, the open folder, its entries in the
// folder's order (see EntryOrder).
struct FolderListing {
  Node node;
  HostFolder folder;
  std::vector<HostEntry> entries;
};

struct Search : KernelObject {
  std::filesystem::path folder;
  HostFolder openFolder;  // the folder searched, open while the search lasts
  DevicePath folderPath;
  std::vector<HostEntry> entries;  // in the folder's order
  std::size_t next = 0;
};

}  // namespace fs

class ObjectStore {
 public:
  explicit ObjectStore(Device& device);
  ~ObjectStore();
  ObjectStore(const ObjectStore&) = delete;
  ObjectStore& operator=(const ObjectStore&) = delete;

  // A top-level folder of this name (compared ignoring case) is a storage card.
  void mountStorageCard(std::u16string name);
  bool isStorageCard(const fs::DevicePath& path) const;
  // The root and the storage cards are fixed points of the store.
  bool isFixed(const fs::DevicePath& path) const { return path.isRoot() || isStorageCard(path); }
  // The volume a path lies on: 0 for the object store, else the storage card's
  // number from 1.
  std::size_t volumeOf(const fs::DevicePath& path) const;

  const std::filesystem::path& root() const { return root_; }
  std::uint64_t nowTicks() const;

  // Resolves a path: every folder on the way must exist; the leaf may be missing.
  FsResult<fs::Node> locate(const fs::DevicePath& path);
  // Parses an API argument and resolves it.
  FsResult<fs::Node> resolve(const WCHAR* text, fs::PathUse use = fs::PathUse::Name);
  // Resolves a folder and opens it for listing; a missing folder, or a file, is
  // ERROR_PATH_NOT_FOUND.
  FsResult<fs::FolderListing> openFolder(const fs::DevicePath& path);

  DWORD attributesOf(const fs::Node& node, const fs::HostStat& stat) const;
  void fillFindData(const fs::Node& node, const fs::HostStat& stat, WIN32_FIND_DATAW& data) const;

  // What the host cannot keep for a file or folder.
  struct Meta {
    std::optional<DWORD> attributes;  // settable bits only
    std::optional<std::uint64_t> creationTicks;
    std::optional<std::uint64_t> accessTicks;
  };
  Meta& meta(const std::filesystem::path& host) { return meta_[key(host)]; }
  const Meta* findMeta(const std::filesystem::path& host) const;
  void forgetMeta(const std::filesystem::path& host);
  void moveMeta(const std::filesystem::path& from, const std::filesystem::path& to);
  DWORD settableAttributes(const std::filesystem::path& host, bool isDirectory) const;

  // What the device made, removed or moved, told after the host did it: the
  // entry's details and its place in its folder's order follow it.
  void created(const std::filesystem::path& host);
  void removed(const std::filesystem::path& host);
  void moved(const std::filesystem::path& from, const std::filesystem::path& to);
  // Everything the store holds now is what the device holds when it boots: every
  // folder lists in name order until the device changes it.
  void takeContentsAsBooted() { order_.forgetAll(); }

  // Open files and searches, owned by the calling process.
  HANDLE addFile(std::shared_ptr<fs::OpenFile> file);
  fs::OpenFile* file(HANDLE handle);
  HANDLE addSearch(std::shared_ptr<fs::Search> search);
  fs::Search* search(HANDLE handle);
  bool close(HANDLE handle);
  // Open files at `host`, or (with `below`) anywhere inside the folder `host`.
  std::vector<const fs::OpenFile*> openFilesAt(const std::filesystem::path& host, bool below) const;

 private:
  HandleTable& handles();
  static std::string key(const std::filesystem::path& host) { return host.string(); }
  struct ExactSpelling;
  std::optional<ExactSpelling> spellExactly(const fs::DevicePath& path) const;
  std::optional<fs::Node> locateExactly(const fs::DevicePath& path, const ExactSpelling& spelling, int& hostError);
  std::size_t confirmParent(const fs::DevicePath& path, const ExactSpelling& spelling, std::string& host);
  FsResult<fs::Node> walk(const fs::DevicePath& path, const ExactSpelling* spelling, int exactError);

  Device& device_;
  std::filesystem::path root_;
  std::vector<std::u16string> storageCards_;
  std::map<std::string, Meta> meta_;
  fs::FolderNameIndex names_;
  fs::EntryOrder order_;
  // Every file opened, for the sharing checks; closed ones drop out.
  mutable std::vector<std::weak_ptr<fs::OpenFile>> openFiles_;
  // Searches that keep their folder open on the host; ended ones drop out.
  std::vector<std::weak_ptr<fs::Search>> searchesHoldingFolders_;
};

}  // namespace sim
