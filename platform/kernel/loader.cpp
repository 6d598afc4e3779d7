#include "kernel/loader.h"

#include <algorithm>
#include <cstring>

#include "kernel/device.h"
#include "kernel/image_registry.h"
#include "kernel/process.h"
#include "kernel/process_data.h"

namespace sim {

namespace {

ImageRegistry& registry() { return Device::current().service<ImageRegistry>(); }

// Runs one step of a process's end; a step interrupted by the device's shutdown
// must not keep the later steps (and the frees they do) from running.
template <class Step>
void endStep(Step&& step) {
  try {
    step();
  } catch (const ThreadUnwind&) {
  }
}

std::u16string_view fileNameOf(std::u16string_view path) {
  auto slash = path.find_last_of(u'\\');
  return slash == std::u16string_view::npos ? path : path.substr(slash + 1);
}

std::u16string_view folderOf(std::u16string_view path) {
  auto slash = path.find_last_of(u'\\');
  return slash == std::u16string_view::npos ? std::u16string_view{} : path.substr(0, slash + 1);
}

void* exportAt(const ProgramImage& library, WORD ordinal) {
  for (const auto& entry : library.exports)
    if (entry.ordinal == ordinal) return entry.address;
  return nullptr;
}

LoadedModule* loadedIn(Process& process, HMODULE handle) {
  for (auto& loaded : process.modules)
    if (loaded.handle == handle) return &loaded;
  return nullptr;
}

// Detaches a library from a process: its attach entry (a non-null reserved
// argument tells it the process is ending), its clean-up hook, its data.
void detach(Process& process, const LoadedModule& module, bool ending) {
  DataContext context(&process);
  const ProgramImage& image = *module.image;
  if (image.attach)
    endStep([&] { image.attach(module.handle, DLL_PROCESS_DETACH, reinterpret_cast<LPVOID>(ending ? 1 : 0)); });
  if (image.cleanup) endStep([&] { image.cleanup(); });
  RemoveProcessData(process, image);
}

}  // namespace

std::shared_ptr<const ProgramImage> ResolveLibrary(std::u16string_view programPath, std::u16string_view name) {
  std::u16string file(name);
  if (fileNameOf(name).find(u'.') == std::u16string_view::npos) file += u".dll";
  std::vector<std::u16string> candidates;
  if (file.find(u'\\') != std::u16string::npos) {
    candidates.push_back(file);
  } else {
    candidates.push_back(std::u16string(folderOf(programPath)) + file);
    candidates.push_back(u"\\Windows\\" + file);
  }
  for (const auto& candidate : candidates)
    if (auto image = registry().find(candidate)) return image;
  return nullptr;
}

DWORD ResolveImports(const ProgramImage& program, std::vector<ResolvedImport>& resolved) {
  for (const auto& import : program.imports) {
    auto library = ResolveLibrary(program.path, import.library);
    // The device's loader reports an unresolved import as a bad program file,
    // whether the library or only the ordinal is missing.
    if (!library || library->kind != ProgramImage::Kind::Library) return ERROR_BAD_EXE_FORMAT;
    void* address = exportAt(*library, import.ordinal);
    if (!address) return ERROR_BAD_EXE_FORMAT;
    resolved.push_back(ResolvedImport{library, address, import.slot});
  }
  return 0;
}

DWORD LoadLibraryInto(Process& process, const std::shared_ptr<const ProgramImage>& library) {
  const HMODULE handle = registry().moduleHandle(*library);
  if (auto* loaded = loadedIn(process, handle)) {
    ++loaded->references;
    return 0;
  }
  DataContext context(&process);
  // Listed before anything of the library runs, so that a process ending meanwhile
  // still detaches it.
  process.modules.push_back(LoadedModule{library, handle, 1});
  AddProcessData(process, *library);
  if (library->startup) library->startup();
  if (library->attach && !library->attach(handle, DLL_PROCESS_ATTACH, nullptr)) {
    std::erase_if(process.modules, [&](const LoadedModule& m) { return m.handle == handle; });
    detach(process, LoadedModule{library, handle, 0}, false);
    return ERROR_DLL_INIT_FAILED;
  }
  return 0;
}

void FreeLibraryFrom(Process& process, LoadedModule& module) {
  if (--module.references > 0) return;
  const LoadedModule freed = module;
  std::erase_if(process.modules, [&](const LoadedModule& m) { return m.handle == freed.handle; });
  detach(process, freed, false);
}

DWORD StartProgramImage(Process& process, const std::vector<ResolvedImport>& imports) {
  DataContext context(&process);
  for (const auto& import : imports) {
    if (DWORD error = LoadLibraryInto(process, import.library)) return error;
    std::memcpy(import.slot, &import.address, sizeof import.address);
  }
  process.programConstructed = true;  // before the start-up hook, which may be unwound
  if (process.image->startup) process.image->startup();
  return 0;
}

void EndProcessImages(Process& process) {
  while (!process.modules.empty()) {
    LoadedModule module = process.modules.back();
    process.modules.pop_back();
    detach(process, module, true);
  }
  DataContext context(&process);
  if (process.programConstructed && process.image->cleanup) endStep([&] { process.image->cleanup(); });
  process.programConstructed = false;
  RemoveProcessData(process, *process.image);
}

}  // namespace sim
