// Names in the store: attributes, folders, deleting, moving and copying.
#include <windows.h>

#include <string>

#include "fs/api_guard.h"
#include "fs/folder_time_keeper.h"
#include "fs/host_text.h"
#include "fs/object_store.h"

using namespace sim;
using namespace sim::fs;

namespace {

ObjectStore& Store() { return Device::current().service<ObjectStore>(); }

bool IsReadOnly(ObjectStore& store, const Node& node) {
  return store.settableAttributes(node.host, node.isDirectory) & FILE_ATTRIBUTE_READONLY;
}

// The root and the storage cards are fixed points of the store.
bool IsFixed(ObjectStore& store, const Node& node) { return node.path.isRoot() || store.isStorageCard(node.path); }

bool IsInside(const std::filesystem::path& candidate, const std::filesystem::path& folder) {
  std::string c = candidate.string(), f = folder.string();
  return c.size() > f.size() && c.compare(0, f.size(), f) == 0 && c[f.size()] == '/';
}

FsStatus CopyContents(int from, int to) {
  std::string buffer(64 * 1024, '\0');
  std::uint64_t offset = 0;
  for (;;) {
    auto n = ReadAt(from, buffer.data(), buffer.size(), offset);
    if (!n) return n.error();
    if (*n == 0) return 0;
    if (FsStatus status = WriteAt(to, buffer.data(), *n, offset)) return status;
    offset += *n;
  }
}

// A sibling name for a copy in progress, unused on the host.
std::filesystem::path ScratchNameBeside(const std::filesystem::path& target) {
  for (int n = 0;; ++n) {
    auto candidate = target.parent_path() / (".copying-" + std::to_string(n) + "-" + target.filename().string());
    if (!StatNode(candidate) && !std::filesystem::is_symlink(candidate)) return candidate;
  }
}

// Copies a file's bytes to a scratch file and renames it into place, so a copy
// that fails half-way (a full medium) leaves the target as it was.
FsStatus CopyFileContents(ObjectStore& store, const Node& source, const Node& target, bool replace) {
  auto in = OpenHostFile(source.host, true, false, false, false);
  if (!in) return in.error();
  auto sourceStat = StatOpenFile(in->get());
  if (!sourceStat) return ERROR_ACCESS_DENIED;
  auto scratch = ScratchNameBeside(target.host);
  auto out = OpenHostFile(scratch, false, true, true, false);
  if (!out) return out.error();
  FsStatus status = CopyContents(in->get(), out->get());
  if (!status) status = SetWriteTime(out->get(), sourceStat->writeTicks);
  out = UniqueFd();
  if (!status) status = replace ? RenameReplacing(scratch, target.host) : RenameNoReplace(scratch, target.host);
  if (status) {
    RemoveFile(scratch);
    return status;
  }
  store.forgetMeta(target.host);
  auto& meta = store.meta(target.host);
  meta.attributes = store.settableAttributes(source.host, false);
  meta.creationTicks = store.nowTicks();
  return 0;
}

}  // namespace

DWORD GetFileAttributesW(LPCWSTR fileName) {
  if (InjectedFailure("GetFileAttributesW")) return INVALID_FILE_ATTRIBUTES;
  ObjectStore& store = Store();
  auto node = store.resolve(fileName);
  DWORD error = !node ? node.error() : !node->exists ? static_cast<DWORD>(ERROR_FILE_NOT_FOUND) : 0;
  auto stat = error ? std::nullopt : node->stat ? node->stat : StatNode(node->host);
  if (!error && !stat) error = ERROR_FILE_NOT_FOUND;
  if (error) {
    SetLastError(error);
    return INVALID_FILE_ATTRIBUTES;
  }
  return store.attributesOf(*node, *stat);
}

BOOL SetFileAttributesW(LPCWSTR fileName, DWORD attributes) {
  if (InjectedFailure("SetFileAttributesW")) return FALSE;
  ObjectStore& store = Store();
  auto node = store.resolve(fileName);
  if (!node) return FailWith(node.error());
  if (!node->exists) return FailWith(ERROR_FILE_NOT_FOUND);
  if (node->path.isRoot()) return FailWith(ERROR_ACCESS_DENIED);
  store.meta(node->host).attributes = attributes & kSettableAttributes;
  return TRUE;
}

BOOL CreateDirectoryW(LPCWSTR pathName, LPSECURITY_ATTRIBUTES) {
  if (InjectedFailure("CreateDirectoryW")) return FALSE;
  ObjectStore& store = Store();
  auto node = store.resolve(pathName);
  if (!node) return FailWith(node.error());
  if (node->exists) return FailWith(ERROR_ALREADY_EXISTS);
  FolderTimeKeeper keeper(node->host.parent_path());
  if (FsStatus status = MakeFolder(node->host)) return FailWith(status);
  std::uint64_t now = store.nowTicks();
  SetWriteTime(node->host, now);
  store.forgetMeta(node->host);
  store.meta(node->host).creationTicks = now;
  return TRUE;
}

BOOL RemoveDirectoryW(LPCWSTR pathName) {
  if (InjectedFailure("RemoveDirectoryW")) return FALSE;
  ObjectStore& store = Store();
  auto node = store.resolve(pathName);
  if (!node) return FailWith(node.error());
  if (!node->exists) return FailWith(ERROR_FILE_NOT_FOUND);
  if (!node->isDirectory || IsFixed(store, *node) || IsReadOnly(store, *node)) return FailWith(ERROR_ACCESS_DENIED);
  FolderTimeKeeper keeper(node->host.parent_path());
  // The host refuses a folder holding anything, even entries the device cannot
  // see (links), so nothing hidden is ever lost with the folder.
  if (FsStatus status = RemoveFolder(node->host)) return FailWith(status);
  store.forgetMeta(node->host);
  return TRUE;
}

BOOL DeleteFileW(LPCWSTR fileName) {
  if (InjectedFailure("DeleteFileW")) return FALSE;
  ObjectStore& store = Store();
  auto node = store.resolve(fileName);
  if (!node) return FailWith(node.error());
  if (!node->exists) return FailWith(ERROR_FILE_NOT_FOUND);
  if (node->isDirectory || IsReadOnly(store, *node)) return FailWith(ERROR_ACCESS_DENIED);
  if (!store.openFilesAt(node->host, false).empty()) return FailWith(ERROR_SHARING_VIOLATION);
  FolderTimeKeeper keeper(node->host.parent_path());
  if (FsStatus status = RemoveFile(node->host)) return FailWith(status);
  store.forgetMeta(node->host);
  return TRUE;
}

BOOL MoveFileW(LPCWSTR existingFileName, LPCWSTR newFileName) {
  if (InjectedFailure("MoveFileW")) return FALSE;
  ObjectStore& store = Store();
  auto source = store.resolve(existingFileName);
  if (!source) return FailWith(source.error());
  if (!source->exists) return FailWith(ERROR_FILE_NOT_FOUND);
  if (IsFixed(store, *source)) return FailWith(ERROR_ACCESS_DENIED);

  auto targetPath = ParseDevicePath(ArgumentText(newFileName));
  if (!targetPath) return FailWith(targetPath.error());
  if (targetPath->isRoot()) return FailWith(ERROR_ALREADY_EXISTS);
  auto target = store.locate(*targetPath);
  if (!target) return FailWith(target.error());

  std::filesystem::path destination = target->host;
  if (target->exists) {
    // Only the entry itself may stand at the target: a change of case.
    if (target->host != source->host) return FailWith(ERROR_ALREADY_EXISTS);
    if (target->path.leaf() == targetPath->leaf()) return TRUE;
    auto hostName = DeviceNameToHost(targetPath->leaf());
    if (!hostName) return FailWith(ERROR_INVALID_NAME);
    destination = target->host.parent_path() / *hostName;
  }
  if (source->isDirectory && IsInside(destination, source->host)) return FailWith(ERROR_ACCESS_DENIED);
  if (!store.openFilesAt(source->host, true).empty()) return FailWith(ERROR_SHARING_VIOLATION);

  FolderTimeKeeper sourceFolder(source->host.parent_path());
  FolderTimeKeeper targetFolder(destination.parent_path());
  if (FsStatus status = RenameNoReplace(source->host, destination)) return FailWith(status);
  store.moveMeta(source->host, destination);
  return TRUE;
}

BOOL CopyFileW(LPCWSTR existingFileName, LPCWSTR newFileName, BOOL failIfExists) {
  if (InjectedFailure("CopyFileW")) return FALSE;
  ObjectStore& store = Store();
  auto source = store.resolve(existingFileName);
  if (!source) return FailWith(source.error());
  if (!source->exists) return FailWith(ERROR_FILE_NOT_FOUND);
  if (source->isDirectory) return FailWith(ERROR_ACCESS_DENIED);
  auto target = store.resolve(newFileName);
  if (!target) return FailWith(target.error());
  if (target->path.isRoot() || target->path.trailingSeparator) return FailWith(ERROR_INVALID_NAME);
  if (target->exists) {
    if (target->isDirectory) return FailWith(ERROR_ACCESS_DENIED);
    // Copying a file onto itself would empty it before reading it.
    if (target->host == source->host) return FailWith(ERROR_SHARING_VIOLATION);
    if (failIfExists) return FailWith(ERROR_FILE_EXISTS);
    if (IsReadOnly(store, *target)) return FailWith(ERROR_ACCESS_DENIED);
    if (!store.openFilesAt(target->host, false).empty()) return FailWith(ERROR_SHARING_VIOLATION);
  }
  FolderTimeKeeper keeper(target->host.parent_path());
  if (FsStatus status = CopyFileContents(store, *source, *target, target->exists)) return FailWith(status);
  return TRUE;
}
