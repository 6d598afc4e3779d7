// The windres-compiled image of test_resources.rc and small helpers over it.
#pragma once

#include <cstddef>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "user/resource_image.h"

extern "C" const unsigned char test_resources[];
extern "C" const std::size_t test_resources_size;

namespace test_support {

inline std::span<const unsigned char> Image() { return {test_resources, test_resources_size}; }

inline const sim::ResourceIndex& Index() {
  static const sim::ResourceIndex index = [] {
    auto parsed = sim::ParseResourceImage(Image());
    if (!parsed) throw std::runtime_error(parsed.message());
    return std::move(*parsed);
  }();
  return index;
}

// The bytes of a resource in the preferred language; empty when it is missing.
inline std::span<const unsigned char> Bytes(std::uint16_t type, std::uint16_t id) {
  auto* entry = Index().find(sim::ResourceName::number(type), sim::ResourceName::number(id));
  return entry ? entry->data : std::span<const unsigned char>{};
}

// A heap copy of the first `length` bytes, sized exactly, so that reading past its
// end is caught by the address sanitizer.
inline std::vector<unsigned char> Prefix(std::span<const unsigned char> bytes, std::size_t length) {
  return std::vector<unsigned char>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
}

inline std::string Text(std::span<const unsigned char> bytes) { return std::string(bytes.begin(), bytes.end()); }

}  // namespace test_support
