// The loader: what happens in a process when its program starts and ends, and when
// it loads or frees a library.
//
// Every image a process runs or loads gets its own copy of the image's data in that
// process (kernel/process_data.h); the image's start-up hook then constructs its
// globals there and, for a library, its attach entry runs, all with that process's
// data in place. A program's imports are resolved when its process is created (a
// missing library or ordinal fails the start) and bound on its main thread, before
// the program's own start-up hook, each imported library loaded for that process.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include <windows.h>

#include "kernel/image.h"

namespace sim {

struct LoadedModule;
struct Process;

// The library `name` names for a program installed at `programPath`: a path is
// taken as given, a bare name is looked for beside the program, then in \Windows;
// ".dll" is implied when the name has no extension.
std::shared_ptr<const ProgramImage> ResolveLibrary(std::u16string_view programPath, std::u16string_view name);

struct ResolvedImport {
  std::shared_ptr<const ProgramImage> library;
  void* address;
  void* slot;
};
// Resolves the imports of `program`: 0, or the error its start fails with.
DWORD ResolveImports(const ProgramImage& program, std::vector<ResolvedImport>& resolved);

// Loads `library` into `process` (one more reference when it is loaded already):
// 0, or ERROR_DLL_INIT_FAILED when its attach entry refuses.
DWORD LoadLibraryInto(Process& process, const std::shared_ptr<const ProgramImage>& library);
// Drops one reference to a library the process loaded; the last detaches it.
void FreeLibraryFrom(Process& process, LoadedModule& module);

// On the new process's main thread: loads the imported libraries, binds the slots
// and constructs the program's globals; 0 or the error that ends the process.
DWORD StartProgramImage(Process& process, const std::vector<ResolvedImport>& imports);
// At the process's end: detaches its libraries, newest first, then destroys the
// program's globals; every copy of data the process held goes.
void EndProcessImages(Process& process);

}  // namespace sim
