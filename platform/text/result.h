// A value or the reason there is none. Host-facing code (text conversion, files,
// resources) returns this; the API boundary turns a failure into a device error code.
// The reason is a message by default; the file system's carries the device's error
// code itself (fs/fs_result.h).
#pragma once

#include <cassert>
#include <concepts>
#include <string>
#include <utility>
#include <variant>

namespace sim {

struct Error {
  std::string message;
};

template <class T, class E = Error>
class Result {
 public:
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  Result(E error) : state_(std::in_place_index<1>, std::move(error)) {}

  static Result failure(std::string message)
    requires std::same_as<E, Error>
  {
    return Result(Error{std::move(message)});
  }

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  T& value() & {
    assert(ok());
    return std::get<0>(state_);
  }
  const T& value() const& {
    assert(ok());
    return std::get<0>(state_);
  }
  T&& value() && {
    assert(ok());
    return std::get<0>(std::move(state_));
  }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }

  // The error of a failed result; an ok result has none.
  const E& error() const {
    assert(!ok());
    return std::get<1>(state_);
  }
  const std::string& message() const
    requires std::same_as<E, Error>
  {
    return error().message;
  }

 private:
  std::variant<T, E> state_;
};

}  // namespace sim
