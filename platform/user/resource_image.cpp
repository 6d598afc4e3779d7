#include "user/resource_image.h"

#include <string>

namespace sim {
namespace {

constexpr std::size_t kFixedHeaderTail = 16;  // data version .. characteristics

std::string Where(std::size_t offset) { return " at offset " + std::to_string(offset); }

// Reads one record starting at the reader's offset; the reader ends after its padding.
Result<ResourceEntry> ReadRecord(ByteReader& reader, std::span<const unsigned char> image) {
  std::size_t start = reader.offset();
  std::uint32_t dataSize = reader.u32();
  std::uint32_t headerSize = reader.u32();
  if (!reader.ok()) return Result<ResourceEntry>::failure("truncated record header" + Where(start));
  if (headerSize < 8 + 4 + 4 + kFixedHeaderTail || headerSize % 4 != 0 ||
      headerSize > image.size() - start)
    return Result<ResourceEntry>::failure("bad header size" + Where(start));
  std::size_t dataStart = start + headerSize;
  if (dataSize > image.size() - dataStart)
    return Result<ResourceEntry>::failure("data runs past the end" + Where(start));

  // Type, name and the fixed fields must all lie inside the header.
  ByteReader header(image.subspan(0, dataStart));
  header.seek(reader.offset());
  ResourceEntry entry;
  entry.type = header.nameOrOrdinal();
  entry.name = header.nameOrOrdinal();
  header.align(4);
  header.u32();  // data version
  entry.memoryFlags = header.u16();
  entry.language = header.u16();
  header.u32();  // version
  header.u32();  // characteristics
  if (!header.ok()) return Result<ResourceEntry>::failure("header fields overrun" + Where(start));
  entry.data = image.subspan(dataStart, dataSize);

  reader.seek(dataStart + dataSize);
  reader.align(4, /*tolerateEnd=*/true);
  return entry;
}

bool IsEmptyRecord(const ResourceEntry& entry) {
  return entry.data.empty() && entry.type.ordinal == 0 && entry.name.ordinal == 0;
}

bool IsNeutral(std::uint16_t language) { return (language & 0x3FF) == 0; }

}  // namespace

Result<ResourceIndex> ParseResourceImage(std::span<const unsigned char> image) {
  ResourceIndex index;
  ByteReader reader(image);
  while (!reader.atEnd()) {
    auto record = ReadRecord(reader, image);
    if (!record) return record.error();
    if (IsEmptyRecord(*record)) continue;
    for (const auto& existing : index.entries_)
      if (existing.type == record->type && existing.name == record->name &&
          existing.language == record->language)
        return Result<ResourceIndex>::failure("duplicate resource" + Where(reader.offset()));
    index.entries_.push_back(std::move(*record));
  }
  return index;
}

const ResourceEntry* ResourceIndex::find(const ResourceName& type, const ResourceName& name,
                                         ResourceMiss* miss) const {
  return findInLanguage(type, name, 0, miss);
}

const ResourceEntry* ResourceIndex::findInLanguage(const ResourceName& type, const ResourceName& name,
                                                   std::uint16_t language, ResourceMiss* miss) const {
  bool typeSeen = false;
  std::vector<const ResourceEntry*> candidates;
  for (const auto& entry : entries_) {
    if (!(entry.type == type)) continue;
    typeSeen = true;
    if (entry.name == name) candidates.push_back(&entry);
  }
  auto missed = [&](ResourceMiss why) -> const ResourceEntry* {
    if (miss) *miss = why;
    return nullptr;
  };
  if (!typeSeen) return missed(ResourceMiss::Type);
  if (candidates.empty()) return missed(ResourceMiss::Name);

  auto first = [&](auto&& accept) -> const ResourceEntry* {
    for (const auto* entry : candidates)
      if (accept(entry->language)) return entry;
    return nullptr;
  };
  if (!IsNeutral(language)) {
    if (auto* exact = first([&](std::uint16_t l) { return l == language; })) return exact;
    return missed(ResourceMiss::Language);
  }
  if (auto* e = first([](std::uint16_t l) { return l == kLanguageJapanese; })) return e;
  if (auto* e = first([](std::uint16_t l) { return (l & 0x3FF) == (kLanguageJapanese & 0x3FF); })) return e;
  if (auto* e = first([](std::uint16_t l) { return IsNeutral(l); })) return e;
  return candidates.front();
}

bool ResourceIndex::contains(const ResourceEntry* entry) const {
  for (const auto& own : entries_)
    if (&own == entry) return true;
  return false;
}

}  // namespace sim
