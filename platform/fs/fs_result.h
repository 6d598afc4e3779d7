// Error-or-value for host-facing file system code. The error is already the
// device's error code; the API functions only hand it to SetLastError.
#pragma once

#include <cstdint>
#include <utility>
#include <variant>

namespace sim {

struct FsError {
  std::uint32_t code;
};

template <class T>
class FsResult {
 public:
  FsResult(T value) : state_(std::move(value)) {}
  FsResult(FsError error) : state_(error) {}

  bool ok() const { return std::holds_alternative<T>(state_); }
  explicit operator bool() const { return ok(); }
  T& value() { return std::get<T>(state_); }
  const T& value() const { return std::get<T>(state_); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  T& operator*() { return value(); }
  std::uint32_t error() const { return std::get<FsError>(state_).code; }

 private:
  std::variant<T, FsError> state_;
};

// Success or a device error code (0 = success).
using FsStatus = std::uint32_t;

}  // namespace sim
