#include "text/code_page_932.h"

namespace sim {
namespace {

bool isTrailByte(unsigned char byte) {
  return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

}  // namespace

CodePage932::CodePage932() : toAnsi_("CP932", "UTF-16LE"), fromAnsi_("UTF-16LE", "CP932") {}

std::optional<std::string> CodePage932::encode(std::u16string_view text, size_t& pos) {
  const char16_t c = text[pos++];
  if (c < 0x80) return std::string(1, static_cast<char>(c));
  if (c >= 0xD800 && c <= 0xDFFF) {
    // Nothing outside the basic plane exists in the code page; skip a whole pair.
    if (c <= 0xDBFF && pos < text.size() && text[pos] >= 0xDC00 && text[pos] <= 0xDFFF) ++pos;
    return std::nullopt;
  }
  const char input[2] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  char output[8];
  const long written = toAnsi_.convert(std::string_view(input, 2), output, sizeof output);
  if (written <= 0) return std::nullopt;
  std::string encoded(output, static_cast<size_t>(written));
  if (decodeSequence(encoded) != c) return std::nullopt;
  return encoded;
}

std::optional<char16_t> CodePage932::decode(std::string_view bytes, size_t& pos) {
  const auto lead = static_cast<unsigned char>(bytes[pos]);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  if (!isLeadByte(lead)) return decodeSequence(bytes.substr(pos++, 1));
  if (pos + 1 >= bytes.size() || !isTrailByte(static_cast<unsigned char>(bytes[pos + 1]))) {
    ++pos;
    return std::nullopt;
  }
  const auto sequence = bytes.substr(pos, 2);
  pos += 2;
  return decodeSequence(sequence);
}

std::optional<char16_t> CodePage932::decodeSequence(std::string_view sequence) {
  char output[8];
  if (fromAnsi_.convert(sequence, output, sizeof output) != 2) return std::nullopt;
  return static_cast<char16_t>(static_cast<unsigned char>(output[0]) |
                               (static_cast<unsigned char>(output[1]) << 8));
}

}  // namespace sim
