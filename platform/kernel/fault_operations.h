// The platform operations a test or scenario can make fail, each with the error the
// device reports when it fails that way on its own (out of memory, a full or
// refusing medium, a busy clipboard, a missing resource). Operations that fail only
// when a program misuses them (a stale handle) are not here: misuse is recorded as a
// program fault instead.
//
// This table is the one list of injectable names: the API functions take their
// failure from it, `Faults::arm` refuses any other name, and the scenario language
// checks `fail NAME` against it.
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace sim {

struct FaultOperation {
  std::string_view name;
  std::uint32_t naturalError;
};

inline constexpr std::array kFaultOperations = {
    // Kernel: processes, libraries, memory, resources.
    FaultOperation{"CreateProcessW", ERROR_OUTOFMEMORY},
    FaultOperation{"LoadLibraryW", ERROR_MOD_NOT_FOUND},
    FaultOperation{"GetProcAddressW", ERROR_PROC_NOT_FOUND},
    FaultOperation{"GetModuleFileNameW", ERROR_NOT_ENOUGH_MEMORY},
    FaultOperation{"LocalAlloc", ERROR_NOT_ENOUGH_MEMORY},
    FaultOperation{"LocalReAlloc", ERROR_NOT_ENOUGH_MEMORY},
    FaultOperation{"FindResourceW", ERROR_RESOURCE_NAME_NOT_FOUND},
    FaultOperation{"LoadResource", ERROR_NOT_ENOUGH_MEMORY},
    // Files.
    FaultOperation{"CreateFileW", ERROR_ACCESS_DENIED},
    FaultOperation{"ReadFile", ERROR_READ_FAULT},
    FaultOperation{"WriteFile", ERROR_DISK_FULL},
    FaultOperation{"SetFilePointer", ERROR_INVALID_PARAMETER},
    FaultOperation{"SetEndOfFile", ERROR_DISK_FULL},
    FaultOperation{"GetFileSize", ERROR_ACCESS_DENIED},
    FaultOperation{"GetFileTime", ERROR_INVALID_HANDLE},
    FaultOperation{"SetFileTime", ERROR_ACCESS_DENIED},
    FaultOperation{"GetFileAttributesW", ERROR_FILE_NOT_FOUND},
    FaultOperation{"SetFileAttributesW", ERROR_ACCESS_DENIED},
    FaultOperation{"CopyFileW", ERROR_DISK_FULL},
    FaultOperation{"MoveFileW", ERROR_ACCESS_DENIED},
    FaultOperation{"DeleteFileW", ERROR_ACCESS_DENIED},
    FaultOperation{"CreateDirectoryW", ERROR_ACCESS_DENIED},
    FaultOperation{"RemoveDirectoryW", ERROR_ACCESS_DENIED},
    FaultOperation{"FindFirstFileW", ERROR_FILE_NOT_FOUND},
    FaultOperation{"FindNextFileW", ERROR_NO_MORE_FILES},
    FaultOperation{"FindClose", ERROR_INVALID_HANDLE},
    FaultOperation{"FileTimeToLocalFileTime", ERROR_INVALID_PARAMETER},
    FaultOperation{"LocalFileTimeToFileTime", ERROR_INVALID_PARAMETER},
    FaultOperation{"FileTimeToSystemTime", ERROR_INVALID_PARAMETER},
    FaultOperation{"SystemTimeToFileTime", ERROR_INVALID_PARAMETER},
    // Clipboard.
    FaultOperation{"OpenClipboard", ERROR_ACCESS_DENIED},
    FaultOperation{"GetClipboardData", ERROR_NOT_ENOUGH_MEMORY},
    FaultOperation{"SetClipboardData", ERROR_NOT_ENOUGH_MEMORY},
    FaultOperation{"RegisterClipboardFormatW", ERROR_NOT_ENOUGH_MEMORY},
    // Windows, dialogs, menus, timers.
    FaultOperation{"RegisterClassW", ERROR_NOT_ENOUGH_MEMORY},
    FaultOperation{"CreateWindowExW", ERROR_NOT_ENOUGH_MEMORY},
    FaultOperation{"DialogBoxIndirectParamW", ERROR_NOT_ENOUGH_MEMORY},
    FaultOperation{"MessageBoxW", ERROR_NOT_ENOUGH_MEMORY},
    FaultOperation{"SetWindowTextW", ERROR_NOT_ENOUGH_MEMORY},
    FaultOperation{"SetDlgItemTextW", ERROR_NOT_ENOUGH_MEMORY},
    FaultOperation{"PostMessageW", ERROR_NOT_ENOUGH_MEMORY},
    FaultOperation{"SetTimer", ERROR_NOT_ENOUGH_MEMORY},
    FaultOperation{"CreatePopupMenu", ERROR_NOT_ENOUGH_MEMORY},
    FaultOperation{"AppendMenuW", ERROR_NOT_ENOUGH_MEMORY},
    FaultOperation{"InsertMenuW", ERROR_NOT_ENOUGH_MEMORY},
    FaultOperation{"TrackPopupMenuEx", ERROR_POPUP_ALREADY_ACTIVE},
    FaultOperation{"LoadImageW", ERROR_NOT_ENOUGH_MEMORY},
    // Common controls.
    FaultOperation{"ImageList_Create", ERROR_NOT_ENOUGH_MEMORY},
    FaultOperation{"ImageList_ReplaceIcon", ERROR_NOT_ENOUGH_MEMORY},
    FaultOperation{"CommandBar_AddBitmap", ERROR_NOT_ENOUGH_MEMORY},
    // The pocket shell.
    FaultOperation{"SHCreateMenuBar", ERROR_NOT_ENOUGH_MEMORY},
    FaultOperation{"SHInitDialog", ERROR_OUTOFMEMORY},
    FaultOperation{"SHCreateShortcut", ERROR_ACCESS_DENIED},
    FaultOperation{"SHGetShortcutTarget", ERROR_ACCESS_DENIED},
    FaultOperation{"SHGetFileInfo", ERROR_FILE_NOT_FOUND},
    // Drawing: contexts and bitmaps.
    FaultOperation{"CreateCompatibleDC", ERROR_NOT_ENOUGH_MEMORY},
    FaultOperation{"CreateBitmap", ERROR_NOT_ENOUGH_MEMORY},
    FaultOperation{"CreateCompatibleBitmap", ERROR_NOT_ENOUGH_MEMORY},
    FaultOperation{"CreateDIBSection", ERROR_NOT_ENOUGH_MEMORY},
};

// The position of `name` in the table; the table's size for a name that is not
// injectable.
constexpr std::size_t FaultOperationIndex(std::string_view name) {
  std::size_t index = 0;
  while (index < kFaultOperations.size() && kFaultOperations[index].name != name) ++index;
  return index;
}

// The table entry of `name`; null for a name that is not injectable.
constexpr const FaultOperation* FindFaultOperation(std::string_view name) {
  std::size_t index = FaultOperationIndex(name);
  return index < kFaultOperations.size() ? &kFaultOperations[index] : nullptr;
}

namespace detail {
// Not constexpr on purpose: reaching it while the compiler checks a FaultName makes
// the program ill-formed, so a misspelt operation is a compile error.
inline void NotAnInjectableOperation() {}
}  // namespace detail

// The name of an injectable operation, checked against the table when the platform
// is compiled.
class FaultName {
 public:
  consteval FaultName(const char* name) : index_(FaultOperationIndex(name)) {  // NOLINT: implicit on purpose
    if (index_ == kFaultOperations.size()) detail::NotAnInjectableOperation();
  }
  const FaultOperation& operation() const { return kFaultOperations[index_]; }
  std::string_view name() const { return operation().name; }

 private:
  std::size_t index_;
};

}  // namespace sim
