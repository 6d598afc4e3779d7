// Owns one iconv conversion descriptor.
#pragma once

#include <iconv.h>

#include <string_view>

namespace sim {

class IconvHandle {
 public:
  IconvHandle(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~IconvHandle() {
    if (valid()) iconv_close(handle_);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;

  bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

  // Converts the whole input in one go into output (capacity bytes). Returns the
  // number of bytes written, or -1 when the input is invalid, incomplete or does not
  // fit. The shift state is reset first, so calls are independent.
  long convert(std::string_view input, char* output, size_t capacity) {
    if (!valid()) return -1;
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    char* out = output;
    size_t outLeft = capacity;
    if (iconv(handle_, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1) || inLeft != 0)
      return -1;
    if (iconv(handle_, nullptr, nullptr, &out, &outLeft) == static_cast<size_t>(-1)) return -1;
    return static_cast<long>(capacity - outLeft);
  }

 private:
  iconv_t handle_;
};

}  // namespace sim
