#include "user/resource_version.h"

#include <algorithm>
#include <cstring>

#include "user/resource_image.h"
#include "user/resource_reader.h"

namespace sim {
namespace {

constexpr int kMaxDepth = 8;
constexpr std::size_t kFixedInfoSize = sizeof(VS_FIXEDFILEINFO);
static_assert(kFixedInfoSize == 52);

// One node of the version tree: length, value length, type, key, value, children;
// each part starts on a 4-byte boundary counted from the start of the block.
struct Node {
  std::u16string key;
  std::uint16_t type = 0;  // 1: the value is text
  std::span<const unsigned char> value;
  std::vector<Node> children;
};

bool ReadNode(ByteReader& reader, Node& node, int depth) {
  if (depth > kMaxDepth) return false;
  reader.align(4);
  std::size_t start = reader.offset();
  std::uint16_t length = reader.u16();
  std::uint16_t valueLength = reader.u16();
  node.type = reader.u16();
  if (!reader.ok() || length < 6 || length > reader.size() - start) return false;
  std::size_t end = start + length;
  node.key = reader.string();
  reader.align(4, /*tolerateEnd=*/true);
  // A text value's length counts characters, a binary one bytes.
  std::size_t valueBytes = node.type == 1 ? std::size_t{valueLength} * 2 : valueLength;
  if (!reader.ok() || reader.offset() > end) return false;
  valueBytes = std::min(valueBytes, end - reader.offset());
  node.value = reader.take(valueBytes);
  while (reader.ok()) {
    reader.align(4, /*tolerateEnd=*/true);
    if (reader.offset() >= end) break;
    Node child;
    if (!ReadNode(reader, child, depth + 1)) return false;
    node.children.push_back(std::move(child));
  }
  if (!reader.ok() || reader.offset() > end + 3) return false;
  reader.seek(std::min(end, reader.size()));
  return reader.ok();
}

std::u16string TextValue(std::span<const unsigned char> value) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < value.size(); i += 2) {
    char16_t c = static_cast<char16_t>(value[i] | (value[i + 1] << 8));
    if (c == 0) break;
    text.push_back(c);
  }
  return text;
}

}  // namespace

std::optional<std::u16string> VersionInfo::value(std::u16string_view key) const {
  for (const auto& table : tables)
    for (const auto& [name, text] : table.values)
      if (name == key) return text;
  return std::nullopt;
}

Result<VersionInfo> ParseVersionInfo(std::span<const unsigned char> bytes) {
  ByteReader reader(bytes);
  Node root;
  if (!ReadNode(reader, root, 0)) return Result<VersionInfo>::failure("version block truncated or malformed");
  if (root.key != u"VS_VERSION_INFO") return Result<VersionInfo>::failure("not a version block");
  VersionInfo info;
  if (root.value.size() >= kFixedInfoSize) {
    VS_FIXEDFILEINFO fixed;
    std::memcpy(&fixed, root.value.data(), kFixedInfoSize);
    if (fixed.dwSignature != VS_FFI_SIGNATURE) return Result<VersionInfo>::failure("bad fixed file info signature");
    info.fixed = fixed;
  }
  for (const auto& child : root.children) {
    if (child.key == u"StringFileInfo") {
      for (const auto& table : child.children) {
        VersionStringTable parsed{table.key, {}};
        for (const auto& entry : table.children) parsed.values.emplace_back(entry.key, TextValue(entry.value));
        info.tables.push_back(std::move(parsed));
      }
    } else if (child.key == u"VarFileInfo") {
      for (const auto& var : child.children) {
        if (var.key != u"Translation") continue;
        ByteReader values(var.value);
        while (values.remaining() >= 4) info.translations.push_back(values.u32());
      }
    }
  }
  return info;
}

Result<VersionInfo> VersionInfoOfImage(std::span<const unsigned char> image) {
  auto index = ParseResourceImage(image);
  if (!index) return index.error();
  const ResourceEntry* found = nullptr;
  for (const auto& entry : index->entries())
    if (entry.type.ordinal == 16 && (!found || entry.name.ordinal == 1)) found = &entry;
  if (!found) return Error{"the image has no version block"};
  return ParseVersionInfo(found->data);
}

}  // namespace sim
