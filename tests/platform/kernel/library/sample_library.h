// A small library image for the loader's tests: exports pinned by its .def, an
// attach entry, and globals (its own copy in each process that loads it) made by its
// start-up hook and destroyed by its clean-up hook.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

#include "kernel/image.h"

int SampleAdd(int a, int b);
const WCHAR* SampleName();
// Attaches the calling process's copy of the library has seen; -1 while its globals
// do not exist.
int SampleAttachedProcesses();
// Counts its calls in a library global.
int SampleCount();

// The library's image, installed by a test at `path`. Each call of its attach entry
// is appended to `log` as "attach <process id>" or "detach <process id> <reserved>".
sim::ProgramImage SampleLibraryImage(std::u16string path, std::vector<std::string>& log);
