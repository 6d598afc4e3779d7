// Copying an image's data section as raw bytes.
//
// Under AddressSanitizer the sections hold the redzones around each global, and an
// instrumented copy would report reading them; the bytes are copied without the
// checks (the shadow memory that marks the redzones is not part of the section and
// stays as it is).
#pragma once

#include <cstddef>

namespace sim {

void CopyImageBytes(std::byte* to, const std::byte* from, std::size_t size);

}  // namespace sim
