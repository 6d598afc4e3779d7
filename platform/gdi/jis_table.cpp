#include "gdi/jis_table.h"

#include <string>

#include "text/iconv_handle.h"

namespace sim {
namespace {

// Shift JIS bytes of a JIS row and cell.
std::string ShiftJis(int row, int cell) {
  int lead = ((row + 1) >> 1) + (row <= 0x5E ? 0x70 : 0xB0);
  int trail = (row & 1) ? cell + (cell >= 0x60 ? 0x20 : 0x1F) : cell + 0x7E;
  return std::string{static_cast<char>(lead), static_cast<char>(trail)};
}

std::string EucJp(int row, int cell) { return std::string{static_cast<char>(row | 0x80), static_cast<char>(cell | 0x80)}; }

// The one character `bytes` decode to, or 0.
char32_t DecodeOne(IconvHandle& decoder, const std::string& bytes) {
  unsigned char out[8];
  long written = decoder.convert(bytes, reinterpret_cast<char*>(out), sizeof out);
  if (written != 4) return 0;
  return static_cast<char32_t>(out[0] | (out[1] << 8) | (out[2] << 16) | (out[3] << 24));
}

}  // namespace

JisTable::JisTable() {
  IconvHandle fromEuc("UTF-32LE", "EUC-JP");
  IconvHandle fromCp932("UTF-32LE", "CP932");
  for (int row = 0x21; row <= 0x7E; ++row) {
    for (int cell = 0x21; cell <= 0x7E; ++cell) {
      auto code = static_cast<std::uint16_t>((row << 8) | cell);
      for (char32_t c : {DecodeOne(fromEuc, EucJp(row, cell)), DecodeOne(fromCp932, ShiftJis(row, cell))})
        if (c) codes_.emplace(c, code);
    }
  }
}

std::optional<std::uint16_t> JisTable::find(char32_t character) const {
  auto it = codes_.find(character);
  if (it == codes_.end()) return std::nullopt;
  return it->second;
}

}  // namespace sim
