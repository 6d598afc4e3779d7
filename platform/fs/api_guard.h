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
// operation; an armed error of 0 means the operation's natural error.
inline bool InjectedFailure(std::string_view operation, DWORD naturalError) {
  return FailsByInjection(operation, naturalError);
}

}  // namespace sim::fs
