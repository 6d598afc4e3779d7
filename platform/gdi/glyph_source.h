// Where the screen's glyphs come from: FreeType faces read from fixed Debian
// paths (never the host's font configuration, which differs between machines).
//
// A bitmap strike (a PCF file of xfonts-shinonome) holds one pixel size and is
// indexed by its own character set; an outline face (IPA Gothic of
// fonts-ipafont-gothic) renders any size. Both render one bit per pixel, as the
// device shows text: no grey edges.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sim {

struct Glyph {
  int advance = 0;  // pixels to the next character's origin
  int left = 0;     // ink's left edge from the origin
  int top = 0;      // ink's top row above the baseline
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> ink;  // width x height, 1 where the glyph is drawn
};

struct FaceMetrics {
  int ascent = 0;
  int descent = 0;
};

class FreeTypeLibrary;

class GlyphSource {
 public:
  virtual ~GlyphSource() = default;
  // The glyph of a character, or nothing when this source lacks it.
  virtual std::optional<Glyph> render(char32_t character) = 0;
  virtual FaceMetrics metrics() const = 0;
};

// Owns FreeType and opens faces; null when a font file is missing.
class FreeTypeLibrary {
 public:
  FreeTypeLibrary();
  ~FreeTypeLibrary();
  FreeTypeLibrary(const FreeTypeLibrary&) = delete;
  FreeTypeLibrary& operator=(const FreeTypeLibrary&) = delete;

  // A bitmap strike whose characters are found by `codeOf` (its own encoding).
  std::unique_ptr<GlyphSource> openStrike(const std::string& path,
                                          std::function<std::optional<std::uint32_t>(char32_t)> codeOf);
  // An outline face rendered at `pixelSize`, made heavier by a pixel when `bold`.
  std::unique_ptr<GlyphSource> openOutline(const std::string& path, int pixelSize, bool bold);

 private:
  void* library_ = nullptr;  // FT_Library
};

}  // namespace sim
