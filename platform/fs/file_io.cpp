// Open files: CreateFileW and what works on its handles. Data written on the
// device is dated by the device clock.
#include <windows.h>

#include <cstdint>

#include "fs/api_guard.h"
#include "fs/file_time.h"
#include "fs/folder_time_keeper.h"
#include "fs/object_store.h"
#include "kernel/handles.h"

using namespace sim;
using namespace sim::fs;

namespace {

ObjectStore& Store() { return Device::current().service<ObjectStore>(); }

HANDLE FailOpen(DWORD error) {
  SetLastError(error);
  return INVALID_HANDLE_VALUE;
}

bool SharingConflict(const OpenFile& open, DWORD access, DWORD share) {
  return ((access & GENERIC_WRITE) && !(open.share & FILE_SHARE_WRITE)) ||
         ((access & GENERIC_READ) && !(open.share & FILE_SHARE_READ)) ||
         ((open.access & GENERIC_WRITE) && !(share & FILE_SHARE_WRITE)) ||
         ((open.access & GENERIC_READ) && !(share & FILE_SHARE_READ));
}

struct Disposition {
  bool create = false;    // make the file when it is missing
  bool truncate = false;  // empty it when it exists
  DWORD error = 0;
};

Disposition Decide(DWORD creationDisposition, bool exists, DWORD access) {
  switch (creationDisposition) {
    case CREATE_NEW: return exists ? Disposition{false, false, ERROR_FILE_EXISTS} : Disposition{true, false, 0};
    case CREATE_ALWAYS: return Disposition{!exists, exists, 0};
    case OPEN_EXISTING: return exists ? Disposition{} : Disposition{false, false, ERROR_FILE_NOT_FOUND};
    case OPEN_ALWAYS: return Disposition{!exists, false, 0};
    case TRUNCATE_EXISTING:
      if (!(access & GENERIC_WRITE)) return Disposition{false, false, ERROR_INVALID_PARAMETER};
      return exists ? Disposition{false, true, 0} : Disposition{false, false, ERROR_FILE_NOT_FOUND};
    default: return Disposition{false, false, ERROR_INVALID_PARAMETER};
  }
}

// The open file behind a handle, with the access an operation needs. A handle that
// is not an open file (closed, or never one) is the program's misuse.
FsResult<OpenFile*> Opened(HANDLE handle, DWORD neededAccess, const char* operation) {
  OpenFile* file = Store().file(handle);
  if (!file) {
    reportProgramFault(operation, HandleText(handle), "not an open file handle");
    return FsError{ERROR_INVALID_HANDLE};
  }
  if ((file->access & neededAccess) != neededAccess) return FsError{ERROR_ACCESS_DENIED};
  return file;
}

}  // namespace

HANDLE CreateFileW(LPCWSTR fileName, DWORD desiredAccess, DWORD shareMode, LPSECURITY_ATTRIBUTES,
                   DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE) {
  if (InjectedFailure("CreateFileW")) return INVALID_HANDLE_VALUE;
  ObjectStore& store = Store();
  auto node = store.resolve(fileName);
  if (!node) return FailOpen(node.error().code);
  if (node->path.isRoot() || node->isDirectory) return FailOpen(ERROR_ACCESS_DENIED);
  if (node->path.trailingSeparator) return FailOpen(ERROR_INVALID_NAME);

  Disposition plan = Decide(creationDisposition, node->exists, desiredAccess);
  if (plan.error) return FailOpen(plan.error);
  bool write = desiredAccess & GENERIC_WRITE;
  if (node->exists) {
    if ((write || plan.truncate) && (store.settableAttributes(node->host, false) & FILE_ATTRIBUTE_READONLY))
      return FailOpen(ERROR_ACCESS_DENIED);
    for (const OpenFile* open : store.openFilesAt(node->host, false))
      if (SharingConflict(*open, desiredAccess | (plan.truncate ? GENERIC_WRITE : 0), shareMode))
        return FailOpen(ERROR_SHARING_VIOLATION);
  }

  FolderTimeKeeper keeper(node->host.parent_path());
  auto fd = OpenHostFile(node->host, true, write || plan.truncate, plan.create, plan.truncate);
  if (!fd) return FailOpen(fd.error().code == ERROR_ALREADY_EXISTS ? ERROR_ACCESS_DENIED : fd.error().code);

  std::uint64_t now = store.nowTicks();
  if (plan.create || plan.truncate) SetWriteTime(fd->get(), now);
  if (plan.create) {
    store.created(node->host);
    auto& meta = store.meta(node->host);
    meta.creationTicks = now;
    DWORD requested = flagsAndAttributes & kSettableAttributes;
    meta.attributes = requested ? requested : FILE_ATTRIBUTE_ARCHIVE;
  }

  auto file = std::make_shared<OpenFile>();
  file->fd = std::move(*fd);
  file->host = node->host;
  file->access = desiredAccess & (GENERIC_READ | GENERIC_WRITE);
  file->share = shareMode;
  bool reopened = node->exists && (creationDisposition == CREATE_ALWAYS || creationDisposition == OPEN_ALWAYS);
  HANDLE handle = store.addFile(std::move(file));
  SetLastError(reopened ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

BOOL ReadFile(HANDLE handle, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPVOID) {
  if (bytesRead) *bytesRead = 0;
  if (InjectedFailure("ReadFile")) return FALSE;
  auto file = Opened(handle, GENERIC_READ, "ReadFile");
  if (!file) return FailWith(file.error().code);
  if (!buffer && bytesToRead) return FailWith(ERROR_INVALID_PARAMETER);
  auto n = ReadAt((*file)->fd.get(), buffer, bytesToRead, (*file)->position);
  if (!n) return FailWith(n.error().code);
  (*file)->position += *n;
  if (bytesRead) *bytesRead = static_cast<DWORD>(*n);
  return TRUE;
}

BOOL WriteFile(HANDLE handle, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten, LPVOID) {
  if (bytesWritten) *bytesWritten = 0;
  if (InjectedFailure("WriteFile")) return FALSE;
  auto file = Opened(handle, GENERIC_WRITE, "WriteFile");
  if (!file) return FailWith(file.error().code);
  if (!buffer && bytesToWrite) return FailWith(ERROR_INVALID_PARAMETER);
  if (bytesToWrite == 0) return TRUE;
  OpenFile& f = **file;
  if (FsStatus status = WriteAt(f.fd.get(), buffer, bytesToWrite, f.position)) return FailWith(status);
  f.position += bytesToWrite;
  SetWriteTime(f.fd.get(), Store().nowTicks());
  if (bytesWritten) *bytesWritten = bytesToWrite;
  return TRUE;
}

DWORD GetFileSize(HANDLE handle, LPDWORD fileSizeHigh) {
  if (InjectedFailure("GetFileSize")) return INVALID_FILE_SIZE;
  auto file = Opened(handle, 0, "GetFileSize");
  auto stat = file ? StatOpenFile((*file)->fd.get()) : std::nullopt;
  if (!stat) {
    SetLastError(file ? static_cast<DWORD>(ERROR_ACCESS_DENIED) : file.error().code);
    return INVALID_FILE_SIZE;
  }
  if (fileSizeHigh) *fileSizeHigh = static_cast<DWORD>(stat->size >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(stat->size & 0xFFFFFFFFu);
}

DWORD SetFilePointer(HANDLE handle, LONG distanceToMove, LONG* distanceToMoveHigh, DWORD moveMethod) {
  if (InjectedFailure("SetFilePointer")) return INVALID_SET_FILE_POINTER;
  auto file = Opened(handle, 0, "SetFilePointer");
  if (!file) {
    SetLastError(file.error().code);
    return INVALID_SET_FILE_POINTER;
  }
  OpenFile& f = **file;
  // LONG is wider on the host than on the device: the distance is the device's
  // signed 32 bits, or 64 bits when the high half is given.
  std::int64_t distance =
      distanceToMoveHigh
          ? static_cast<std::int64_t>((static_cast<std::uint64_t>(static_cast<std::uint32_t>(*distanceToMoveHigh)) << 32) |
                                      static_cast<std::uint32_t>(distanceToMove))
          : static_cast<std::int64_t>(static_cast<std::int32_t>(distanceToMove));
  std::int64_t base = 0;
  switch (moveMethod) {
    case FILE_BEGIN: break;
    case FILE_CURRENT: base = static_cast<std::int64_t>(f.position); break;
    case FILE_END: {
      auto stat = StatOpenFile(f.fd.get());
      base = stat ? static_cast<std::int64_t>(stat->size) : 0;
      break;
    }
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return INVALID_SET_FILE_POINTER;
  }
  std::int64_t target = base + distance;
  if (target < 0 || (!distanceToMoveHigh && target > 0xFFFFFFFELL)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  f.position = static_cast<std::uint64_t>(target);
  if (distanceToMoveHigh) *distanceToMoveHigh = static_cast<LONG>(static_cast<std::int32_t>(f.position >> 32));
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(f.position & 0xFFFFFFFFu);
}

BOOL SetEndOfFile(HANDLE handle) {
  if (InjectedFailure("SetEndOfFile")) return FALSE;
  auto file = Opened(handle, GENERIC_WRITE, "SetEndOfFile");
  if (!file) return FailWith(file.error().code);
  if (FsStatus status = Truncate((*file)->fd.get(), (*file)->position)) return FailWith(status);
  SetWriteTime((*file)->fd.get(), Store().nowTicks());
  return TRUE;
}

BOOL GetFileTime(HANDLE handle, LPFILETIME creationTime, LPFILETIME lastAccessTime, LPFILETIME lastWriteTime) {
  if (InjectedFailure("GetFileTime")) return FALSE;
  auto file = Opened(handle, 0, "GetFileTime");
  if (!file) return FailWith(file.error().code);
  auto stat = StatOpenFile((*file)->fd.get());
  if (!stat) return FailWith(ERROR_ACCESS_DENIED);
  const ObjectStore::Meta* meta = Store().findMeta((*file)->host);
  if (creationTime)
    *creationTime = MakeFileTime(meta && meta->creationTicks ? *meta->creationTicks : stat->writeTicks);
  if (lastAccessTime)
    *lastAccessTime = MakeFileTime(meta && meta->accessTicks ? *meta->accessTicks : stat->writeTicks);
  if (lastWriteTime) *lastWriteTime = MakeFileTime(stat->writeTicks);
  return TRUE;
}

BOOL SetFileTime(HANDLE handle, const FILETIME* creationTime, const FILETIME* lastAccessTime,
                 const FILETIME* lastWriteTime) {
  if (InjectedFailure("SetFileTime")) return FALSE;
  auto file = Opened(handle, GENERIC_WRITE, "SetFileTime");
  if (!file) return FailWith(file.error().code);
  if (lastWriteTime)
    if (FsStatus status = SetWriteTime((*file)->fd.get(), Ticks(*lastWriteTime))) return FailWith(status);
  auto& meta = Store().meta((*file)->host);
  if (creationTime) meta.creationTicks = Ticks(*creationTime);
  if (lastAccessTime) meta.accessTicks = Ticks(*lastAccessTime);
  return TRUE;
}
