// Program and library images: what the device can run.
//
// An image is registered under its device path (\Windows\fexplore.exe). A program's
// entry is its main function; a library has an attach entry and an export table
// whose ordinals come from its definition file. Each image carries its compiled
// resources. An image's start-up hook constructs its globals before the first of its
// processes runs and its clean-up hook destroys them after the last one ends.
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
  std::span<const unsigned char> resources;  // a .res image, possibly empty
  std::function<void()> startup;
  std::function<void()> cleanup;
};

// The resources of a loaded module; a null module means the calling process's own
// program image. Nothing when the handle names no module.
std::optional<std::span<const unsigned char>> ModuleResources(HMODULE module);

}  // namespace sim
