// One size and weight of the screen's font: glyphs from its sources in order (the
// bitmap strikes first, the outline face for what they lack), cached, and the
// metrics that measuring and drawing share.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "gdi/glyph_source.h"

namespace sim {

struct FontMetrics {
  int pixelSize = 0;
  int ascent = 0;
  int descent = 0;
  int height = 0;        // ascent + descent: one line
  int averageWidth = 0;  // a half-width character
  int maxWidth = 0;      // a full-width character
  bool bold = false;
};

// A glyph source opened on first use: a face that only ever shows Latin text never
// reads the large JIS X 0208 strike.
class LazySource {
 public:
  explicit LazySource(std::function<std::unique_ptr<GlyphSource>()> open) : open_(std::move(open)) {}
  GlyphSource* get() {
    if (open_) {
      source_ = open_();
      open_ = nullptr;
    }
    return source_.get();
  }

 private:
  std::function<std::unique_ptr<GlyphSource>()> open_;
  std::unique_ptr<GlyphSource> source_;
};

class FontFace {
 public:
  FontFace(std::vector<LazySource> sources, int pixelSize, bool bold);

  // The glyph of a character; a hollow box when no source has one, nothing for a
  // control character.
  const Glyph& glyph(char32_t character);
  bool has(char32_t character);
  int advance(char32_t character) { return glyph(character).advance; }
  const FontMetrics& metrics() const { return metrics_; }

 private:
  const std::optional<Glyph>& lookup(char32_t character);

  std::vector<LazySource> sources_;
  std::unordered_map<char32_t, std::optional<Glyph>> cache_;
  // The cached glyphs of the basic plane by character, 256 to a page, pointing into
  // cache_ (whose entries never move): drawing looks up every character it measures
  // and draws, and a hash lookup each time was a good part of drawing a text.
  using Page = std::array<const std::optional<Glyph>*, 256>;
  std::array<std::unique_ptr<Page>, 256> pages_;
  FontMetrics metrics_;
  Glyph missing_;
  Glyph control_;
};

}  // namespace sim
