#include "text/code_page_932.h"

#include <array>

#include "text/iconv_handle.h"

namespace sim {

// Each table is indexed by a sequence (a single byte as itself, two bytes as lead
// byte times 256 plus trail byte) or by a character; zero stands for none, since
// only the byte 0 and the character U+0000 stand for each other.
struct CodePage932::Tables {
  std::array<char16_t, 0x10000> characterOf{};    // by sequence of 0x80 and above
  std::array<std::uint16_t, 0x10000> sequenceOf{};  // by character of U+0080 and above
};

namespace {

bool isTrailByte(unsigned char byte) {
  return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

// What the host reads a sequence as; zero when nothing, or a character outside the
// basic plane.
char16_t HostDecode(IconvHandle& fromAnsi, std::string_view sequence) {
  char output[8];
  if (fromAnsi.convert(sequence, output, sizeof output) != 2) return 0;
  return static_cast<char16_t>(static_cast<unsigned char>(output[0]) | (static_cast<unsigned char>(output[1]) << 8));
}

// The sequence the host writes a character as, in the tables' form; zero when none.
std::uint16_t HostEncode(IconvHandle& toAnsi, char16_t c) {
  const char input[2] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  char output[8];
  const long written = toAnsi.convert(std::string_view(input, 2), output, sizeof output);
  if (written == 1) return static_cast<unsigned char>(output[0]);
  if (written == 2) return static_cast<std::uint16_t>((static_cast<unsigned char>(output[0]) << 8) |
                                                      static_cast<unsigned char>(output[1]));
  return 0;
}

// A character is representable when the host writes it as a sequence that reads
// back as the character: every such pair is found by reading every sequence.
void Note(CodePage932::Tables& tables, IconvHandle& toAnsi, std::uint16_t sequence, std::string_view bytes,
          IconvHandle& fromAnsi) {
  const char16_t c = HostDecode(fromAnsi, bytes);
  if (c == 0) return;
  tables.characterOf[sequence] = c;
  if (c >= 0x80 && HostEncode(toAnsi, c) == sequence) tables.sequenceOf[c] = sequence;
}

const CodePage932::Tables& SharedTables() {
  static const CodePage932::Tables* const tables = [] {
    auto* built = new CodePage932::Tables;
    IconvHandle toAnsi("CP932", "UTF-16LE"), fromAnsi("UTF-16LE", "CP932");
    for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
      if (!CodePage932::isLeadByte(static_cast<unsigned char>(lead))) {
        const char single = static_cast<char>(lead);
        Note(*built, toAnsi, static_cast<std::uint16_t>(lead), std::string_view(&single, 1), fromAnsi);
        continue;
      }
      for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
        if (!isTrailByte(static_cast<unsigned char>(trail))) continue;
        const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        Note(*built, toAnsi, static_cast<std::uint16_t>((lead << 8) | trail), std::string_view(pair, 2), fromAnsi);
      }
    }
    return built;
  }();
  return *tables;
}

}  // namespace

CodePage932::CodePage932() : tables_(SharedTables()) {}

std::optional<std::string> CodePage932::encode(std::u16string_view text, size_t& pos) {
  const char16_t c = text[pos++];
  if (c < 0x80) return std::string(1, static_cast<char>(c));
  if (c >= 0xD800 && c <= 0xDFFF) {
    // Nothing outside the basic plane exists in the code page; skip a whole pair.
    if (c <= 0xDBFF && pos < text.size() && text[pos] >= 0xDC00 && text[pos] <= 0xDFFF) ++pos;
    return std::nullopt;
  }
  const std::uint16_t sequence = tables_.sequenceOf[c];
  if (sequence == 0) return std::nullopt;
  if (sequence < 0x100) return std::string(1, static_cast<char>(sequence));
  return std::string{static_cast<char>(sequence >> 8), static_cast<char>(sequence & 0xFF)};
}

std::optional<char16_t> CodePage932::decode(std::string_view bytes, size_t& pos) {
  const auto lead = static_cast<unsigned char>(bytes[pos]);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  std::uint16_t sequence = lead;
  if (isLeadByte(lead)) {
    if (pos + 1 >= bytes.size() || !isTrailByte(static_cast<unsigned char>(bytes[pos + 1]))) {
      ++pos;
      return std::nullopt;
    }
    sequence = static_cast<std::uint16_t>((lead << 8) | static_cast<unsigned char>(bytes[pos + 1]));
    ++pos;
  }
  ++pos;
  const char16_t c = tables_.characterOf[sequence];
  if (c == 0) return std::nullopt;
  return c;
}

}  // namespace sim
