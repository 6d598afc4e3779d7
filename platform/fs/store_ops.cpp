// Names in the store: attributes, folders, deleting and copying.
#include <windows.h>

#include <string>

#include "fs/api_guard.h"
#include "fs/file_copy.h"
#include "fs/folder_time_keeper.h"
#include "fs/object_store.h"

using namespace sim;
using namespace sim::fs;

namespace {

ObjectStore& Store() { return Device::current().service<ObjectStore>(); }

bool IsReadOnly(ObjectStore& store, const Node& node) {
  return store.settableAttributes(node.host, node.isDirectory) & FILE_ATTRIBUTE_READONLY;
}

// A copy is a new file with the source's bytes, last-write time and attributes.
FsStatus CopyFileContents(ObjectStore& store, const Node& source, const Node& target) {
  if (FsStatus status = CopyHostFile(source.host, target.host, target.exists)) return status;
  if (target.exists)
    store.forgetMeta(target.host);
  else
    store.created(target.host);
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
  DWORD error = !node ? node.error().code : !node->exists ? static_cast<DWORD>(ERROR_FILE_NOT_FOUND) : 0;
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
  if (!node) return FailWith(node.error().code);
  if (!node->exists) return FailWith(ERROR_FILE_NOT_FOUND);
  if (node->path.isRoot()) return FailWith(ERROR_ACCESS_DENIED);
  store.meta(node->host).attributes = attributes & kSettableAttributes;
  return TRUE;
}

BOOL CreateDirectoryW(LPCWSTR pathName, LPSECURITY_ATTRIBUTES) {
  if (InjectedFailure("CreateDirectoryW")) return FALSE;
  ObjectStore& store = Store();
  auto node = store.resolve(pathName);
  if (!node) return FailWith(node.error().code);
  if (node->exists) return FailWith(ERROR_ALREADY_EXISTS);
  FolderTimeKeeper keeper(node->host.parent_path());
  if (FsStatus status = MakeFolder(node->host)) return FailWith(status);
  std::uint64_t now = store.nowTicks();
  SetWriteTime(node->host, now);
  store.created(node->host);
  store.meta(node->host).creationTicks = now;
  return TRUE;
}

BOOL RemoveDirectoryW(LPCWSTR pathName) {
  if (InjectedFailure("RemoveDirectoryW")) return FALSE;
  ObjectStore& store = Store();
  auto node = store.resolve(pathName);
  if (!node) return FailWith(node.error().code);
  if (!node->exists) return FailWith(ERROR_FILE_NOT_FOUND);
  if (!node->isDirectory || store.isFixed(node->path) || IsReadOnly(store, *node)) return FailWith(ERROR_ACCESS_DENIED);
  FolderTimeKeeper keeper(node->host.parent_path());
  // The host refuses a folder holding anything, even entries the device cannot
  // see (links), so nothing hidden is ever lost with the folder.
  if (FsStatus status = RemoveFolder(node->host)) return FailWith(status);
  store.removed(node->host);
  return TRUE;
}

BOOL DeleteFileW(LPCWSTR fileName) {
  if (InjectedFailure("DeleteFileW")) return FALSE;
  ObjectStore& store = Store();
  auto node = store.resolve(fileName);
  if (!node) return FailWith(node.error().code);
  if (!node->exists) return FailWith(ERROR_FILE_NOT_FOUND);
  if (node->isDirectory || IsReadOnly(store, *node)) return FailWith(ERROR_ACCESS_DENIED);
  if (!store.openFilesAt(node->host, false).empty()) return FailWith(ERROR_SHARING_VIOLATION);
  FolderTimeKeeper keeper(node->host.parent_path());
  if (FsStatus status = RemoveFile(node->host)) return FailWith(status);
  store.removed(node->host);
  return TRUE;
}

BOOL CopyFileW(LPCWSTR existingFileName, LPCWSTR newFileName, BOOL failIfExists) {
  if (InjectedFailure("CopyFileW")) return FALSE;
  ObjectStore& store = Store();
  auto source = store.resolve(existingFileName);
  if (!source) return FailWith(source.error().code);
  if (!source->exists) return FailWith(ERROR_FILE_NOT_FOUND);
  if (source->isDirectory) return FailWith(ERROR_ACCESS_DENIED);
  auto target = store.resolve(newFileName);
  if (!target) return FailWith(target.error().code);
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
  if (FsStatus status = CopyFileContents(store, *source, *target)) return FailWith(status);
  return TRUE;
}
