#include <windows.h>

#include "kernel/scheduler.h"

// The last error belongs to the calling simulated thread. The driver thread (a test
// acting as the user) keeps its own.
namespace {
thread_local DWORD driverLastError = 0;
}

DWORD GetLastError() {
  if (auto* thread = sim::Scheduler::current()) return thread->lastError;
  return driverLastError;
}

void SetLastError(DWORD error) {
  if (auto* thread = sim::Scheduler::current())
    thread->lastError = error;
  else
    driverLastError = error;
}
