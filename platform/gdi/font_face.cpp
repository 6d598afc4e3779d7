#include "gdi/font_face.h"

#include <algorithm>

namespace sim {
namespace {

Glyph HollowBox(int advance, int ascent) {
  Glyph box;
  box.advance = advance;
  box.left = 1;
  box.width = std::max(advance - 2, 1);
  box.height = std::max(ascent - 1, 1);
  box.top = box.height;
  box.ink.assign(static_cast<std::size_t>(box.width * box.height), 0);
  for (int y = 0; y < box.height; ++y)
    for (int x = 0; x < box.width; ++x)
      if (y == 0 || y == box.height - 1 || x == 0 || x == box.width - 1)
        box.ink[static_cast<std::size_t>(y * box.width + x)] = 1;
  return box;
}

}  // namespace

FontFace::FontFace(std::vector<LazySource> sources, int pixelSize, bool bold) : sources_(std::move(sources)) {
  GlyphSource* primary = nullptr;
  for (auto& source : sources_)
    if ((primary = source.get())) break;
  FaceMetrics first = primary ? primary->metrics() : FaceMetrics{pixelSize - pixelSize / 6, pixelSize / 6};
  metrics_.pixelSize = pixelSize;
  metrics_.ascent = first.ascent;
  metrics_.descent = first.descent;
  metrics_.height = first.ascent + first.descent;
  metrics_.bold = bold;
  missing_ = HollowBox(std::max(pixelSize / 2, 2), metrics_.ascent);
  metrics_.averageWidth = glyph(U'x').advance;
  // A full-width character is twice a half-width one in both fonts; asking a kanji
  // here would open the large JIS X 0208 strike for Latin-only text.
  metrics_.maxWidth = 2 * metrics_.averageWidth;
}

const std::optional<Glyph>& FontFace::lookup(char32_t character) {
  std::unique_ptr<Page>* page = character < 0x10000 ? &pages_[character >> 8] : nullptr;
  if (page && *page)
    if (const std::optional<Glyph>* known = (**page)[character & 0xFF]) return *known;
  auto it = cache_.find(character);
  if (it == cache_.end()) {
    std::optional<Glyph> found;
    for (auto& source : sources_)
      if (GlyphSource* opened = source.get(); opened && (found = opened->render(character))) break;
    it = cache_.emplace(character, std::move(found)).first;
  }
  if (page) {
    if (!*page) *page = std::make_unique<Page>();
    (**page)[character & 0xFF] = &it->second;
  }
  return it->second;
}

const Glyph& FontFace::glyph(char32_t character) {
  if (character < 0x20) return control_;  // control characters take no room and leave no ink
  const std::optional<Glyph>& found = lookup(character);
  return found ? *found : missing_;
}

bool FontFace::has(char32_t character) { return lookup(character).has_value(); }

}  // namespace sim
