// Error-or-value for host-facing file system code. The error is already the
// device's error code; the API functions only hand it to SetLastError.
#pragma once

#include <cstdint>

#include "text/result.h"

namespace sim {

struct FsError {
  std::uint32_t code;
};

template <class T>
using FsResult = Result<T, FsError>;

// Success or a device error code (0 = success).
using FsStatus = std::uint32_t;

}  // namespace sim
