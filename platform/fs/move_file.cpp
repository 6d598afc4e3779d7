// Moving and renaming: MoveFileW.
//
// Inside one volume a move renames the entry, a folder with everything in it. The
// object store and each storage card are volumes of their own: a file moves to
// another volume as a copy that keeps its bytes, times and attributes, after which
// the original is removed; a folder cannot move to another volume.
#include <windows.h>

#include <optional>

#include "fs/api_guard.h"
#include "fs/file_copy.h"
#include "fs/folder_time_keeper.h"
#include "fs/host_text.h"
#include "fs/object_store.h"

using namespace sim;
using namespace sim::fs;

namespace {

ObjectStore& Store() { return Device::current().service<ObjectStore>(); }

bool IsInside(const std::filesystem::path& candidate, const std::filesystem::path& folder) {
  std::string c = candidate.string(), f = folder.string();
  return c.size() > f.size() && c.compare(0, f.size(), f) == 0 && c[f.size()] == '/';
}

// Where on the host the entry goes: a free name, or its own name in another case;
// nothing when the target names it exactly as it is.
FsResult<std::optional<std::filesystem::path>> Destination(ObjectStore& store, const Node& source,
                                                           const DevicePath& targetPath) {
  if (targetPath.isRoot()) return FsError{ERROR_ALREADY_EXISTS};
  auto target = store.locate(targetPath);
  if (!target) return target.error();
  if (!target->exists) return std::optional(target->host);
  // Only the entry itself may stand at the target: a change of case.
  if (target->host != source.host) return FsError{ERROR_ALREADY_EXISTS};
  if (target->path.leaf() == targetPath.leaf()) return std::optional<std::filesystem::path>();
  auto hostName = DeviceNameToHost(targetPath.leaf());
  if (!hostName) return FsError{ERROR_INVALID_NAME};
  return std::optional(target->host.parent_path() / *hostName);
}

FsStatus MoveToOtherVolume(const Node& source, const std::filesystem::path& destination) {
  if (FsStatus status = CopyHostFile(source.host, destination, false)) return status;
  if (FsStatus status = RemoveFile(source.host)) {
    RemoveFile(destination);
    return status;
  }
  return 0;
}

}  // namespace

BOOL MoveFileW(LPCWSTR existingFileName, LPCWSTR newFileName) {
  if (InjectedFailure("MoveFileW")) return FALSE;
  ObjectStore& store = Store();
  auto source = store.resolve(existingFileName);
  if (!source) return FailWith(source.error().code);
  if (!source->exists) return FailWith(ERROR_FILE_NOT_FOUND);
  if (store.isFixed(source->path)) return FailWith(ERROR_ACCESS_DENIED);

  auto targetPath = ParseDevicePath(ArgumentText(newFileName));
  if (!targetPath) return FailWith(targetPath.error().code);
  // A final "\" names a folder: no file takes such a name (as CreateFileW refuses it).
  if (!source->isDirectory && targetPath->trailingSeparator) return FailWith(ERROR_INVALID_NAME);
  auto found = Destination(store, *source, *targetPath);
  if (!found) return FailWith(found.error().code);
  if (!*found) return TRUE;
  const std::filesystem::path& destination = **found;
  if (source->isDirectory && IsInside(destination, source->host)) return FailWith(ERROR_ACCESS_DENIED);
  bool otherVolume = store.volumeOf(source->path) != store.volumeOf(*targetPath);
  if (otherVolume && source->isDirectory) return FailWith(ERROR_NOT_SAME_DEVICE);
  if (!store.openFilesAt(source->host, true).empty()) return FailWith(ERROR_SHARING_VIOLATION);

  FolderTimeKeeper sourceFolder(source->host.parent_path());
  FolderTimeKeeper targetFolder(destination.parent_path());
  FsStatus status =
      otherVolume ? MoveToOtherVolume(*source, destination) : RenameNoReplace(source->host, destination);
  if (status) return FailWith(status);
  store.moved(source->host, destination);
  return TRUE;
}
