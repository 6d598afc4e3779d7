#include "user/resource_menubar.h"

#include "user/resource_reader.h"

namespace sim {

Result<MenuBarTemplate> ParseMenuBarTemplate(std::span<const unsigned char> bytes) {
  ByteReader reader(bytes);
  MenuBarTemplate bar;
  bar.menuId = reader.u16();
  std::uint16_t count = reader.u16();
  if (!reader.ok()) return Result<MenuBarTemplate>::failure("menu bar header truncated");
  constexpr std::size_t kButtonSize = 7 * 2;
  if (std::size_t{count} * kButtonSize > reader.remaining())
    return Result<MenuBarTemplate>::failure("menu bar declares " + std::to_string(count) +
                                            " buttons but holds fewer");
  for (std::uint16_t i = 0; i < count; ++i) {
    MenuBarButtonTemplate button;
    button.image = reader.i16();
    button.command = reader.u16();
    std::uint16_t state = reader.u16();
    std::uint16_t style = reader.u16();
    button.stringId = reader.u16();
    button.buttonMenuId = reader.u16();
    button.subMenu = reader.i16();
    if (state > 0xFF || style > 0xFF)
      return Result<MenuBarTemplate>::failure("menu bar button " + std::to_string(i) +
                                              " has a state or style beyond 8 bits");
    button.state = static_cast<std::uint8_t>(state);
    button.style = static_cast<std::uint8_t>(style);
    bar.buttons.push_back(button);
  }
  return bar;
}

}  // namespace sim
