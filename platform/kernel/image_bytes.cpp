#include "kernel/image_bytes.h"

#include "kernel/address_sanitizer.h"

#include <cstdint>
#include <cstring>

namespace sim {

#ifdef HANDHELD_ASAN
// Plain loops (the checked memcpy would see the redzones), through volatile so that
// the compiler does not turn them back into a memcpy call; whole words while both
// sides are aligned for them.
__attribute__((no_sanitize("address"))) void CopyImageBytes(std::byte* to, const std::byte* from,
                                                             std::size_t size) {
  std::size_t done = 0;
  const bool wordAligned = reinterpret_cast<std::uintptr_t>(to) % alignof(std::uint64_t) == 0 &&
                           reinterpret_cast<std::uintptr_t>(from) % alignof(std::uint64_t) == 0;
  if (wordAligned) {
    auto* out = reinterpret_cast<volatile std::uint64_t*>(to);
    auto* in = reinterpret_cast<const volatile std::uint64_t*>(from);
    for (; done + sizeof(std::uint64_t) <= size; done += sizeof(std::uint64_t)) *out++ = *in++;
  }
  auto* out = reinterpret_cast<volatile unsigned char*>(to);
  auto* in = reinterpret_cast<const volatile unsigned char*>(from);
  for (; done < size; ++done) out[done] = in[done];
}
#else
void CopyImageBytes(std::byte* to, const std::byte* from, std::size_t size) { std::memcpy(to, from, size); }
#endif

}  // namespace sim
