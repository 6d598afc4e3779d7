#include "gdi/fonts.h"

#include <algorithm>
#include <string>

#include "kernel/device.h"

namespace sim {
namespace {

constexpr char kStrikeFolder[] = "/usr/share/fonts/X11/misc/";
constexpr char kOutlineFont[] = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";

struct StrikeFiles {
  int pixelSize;
  const char* latin;
  const char* kana;
  const char* kanji;
};

constexpr StrikeFiles kStrikes[] = {
    {12, "shnm6x12a", "shnm6x12r", "shnmk12"},
    {14, "shnm7x14a", "shnm7x14r", "shnmk14"},
    {16, "shnm8x16a", "shnm8x16r", "shnmk16"},
};

std::string StrikePath(const char* name, bool bold) {
  return std::string(kStrikeFolder) + name + (bold ? "b" : "") + ".pcf.gz";
}

// The backslash is left to the JIS X 0201 strike, which shows it as a yen sign as
// the device's Japanese font does (and as the outline face does at other sizes).
std::optional<std::uint32_t> LatinCode(char32_t c) {
  if (c < 0x20 || c > 0xFF || (c >= 0x7F && c < 0xA0) || c == U'\\') return std::nullopt;
  return static_cast<std::uint32_t>(c);
}

// Half-width katakana sit at 0xA1..0xDF of JIS X 0201, the yen sign at 0x5C.
std::optional<std::uint32_t> KanaCode(char32_t c) {
  if (c == U'\\') return 0x5C;
  if (c < 0xFF61 || c > 0xFF9F) return std::nullopt;
  return static_cast<std::uint32_t>(c - 0xFF61 + 0xA1);
}

}  // namespace

Fonts::Fonts(Device& device) : scale_(device.config().screenWidth >= 480 ? 2 : 1) {}

Fonts& Fonts::get() { return Device::current().service<Fonts>(); }

const JisTable& Fonts::jis() {
  if (!jis_) jis_ = std::make_unique<JisTable>();
  return *jis_;
}

std::vector<LazySource> Fonts::sourcesFor(int pixelSize, bool bold) {
  std::vector<LazySource> sources;
  FreeTypeLibrary* library = &library_;
  for (const StrikeFiles& strike : kStrikes) {
    if (strike.pixelSize != pixelSize) continue;
    std::string latin = StrikePath(strike.latin, bold), kana = StrikePath(strike.kana, bold),
                kanji = StrikePath(strike.kanji, bold);
    sources.emplace_back([library, latin] { return library->openStrike(latin, LatinCode); });
    sources.emplace_back([library, kana] { return library->openStrike(kana, KanaCode); });
    sources.emplace_back([this, library, kanji] {
      const JisTable& table = jis();
      return library->openStrike(kanji, [&table](char32_t c) -> std::optional<std::uint32_t> {
        auto code = table.find(c);
        if (!code) return std::nullopt;
        return *code;
      });
    });
  }
  sources.emplace_back([library, pixelSize, bold] { return library->openOutline(kOutlineFont, pixelSize, bold); });
  return sources;
}

FontFace& Fonts::face(int pixelSize, bool bold) {
  pixelSize = std::clamp(pixelSize, 6, 96);
  auto key = std::make_pair(pixelSize, bold);
  auto it = faces_.find(key);
  if (it != faces_.end()) return *it->second;
  auto made = std::make_unique<FontFace>(sourcesFor(pixelSize, bold), pixelSize, bold);
  return *faces_.emplace(key, std::move(made)).first->second;
}

FontFace& Fonts::faceOf(const LOGFONTW& font) {
  int height = static_cast<int>(font.lfHeight < 0 ? -font.lfHeight : font.lfHeight);
  return face(height == 0 ? systemPixelSize() : height, font.lfWeight >= 600);
}

SIZE DialogFontAverageSize(int pointSize) {
  Fonts& fonts = Fonts::get();
  if (pointSize <= 0) pointSize = 9;
  FontFace& face = fonts.face((pointSize * fonts.pixelsPerInch() + 36) / 72, false);
  int letters = 0;
  for (char32_t c = U'A'; c <= U'Z'; ++c) letters += face.advance(c) + face.advance(c + 32);
  return SIZE{(letters / 26 + 1) / 2, face.metrics().height};
}

}  // namespace sim
