// Dialog templates: the classic layout and the extended one (signature 0xFFFF)
// that DIALOGEX scripts compile to, read into one record.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "text/result.h"
#include "user/resource_reader.h"

namespace sim {

struct DialogItemTemplate {
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  std::uint32_t helpId = 0;
  std::int16_t x = 0, y = 0, cx = 0, cy = 0;  // dialog units
  std::uint32_t id = 0;  // 16 bits in the classic layout; -1 is stored as 0xFFFF there
  // The class as stored: an ordinal (0x80 button .. 0x85 combo box) or a name.
  ResourceName classId;
  // The class name in upper case (class names compare ignoring case), with the
  // predefined ordinals turned into their names ("BUTTON").
  std::u16string className;
  // The title: a text, or an ordinal (an icon's resource id for SS_ICON statics).
  ResourceName title;
  std::vector<unsigned char> creationData;

  int controlId() const { return static_cast<std::int16_t>(id & 0xFFFF); }
};

struct DialogTemplate {
  bool extended = false;
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  std::uint32_t helpId = 0;
  std::int16_t x = 0, y = 0, cx = 0, cy = 0;  // dialog units
  ResourceName menu;       // empty: none
  ResourceName windowClass;  // empty: the dialog class
  std::u16string caption;
  // Present with DS_SETFONT.
  std::optional<std::uint16_t> pointSize;
  std::uint16_t fontWeight = 0;
  bool italic = false;
  std::uint8_t charset = 0;
  std::u16string typeface;
  std::vector<DialogItemTemplate> items;
};

inline constexpr std::uint32_t kDialogSetFont = 0x40;  // DS_SETFONT

// The class name of a predefined control ordinal, or empty for an unknown one.
std::u16string PredefinedControlClass(std::uint16_t ordinal);

Result<DialogTemplate> ParseDialogTemplate(std::span<const unsigned char> bytes);

}  // namespace sim
