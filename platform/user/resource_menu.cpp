#include "user/resource_menu.h"

#include "user/resource_reader.h"

namespace sim {
namespace {

constexpr std::uint32_t kGrayed = 0x01;
constexpr std::uint32_t kChecked = 0x08;
constexpr std::uint32_t kPopup = 0x10;      // classic item flag
constexpr std::uint32_t kEnd = 0x80;        // last item of a level (both layouts)
constexpr std::uint32_t kSeparator = 0x800; // MF_SEPARATOR / MFT_SEPARATOR
constexpr std::uint16_t kExPopup = 0x01;    // extended layout's popup marker
// Deep enough for any real menu; bounds the recursion on hostile data.
constexpr int kMaxDepth = 16;

// Reads one level of items until the item marked as the last one.
bool ReadClassicLevel(ByteReader& reader, std::vector<MenuItemTemplate>& items, int depth) {
  if (depth > kMaxDepth) return false;
  for (;;) {
    MenuItemTemplate item;
    std::uint16_t flags = reader.u16();
    item.popup = flags & kPopup;
    if (!item.popup) item.id = reader.u16();
    item.text = reader.string();
    if (!reader.ok()) return false;
    item.flags = flags & ~(kPopup | kEnd);
    item.separator = (item.flags & kSeparator) || (!item.popup && item.id == 0 && item.text.empty());
    if (item.popup && !ReadClassicLevel(reader, item.children, depth + 1)) return false;
    items.push_back(std::move(item));
    if (flags & kEnd) return true;
  }
}

bool ReadExtendedLevel(ByteReader& reader, std::vector<MenuItemTemplate>& items, int depth) {
  if (depth > kMaxDepth) return false;
  for (;;) {
    MenuItemTemplate item;
    item.flags = reader.u32();
    item.state = reader.u32();
    item.id = reader.u32();
    std::uint16_t info = reader.u16();
    item.text = reader.string();
    reader.align(4, /*tolerateEnd=*/true);  // the last item's padding may be cut off
    if (!reader.ok()) return false;
    item.popup = info & kExPopup;
    item.separator = item.flags & kSeparator;
    if (item.popup) {
      item.helpId = reader.u32();
      if (!ReadExtendedLevel(reader, item.children, depth + 1)) return false;
    }
    items.push_back(std::move(item));
    if (info & kEnd) return true;
  }
}

}  // namespace

bool MenuItemTemplate::grayed() const { return (flags | state) & (kGrayed | 0x02); }
bool MenuItemTemplate::checked() const { return (flags | state) & kChecked; }

Result<MenuTemplate> ParseMenuTemplate(std::span<const unsigned char> bytes) {
  ByteReader reader(bytes);
  MenuTemplate menu;
  std::uint16_t version = reader.u16();
  std::uint16_t headerSize = reader.u16();
  if (!reader.ok()) return Result<MenuTemplate>::failure("menu header truncated");
  bool ok = false;
  if (version == 0) {
    reader.skip(headerSize);
    ok = reader.ok() && ReadClassicLevel(reader, menu.items, 0);
  } else if (version == 1) {
    menu.extended = true;
    if (headerSize < 4) return Result<MenuTemplate>::failure("extended menu header too short");
    reader.skip(headerSize);  // counted from the end of the offset field: the help id
    ok = reader.ok() && ReadExtendedLevel(reader, menu.items, 0);
  } else {
    return Result<MenuTemplate>::failure("unknown menu layout " + std::to_string(version));
  }
  if (!ok) return Result<MenuTemplate>::failure("menu items truncated or nested too deep");
  return menu;
}

}  // namespace sim
