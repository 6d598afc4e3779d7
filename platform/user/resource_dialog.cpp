#include "user/resource_dialog.h"

namespace sim {
namespace {

constexpr std::uint16_t kExtendedSignature = 0xFFFF;

void ReadRect(ByteReader& reader, std::int16_t& x, std::int16_t& y, std::int16_t& cx, std::int16_t& cy) {
  x = reader.i16();
  y = reader.i16();
  cx = reader.i16();
  cy = reader.i16();
}

void ReadHeader(ByteReader& reader, DialogTemplate& dialog, std::uint16_t& count) {
  if (dialog.extended) {
    reader.u16();  // version
    reader.u16();  // signature
    dialog.helpId = reader.u32();
    dialog.exStyle = reader.u32();
    dialog.style = reader.u32();
  } else {
    dialog.style = reader.u32();
    dialog.exStyle = reader.u32();
  }
  count = reader.u16();
  ReadRect(reader, dialog.x, dialog.y, dialog.cx, dialog.cy);
  dialog.menu = reader.nameOrOrdinal();
  dialog.windowClass = reader.nameOrOrdinal();
  dialog.caption = reader.string();
  if (dialog.style & kDialogSetFont) {
    dialog.pointSize = reader.u16();
    if (dialog.extended) {
      dialog.fontWeight = reader.u16();
      dialog.italic = reader.u8() != 0;
      dialog.charset = reader.u8();
    }
    dialog.typeface = reader.string();
  }
}

DialogItemTemplate ReadItem(ByteReader& reader, bool extended) {
  DialogItemTemplate item;
  reader.align(4);
  if (extended) {
    item.helpId = reader.u32();
    item.exStyle = reader.u32();
    item.style = reader.u32();
  } else {
    item.style = reader.u32();
    item.exStyle = reader.u32();
  }
  ReadRect(reader, item.x, item.y, item.cx, item.cy);
  item.id = extended ? reader.u32() : reader.u16();
  item.classId = reader.nameOrOrdinal();
  item.className = item.classId.isOrdinal() ? PredefinedControlClass(*item.classId.ordinal)
                                            : FoldResourceCase(item.classId.text);
  item.title = reader.nameOrOrdinal();
  std::uint16_t extra = reader.u16();
  auto data = reader.take(extra);
  item.creationData.assign(data.begin(), data.end());
  return item;
}

}  // namespace

std::u16string PredefinedControlClass(std::uint16_t ordinal) {
  switch (ordinal) {
    case 0x80: return u"BUTTON";
    case 0x81: return u"EDIT";
    case 0x82: return u"STATIC";
    case 0x83: return u"LISTBOX";
    case 0x84: return u"SCROLLBAR";
    case 0x85: return u"COMBOBOX";
    default: return {};
  }
}

Result<DialogTemplate> ParseDialogTemplate(std::span<const unsigned char> bytes) {
  ByteReader reader(bytes);
  DialogTemplate dialog;
  {
    ByteReader probe(bytes);
    std::uint16_t version = probe.u16();
    dialog.extended = probe.u16() == kExtendedSignature && version == 1;
  }
  std::uint16_t count = 0;
  ReadHeader(reader, dialog, count);
  if (!reader.ok()) return Result<DialogTemplate>::failure("dialog template header truncated");
  for (std::uint16_t i = 0; i < count; ++i) {
    auto item = ReadItem(reader, dialog.extended);
    if (!reader.ok())
      return Result<DialogTemplate>::failure("dialog item " + std::to_string(i) + " truncated");
    if (item.classId.isOrdinal() && item.className.empty())
      return Result<DialogTemplate>::failure("dialog item " + std::to_string(i) + " has an unknown class ordinal");
    dialog.items.push_back(std::move(item));
  }
  return dialog;
}

}  // namespace sim
