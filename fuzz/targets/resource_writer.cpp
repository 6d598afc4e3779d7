#include "resource_writer.h"

namespace fuzz {
namespace {

constexpr std::uint32_t kSetFont = 0x40;
constexpr std::size_t kSmallestHeader = 24;  // after the two sizes
constexpr std::uint16_t kMenuPopup = 0x10;
constexpr std::uint16_t kMenuEnd = 0x80;
constexpr std::uint16_t kExtendedPopup = 0x01;

class Writer {
 public:
  Bytes& bytes() { return bytes_; }
  void u8(std::uint8_t value) { bytes_.push_back(value); }
  void u16(std::uint16_t value) {
    u8(static_cast<std::uint8_t>(value & 0xFF));
    u8(static_cast<std::uint8_t>(value >> 8));
  }
  void u32(std::uint32_t value) {
    u16(static_cast<std::uint16_t>(value & 0xFFFF));
    u16(static_cast<std::uint16_t>(value >> 16));
  }
  void text(const std::u16string& value) {
    for (char16_t c : value) u16(c);
    u16(0);
  }
  void name(const sim::ResourceName& value) {
    if (value.ordinal) {
      u16(0xFFFF);
      u16(*value.ordinal);
    } else {
      text(value.text);
    }
  }
  void align(std::size_t alignment) {
    while (bytes_.size() % alignment != 0) u8(0);
  }
  void append(std::span<const std::uint8_t> more) { bytes_.insert(bytes_.end(), more.begin(), more.end()); }

 private:
  Bytes bytes_;
};

void Record(Writer& out, const sim::ResourceEntry& entry) {
  Writer header;
  header.name(entry.type);
  header.name(entry.name);
  header.align(4);
  header.u32(0);  // data version
  header.u16(entry.memoryFlags);
  header.u16(entry.language);
  header.u32(0);  // version
  header.u32(0);  // characteristics
  // Readers take a header for at least two ordinals; two empty names make it shorter.
  while (header.bytes().size() < kSmallestHeader) header.u8(0);
  out.u32(static_cast<std::uint32_t>(entry.data.size()));
  out.u32(static_cast<std::uint32_t>(header.bytes().size() + 8));
  out.append(header.bytes());
  out.append(entry.data);
  out.align(4);
}

void DialogItem(Writer& out, const sim::DialogItemTemplate& item, bool extended) {
  out.align(4);
  if (extended) {
    out.u32(item.helpId);
    out.u32(item.exStyle);
    out.u32(item.style);
  } else {
    out.u32(item.style);
    out.u32(item.exStyle);
  }
  for (std::int16_t value : {item.x, item.y, item.cx, item.cy}) out.u16(static_cast<std::uint16_t>(value));
  if (extended)
    out.u32(item.id);
  else
    out.u16(static_cast<std::uint16_t>(item.id));
  out.name(item.classId);
  out.name(item.title);
  out.u16(static_cast<std::uint16_t>(item.creationData.size()));
  out.append(item.creationData);
}

void MenuLevel(Writer& out, const std::vector<sim::MenuItemTemplate>& items, bool extended) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    const sim::MenuItemTemplate& item = items[i];
    const std::uint16_t end = i + 1 == items.size() ? kMenuEnd : 0;
    if (extended) {
      out.u32(item.flags);
      out.u32(item.state);
      out.u32(item.id);
      out.u16(static_cast<std::uint16_t>((item.popup ? kExtendedPopup : 0) | end));
      out.text(item.text);
      out.align(4);
      if (item.popup) out.u32(item.helpId);
    } else {
      out.u16(static_cast<std::uint16_t>(item.flags | (item.popup ? kMenuPopup : 0) | end));
      if (!item.popup) out.u16(static_cast<std::uint16_t>(item.id));
      out.text(item.text);
    }
    if (item.popup) MenuLevel(out, item.children, extended);
  }
}

}  // namespace

Bytes WriteResourceImage(const std::vector<sim::ResourceEntry>& entries) {
  Writer out;
  sim::ResourceEntry empty;
  empty.type = sim::ResourceName::number(0);
  empty.name = sim::ResourceName::number(0);
  Record(out, empty);
  for (const auto& entry : entries) Record(out, entry);
  return std::move(out.bytes());
}

Bytes WriteDialogTemplate(const sim::DialogTemplate& dialog) {
  Writer out;
  if (dialog.extended) {
    out.u16(1);
    out.u16(0xFFFF);
    out.u32(dialog.helpId);
    out.u32(dialog.exStyle);
    out.u32(dialog.style);
  } else {
    out.u32(dialog.style);
    out.u32(dialog.exStyle);
  }
  out.u16(static_cast<std::uint16_t>(dialog.items.size()));
  for (std::int16_t value : {dialog.x, dialog.y, dialog.cx, dialog.cy}) out.u16(static_cast<std::uint16_t>(value));
  out.name(dialog.menu);
  out.name(dialog.windowClass);
  out.text(dialog.caption);
  if (dialog.style & kSetFont) {
    out.u16(dialog.pointSize.value_or(0));
    if (dialog.extended) {
      out.u16(dialog.fontWeight);
      out.u8(dialog.italic ? 1 : 0);
      out.u8(dialog.charset);
    }
    out.text(dialog.typeface);
  }
  for (const auto& item : dialog.items) DialogItem(out, item, dialog.extended);
  return std::move(out.bytes());
}

Bytes WriteMenuTemplate(const sim::MenuTemplate& menu) {
  Writer out;
  if (menu.extended) {
    out.u16(1);
    out.u16(4);
    out.u32(0);  // help id
  } else {
    out.u16(0);
    out.u16(0);
  }
  MenuLevel(out, menu.items, menu.extended);
  return std::move(out.bytes());
}

}  // namespace fuzz
