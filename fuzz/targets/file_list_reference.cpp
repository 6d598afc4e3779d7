#include "file_list_reference.h"

#include <algorithm>
#include <string_view>

namespace fuzz {
namespace {

// The header's two marks: U+00E0 alone at unit 6, and at unit 20 the class of the
// shell's desktop folder, each followed by a zero unit.
constexpr std::size_t kDesktopMarkUnit = 6;
constexpr std::size_t kDesktopClassUnit = 20;
constexpr std::u16string_view kDesktopClass = u"{00021400-0000-0000-C000-000000000046}";

std::vector<char16_t> Units(std::span<const std::uint8_t> block) {
  std::vector<char16_t> units(block.size() / 2);
  for (std::size_t k = 0; k < units.size(); ++k)
    units[k] = static_cast<char16_t>(block[2 * k] | (block[2 * k + 1] << 8));
  return units;
}

bool TextAt(const std::vector<char16_t>& units, std::size_t at, std::u16string_view text) {
  if (units.size() < at + text.size() + 1) return false;
  return std::equal(text.begin(), text.end(), units.begin() + static_cast<std::ptrdiff_t>(at)) &&
         units[at + text.size()] == 0;
}

bool StartsPath(const std::vector<char16_t>& units, std::size_t k) {
  return k >= 1 && (units[k] & 0xFF) == 0x5C && (units[k - 1] >> 8) == 0x01;
}

}  // namespace

FileListReading ReadFileList(std::span<const std::uint8_t> block) {
  std::vector<char16_t> units = Units(block);
  FileListReading reading;
  reading.desktop = TextAt(units, kDesktopMarkUnit, u"\u00E0") && TextAt(units, kDesktopClassUnit, kDesktopClass);

  // Every start mark, then for each the zero unit that closes it; a mark whose
  // path another mark interrupts, or that nothing closes, gives no path.
  std::vector<std::size_t> starts;
  for (std::size_t k = 0; k < units.size(); ++k)
    if (StartsPath(units, k)) starts.push_back(k);
  for (std::size_t s = 0; s < starts.size(); ++s) {
    auto zero = std::find(units.begin() + static_cast<std::ptrdiff_t>(starts[s]), units.end(), char16_t{0});
    if (zero == units.end()) break;
    std::size_t end = static_cast<std::size_t>(zero - units.begin());
    if (s + 1 < starts.size() && starts[s + 1] < end) continue;
    reading.paths.emplace_back(units.begin() + static_cast<std::ptrdiff_t>(starts[s]), zero);
    reading.ends.push_back(2 * (end + 1));
  }
  return reading;
}

}  // namespace fuzz
