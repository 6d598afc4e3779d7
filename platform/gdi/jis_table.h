// Characters of the JIS X 0208 set by Unicode code point: how the screen's bitmap
// font, which is indexed by JIS row and cell, is found for a character.
#pragma once

#include <cstdint>
#include <optional>
#include <unordered_map>

namespace sim {

class JisTable {
 public:
  // Built from the host's conversion tables (EUC-JP and code page 932, which
  // disagree on a few characters such as the wave dash; both are kept).
  JisTable();

  // The JIS code (row << 8 | cell, each 0x21..0x7E) of a character.
  std::optional<std::uint16_t> find(char32_t character) const;
  std::size_t size() const { return codes_.size(); }

 private:
  std::unordered_map<char32_t, std::uint16_t> codes_;
};

}  // namespace sim
