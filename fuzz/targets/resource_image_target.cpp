// The resource fuzzer's target: a whole .res image through the platform's reader,
// then every record through the reader of its type. Whatever the bytes, nothing
// reads outside the image; and what reads must survive a round trip: the image, its
// dialog templates and its menus, written again in windres' layout and read again,
// come back the same.
#include <algorithm>
#include <vector>

#include "fuzz_targets.h"
#include "resource_writer.h"
#include "user/resource_icon.h"
#include "user/resource_menubar.h"
#include "user/resource_strings.h"
#include "user/resource_version.h"

namespace fuzz {
namespace {

using sim::ResourceEntry;
using sim::ResourceName;

// Resource types by their ordinals.
constexpr std::uint16_t kCursor = 1, kBitmap = 2, kIcon = 3, kMenu = 4, kDialog = 5, kString = 6, kRcData = 10,
                        kGroupCursor = 12, kGroupIcon = 14, kVersion = 16;

bool SameName(const ResourceName& a, const ResourceName& b) { return a.ordinal == b.ordinal && a.text == b.text; }

bool SameEntry(const ResourceEntry& a, const ResourceEntry& b) {
  return SameName(a.type, b.type) && SameName(a.name, b.name) && a.language == b.language &&
         a.memoryFlags == b.memoryFlags && std::equal(a.data.begin(), a.data.end(), b.data.begin(), b.data.end());
}

bool SameItem(const sim::DialogItemTemplate& a, const sim::DialogItemTemplate& b) {
  return a.style == b.style && a.exStyle == b.exStyle && a.helpId == b.helpId && a.x == b.x && a.y == b.y &&
         a.cx == b.cx && a.cy == b.cy && a.id == b.id && SameName(a.classId, b.classId) &&
         a.className == b.className && SameName(a.title, b.title) && a.creationData == b.creationData;
}

bool SameDialog(const sim::DialogTemplate& a, const sim::DialogTemplate& b) {
  return a.extended == b.extended && a.style == b.style && a.exStyle == b.exStyle && a.helpId == b.helpId &&
         a.x == b.x && a.y == b.y && a.cx == b.cx && a.cy == b.cy && SameName(a.menu, b.menu) &&
         SameName(a.windowClass, b.windowClass) && a.caption == b.caption && a.pointSize == b.pointSize &&
         a.fontWeight == b.fontWeight && a.italic == b.italic && a.charset == b.charset &&
         a.typeface == b.typeface &&
         std::equal(a.items.begin(), a.items.end(), b.items.begin(), b.items.end(), SameItem);
}

bool SameMenuItems(const std::vector<sim::MenuItemTemplate>& a, const std::vector<sim::MenuItemTemplate>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
    return x.flags == y.flags && x.state == y.state && x.id == y.id && x.helpId == y.helpId && x.text == y.text &&
           x.popup == y.popup && x.separator == y.separator && SameMenuItems(x.children, y.children);
  });
}

bool Inside(std::span<const std::uint8_t> part, std::span<const std::uint8_t> whole) {
  return part.empty() || (part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size());
}

Finding CheckDialog(std::span<const std::uint8_t> data) {
  auto dialog = sim::ParseDialogTemplate(data);
  if (!dialog) return std::nullopt;
  if (dialog->pointSize.has_value() != ((dialog->style & sim::kDialogSetFont) != 0))
    return "a dialog has a font size exactly when it asks for a font";
  auto again = sim::ParseDialogTemplate(WriteDialogTemplate(*dialog));
  if (!again || !SameDialog(*dialog, *again)) return "a dialog template does not read back as written";
  return std::nullopt;
}

Finding CheckMenu(std::span<const std::uint8_t> data) {
  auto menu = sim::ParseMenuTemplate(data);
  if (!menu) return std::nullopt;
  auto again = sim::ParseMenuTemplate(WriteMenuTemplate(*menu));
  if (!again || again->extended != menu->extended || !SameMenuItems(menu->items, again->items))
    return "a menu template does not read back as written";
  return std::nullopt;
}

Finding CheckIconGroup(std::span<const std::uint8_t> data) {
  auto group = sim::ParseIconGroup(data);
  if (!group) return std::nullopt;
  for (int side : {16, 32, 48, 256}) {
    const sim::IconGroupEntry* best = group->best(side, side);
    bool fromGroup = best && best >= group->entries.data() && best < group->entries.data() + group->entries.size();
    if (group->entries.empty() ? best != nullptr : !fromGroup) return "an icon group chose an icon it does not hold";
  }
  return std::nullopt;
}

Finding CheckVersion(std::span<const std::uint8_t> data) {
  auto version = sim::ParseVersionInfo(data);
  if (!version) return std::nullopt;
  for (const auto& table : version->tables)
    for (const auto& [key, value] : table.values)
      if (!version->value(key)) return "a version block does not find its own value";
  return std::nullopt;
}

// The strings of a string table block, found through the index as LoadString does.
Finding CheckStrings(const sim::ResourceIndex& index, const ResourceEntry& entry,
                     std::span<const std::uint8_t> image) {
  if (!entry.name.ordinal || *entry.name.ordinal == 0) return std::nullopt;
  for (unsigned slot = 0; slot < 16; ++slot) {
    auto text = sim::FindTableString(index, (unsigned{*entry.name.ordinal} - 1) * 16 + slot);
    auto bytes = text ? std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text->data()),
                                                      text->size() * 2)
                      : std::span<const std::uint8_t>();
    if (!Inside(bytes, image)) return "a table string lies outside the image";
  }
  return std::nullopt;
}

Finding CheckRecord(const sim::ResourceIndex& index, const ResourceEntry& entry, std::span<const std::uint8_t> image) {
  if (!Inside(entry.data, image)) return "a record's data lies outside the image";
  const ResourceEntry* found = index.find(entry.type, entry.name);
  if (!found || !index.contains(found) || !(found->type == entry.type) || !(found->name == entry.name))
    return "the index does not find a record it holds";
  if (!entry.type.ordinal) return std::nullopt;
  switch (*entry.type.ordinal) {
    case kDialog: return CheckDialog(entry.data);
    case kMenu: return CheckMenu(entry.data);
    case kGroupIcon: case kGroupCursor: return CheckIconGroup(entry.data);
    case kIcon: case kCursor: sim::ParseIconImage(entry.data); return std::nullopt;
    case kBitmap: sim::ParseBitmapHeader(entry.data); return std::nullopt;
    case kRcData: sim::ParseMenuBarTemplate(entry.data); return std::nullopt;
    case kVersion: return CheckVersion(entry.data);
    case kString: return CheckStrings(index, entry, image);
    default: return std::nullopt;
  }
}

}  // namespace

Finding RunResourceImage(std::span<const std::uint8_t> input) {
  // The platform keeps images on 16-byte boundaries, as the build embeds them.
  std::vector<std::uint64_t> aligned((input.size() + 7) / 8);
  std::span<std::uint8_t> image(reinterpret_cast<std::uint8_t*>(aligned.data()), input.size());
  std::copy(input.begin(), input.end(), image.begin());

  sim::VersionInfoOfImage(image);
  auto index = sim::ParseResourceImage(image);
  if (!index) return std::nullopt;
  const auto& entries = index->entries();
  for (std::size_t i = 0; i < entries.size(); ++i)
    for (std::size_t j = 0; j < i; ++j)
      if (entries[i].type == entries[j].type && entries[i].name == entries[j].name &&
          entries[i].language == entries[j].language)
        return "the image holds the same resource twice";
  for (const auto& entry : entries)
    if (auto finding = CheckRecord(*index, entry, image)) return finding;

  Bytes written = WriteResourceImage(entries);
  auto again = sim::ParseResourceImage(written);
  if (!again || !std::equal(entries.begin(), entries.end(), again->entries().begin(), again->entries().end(),
                            SameEntry))
    return "the image does not read back as written";
  return std::nullopt;
}

}  // namespace fuzz
