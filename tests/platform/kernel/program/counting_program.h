// A program image for the kernel's tests whose globals live in its own data
// sections, as the suite's do: each process of it counts its steps in a global and
// keeps a text on the heap through another, constructed by its start-up hook.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

#include "kernel/image.h"

// The program installed at `path`. Its entry takes one step, puts CountingWndProc on
// `*subclass` when that is set, waits for `*gate` when that is set, takes a second
// step and returns how many steps its globals counted, plus 1000 when its text is
// not the one it wrote or its globals were constructed in another process. Its
// start-up and clean-up hooks append to `log` ("construct <process id>",
// "destroy <process id> after <steps>").
sim::ProgramImage CountingProgramImage(std::u16string path, const HANDLE* gate, std::vector<std::string>& log,
                                       const HWND* subclass = nullptr);

// The program's window procedure: answers WM_APP with the id of the process whose
// start-up hook constructed the globals it sees; anything else goes to
// DefWindowProcW.
LRESULT CALLBACK CountingWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
