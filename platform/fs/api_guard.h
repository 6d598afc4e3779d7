// What every file API function does first and on failure.
#pragma once

#include <string_view>

#include <windows.h>

#include "kernel/device.h"

namespace sim::fs {

// Sets the last error and gives FALSE, for `return FailWith(...)`.
inline BOOL FailWith(DWORD error) {
  SetLastError(error);
  return FALSE;
}

// True (with the last error set) when a test or scenario armed a failure of this
// operation.
inline bool InjectedFailure(FaultName operation) { return FailsByInjection(operation); }

}  // namespace sim::fs
