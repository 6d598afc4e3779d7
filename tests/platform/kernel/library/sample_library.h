// A small library image for the loader's tests: exports pinned by its .def, an
// attach entry, and globals that exist from its first attach to its last detach.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

#include "kernel/image.h"

int SampleAdd(int a, int b);
const WCHAR* SampleName();
// Processes the library is attached to right now; -1 while its globals do not exist.
int SampleAttachedProcesses();

// The library's image, installed by a test at `path`. Each call of its attach entry
// is appended to `log` as "attach <process id>" or "detach <process id> <reserved>".
sim::ProgramImage SampleLibraryImage(std::u16string path, std::vector<std::string>& log);
