// Kernel services: errors, time, processes and threads, waits, modules, local memory.
// Owned by the kernel part of the platform; declarations are added as they are built.
#pragma once
#include "types.h"

DWORD GetLastError();
void SetLastError(DWORD error);
