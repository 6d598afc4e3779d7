#include "user/resource_strings.h"

#include "user/resource_reader.h"

namespace sim {

std::optional<std::u16string_view> FindTableString(const ResourceIndex& index, unsigned id) {
  if (id > 0xFFFF) return std::nullopt;
  auto block = ResourceName::number(static_cast<std::uint16_t>((id >> 4) + 1));
  const ResourceEntry* entry = index.find(ResourceName::number(6), block);
  if (!entry) return std::nullopt;
  ByteReader reader(entry->data);
  for (unsigned slot = 0; slot < 16; ++slot) {
    std::uint16_t length = reader.u16();
    auto chars = reader.take(std::size_t{length} * 2);
    if (!reader.ok()) return std::nullopt;
    if (slot == (id & 15)) {
      if (length == 0) return std::nullopt;
      // Resource data sits on 4-byte boundaries, so the characters are 2-aligned.
      return std::u16string_view(reinterpret_cast<const char16_t*>(chars.data()), length);
    }
  }
  return std::nullopt;
}

}  // namespace sim
