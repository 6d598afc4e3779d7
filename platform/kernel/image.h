// Program and library images: what the device can run.
//
// An image is registered under its device path (\Windows\fexplore.exe). A program's
// entry is its main function; a library has an attach entry and an export table
// whose ordinals come from its definition file. Each image carries its compiled
// resources and the bounds of its writable data: every process that runs or loads
// the image gets its own copy of those bytes, as fresh as when the image was
// installed (see kernel/process_data.h). An image's start-up hook constructs its
// globals in each such process before anything else of the image runs there, and
// its clean-up hook destroys them when that process frees the image or ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <windows.h>

namespace sim {

struct ImageExport {
  std::string name;
  WORD ordinal;
  void* address;
};

// One entry of a program's import table: when a process of the program starts, the
// loader stores the address of the export with `ordinal` of `library` in `slot`, a
// function pointer in the program's own data that the program calls through.
struct ImageImport {
  std::u16string library;  // a device path, or a bare name found as LoadLibraryW finds it
  WORD ordinal;
  void* slot;
};

struct ProgramImage {
  enum class Kind { Program, Library };

  std::u16string path;  // device path, e.g. u"\\Windows\\fexplore.exe"
  Kind kind = Kind::Program;
  // Program: main function (instance, previous instance, command line, show command).
  std::function<int(HINSTANCE, HINSTANCE, LPWSTR, int)> main;
  // Library: attach entry (instance, reason, reserved), called with DLL_PROCESS_ATTACH
  // when a process loads it and DLL_PROCESS_DETACH when it frees it or ends.
  std::function<BOOL(HINSTANCE, DWORD, LPVOID)> attach;
  std::vector<ImageExport> exports;
  std::vector<ImageImport> imports;          // programs only
  std::span<const unsigned char> resources;  // a .res image, possibly empty
  // The image's writable data as the host laid it out (cmake/ImageData.cmake); empty
  // ranges are allowed.
  std::vector<std::span<std::byte>> data;
  std::function<void()> startup;
  std::function<void()> cleanup;
};

// The resources of a loaded module; a null module means the calling process's own
// program image. Nothing when the handle names no module.
std::optional<std::span<const unsigned char>> ModuleResources(HMODULE module);

}  // namespace sim
