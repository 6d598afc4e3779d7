// The compiled resources of a module: a .res image parsed into an index.
//
// The image is a sequence of records, each a header (data size, header size, type,
// name, data version, memory flags, language, version, characteristics) followed by
// the data, both kept on 4-byte boundaries. The first record is an empty one. The
// index refers to the image's bytes; the image must outlive it.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "text/result.h"
#include "user/resource_reader.h"

namespace sim {

inline constexpr std::uint16_t kLanguageJapanese = 0x0411;  // the device's language

struct ResourceEntry {
  ResourceName type;
  ResourceName name;
  std::uint16_t language = 0;
  std::uint16_t memoryFlags = 0;
  std::span<const unsigned char> data;
};

// Why a lookup found nothing; each maps to the device's error of the same name.
enum class ResourceMiss { Type, Name, Language };

class ResourceIndex {
 public:
  const std::vector<ResourceEntry>& entries() const { return entries_; }

  // The entry of that type and name in the device's preferred language: Japanese,
  // then another Japanese variant, then neutral, then the first in the image.
  const ResourceEntry* find(const ResourceName& type, const ResourceName& name,
                            ResourceMiss* miss = nullptr) const;
  // Exactly `language`; a neutral language asks for the preferred order above.
  const ResourceEntry* findInLanguage(const ResourceName& type, const ResourceName& name,
                                      std::uint16_t language, ResourceMiss* miss = nullptr) const;
  bool contains(const ResourceEntry* entry) const;

 private:
  friend Result<ResourceIndex> ParseResourceImage(std::span<const unsigned char> image);
  std::vector<ResourceEntry> entries_;
};

// Parses a whole .res image. A truncated or inconsistent image (a size running past
// the end, a header too short for its fields, a duplicate resource) is refused.
Result<ResourceIndex> ParseResourceImage(std::span<const unsigned char> image);

}  // namespace sim
