// Modules: loading and freeing libraries, export lookup and module names at the
// device boundary (what loading does in the process is kernel/loader.h).
//
// A module handle names an image and is the same in every process; a process keeps
// its own list of loaded libraries with their reference counts.
#include <windows.h>

#include <algorithm>

#include "kernel/device.h"
#include "kernel/handles.h"
#include "kernel/image_registry.h"
#include "kernel/loader.h"
#include "kernel/process.h"

namespace {

sim::ImageRegistry& registry() { return sim::Device::current().service<sim::ImageRegistry>(); }

std::u16string_view fileNameOf(std::u16string_view path) {
  auto slash = path.find_last_of(u'\\');
  return slash == std::u16string_view::npos ? path : path.substr(slash + 1);
}

std::u16string withDefaultExtension(std::u16string_view name) {
  std::u16string result(name);
  if (fileNameOf(name).find(u'.') == std::u16string_view::npos) result += u".dll";
  return result;
}

sim::LoadedModule* loadedIn(sim::Process& process, HMODULE module) {
  for (auto& loaded : process.modules)
    if (loaded.handle == module) return &loaded;
  return nullptr;
}

FARPROC exportOf(const sim::ImageExport* found) {
  if (!found) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<FARPROC>(found->address);
}

std::shared_ptr<const sim::ProgramImage> imageOf(HMODULE module, const char* operation) {
  auto image = registry().byModule(module);
  if (!image) {
    sim::reportProgramFault(operation, sim::HandleText(module), "not a module handle");
    SetLastError(ERROR_INVALID_HANDLE);
  }
  return image;
}

}  // namespace

HMODULE LoadLibraryW(LPCWSTR fileName) {
  auto* process = sim::CurrentProcess();
  if (!fileName || !*fileName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (!process) {  // only a program's threads load libraries
    SetLastError(ERROR_NOT_SUPPORTED);
    return nullptr;
  }
  if (sim::FailsByInjection("LoadLibraryW")) return nullptr;
  auto image = sim::ResolveLibrary(process->imagePath, fileName);
  if (!image) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  if (image->kind != sim::ProgramImage::Kind::Library) {
    SetLastError(ERROR_BAD_EXE_FORMAT);
    return nullptr;
  }
  if (DWORD error = sim::LoadLibraryInto(*process, image)) {
    SetLastError(error);
    return nullptr;
  }
  return registry().moduleHandle(*image);
}

BOOL FreeLibrary(HMODULE module) {
  auto* process = sim::CurrentProcess();
  sim::LoadedModule* loaded = process ? loadedIn(*process, module) : nullptr;
  if (!loaded) {
    sim::reportProgramFault("FreeLibrary", sim::HandleText(module), "not a library this program has loaded");
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  sim::FreeLibraryFrom(*process, *loaded);
  return TRUE;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR procName) {
  auto image = imageOf(module, "GetProcAddress");
  if (!image) return nullptr;
  if (!procName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const sim::ImageExport* found = nullptr;
  if (IS_INTRESOURCE(procName)) {
    const auto ordinal = static_cast<WORD>(reinterpret_cast<std::uintptr_t>(procName));
    for (const auto& entry : image->exports)
      if (entry.ordinal == ordinal) found = &entry;
  } else {
    for (const auto& entry : image->exports)
      if (entry.name == procName) found = &entry;
  }
  return exportOf(found);
}

FARPROC GetProcAddressW(HMODULE module, LPCWSTR procName) {
  if (sim::FailsByInjection("GetProcAddressW")) return nullptr;
  if (!procName || IS_INTRESOURCE(procName))
    return GetProcAddress(module, reinterpret_cast<LPCSTR>(const_cast<LPWSTR>(procName)));
  // Export names are ASCII; any other character cannot match.
  std::string narrow;
  for (const WCHAR* c = procName; *c; ++c) narrow += *c < 0x80 ? static_cast<char>(*c) : '\x7f';
  return GetProcAddress(module, narrow.c_str());
}

DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size) {
  if (sim::FailsByInjection("GetModuleFileNameW")) return 0;
  std::u16string path;
  if (!module) {
    auto* process = sim::CurrentProcess();
    if (!process) {
      SetLastError(ERROR_INVALID_HANDLE);
      return 0;
    }
    path = process->imagePath;
  } else {
    auto image = imageOf(module, "GetModuleFileNameW");
    if (!image) return 0;
    path = image->path;
  }
  if (!fileName || size == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  if (path.size() < size) {
    std::copy(path.begin(), path.end(), fileName);
    fileName[path.size()] = 0;
    return static_cast<DWORD>(path.size());
  }
  // Truncated, but always terminated.
  std::copy_n(path.begin(), size - 1, fileName);
  fileName[size - 1] = 0;
  SetLastError(ERROR_INSUFFICIENT_BUFFER);
  return size;
}

HMODULE GetModuleHandleW(LPCWSTR moduleName) {
  auto* process = sim::CurrentProcess();
  if (!process) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  if (!moduleName) return registry().moduleHandle(*process->image);
  const std::u16string wanted = sim::foldCase(withDefaultExtension(moduleName));
  const bool byPath = wanted.find(u'\\') != std::u16string::npos;
  auto matches = [&](std::u16string_view path) {
    return sim::foldCase(byPath ? path : fileNameOf(path)) == wanted;
  };
  for (const auto& loaded : process->modules)
    if (matches(loaded.image->path)) return loaded.handle;
  if (matches(process->imagePath)) return registry().moduleHandle(*process->image);
  SetLastError(ERROR_MOD_NOT_FOUND);
  return nullptr;
}

namespace sim {

std::optional<std::span<const unsigned char>> ModuleResources(HMODULE module) {
  if (!Device::active()) return std::nullopt;
  if (!module) {
    auto* process = CurrentProcess();
    if (!process) return std::nullopt;
    return process->image->resources;
  }
  auto image = registry().byModule(module);
  if (!image) return std::nullopt;
  return image->resources;
}

}  // namespace sim
