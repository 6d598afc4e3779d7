#include "gdi/glyph_source.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cmath>

namespace sim {
namespace {

// The rendered glyph of a face's slot, one byte per pixel.
Glyph FromSlot(FT_GlyphSlot slot) {
  Glyph glyph;
  glyph.advance = static_cast<int>(slot->advance.x >> 6);
  glyph.left = slot->bitmap_left;
  glyph.top = slot->bitmap_top;
  glyph.width = static_cast<int>(slot->bitmap.width);
  glyph.height = static_cast<int>(slot->bitmap.rows);
  glyph.ink.assign(static_cast<std::size_t>(glyph.width * glyph.height), 0);
  const FT_Bitmap& bitmap = slot->bitmap;
  for (int y = 0; y < glyph.height; ++y) {
    const unsigned char* row = bitmap.buffer + y * bitmap.pitch;
    for (int x = 0; x < glyph.width; ++x) {
      bool on = bitmap.pixel_mode == FT_PIXEL_MODE_MONO ? (row[x >> 3] >> (7 - (x & 7))) & 1 : row[x] >= 128;
      glyph.ink[static_cast<std::size_t>(y * glyph.width + x)] = on ? 1 : 0;
    }
  }
  return glyph;
}

class FaceHandle {
 public:
  explicit FaceHandle(FT_Face face) : face_(face) {}
  ~FaceHandle() { FT_Done_Face(face_); }
  FaceHandle(const FaceHandle&) = delete;
  FaceHandle& operator=(const FaceHandle&) = delete;
  FT_Face get() const { return face_; }

 private:
  FT_Face face_;
};

class Strike : public GlyphSource {
 public:
  Strike(FT_Face face, std::function<std::optional<std::uint32_t>(char32_t)> codeOf)
      : face_(face), codeOf_(std::move(codeOf)) {
    FT_Set_Charmap(face, face->charmaps[0]);
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(face->available_sizes[0].height));
  }
  std::optional<Glyph> render(char32_t character) override {
    auto code = codeOf_(character);
    FT_UInt index = code ? FT_Get_Char_Index(face_.get(), *code) : 0;
    if (!index || FT_Load_Glyph(face_.get(), index, FT_LOAD_RENDER | FT_LOAD_MONOCHROME | FT_LOAD_TARGET_MONO))
      return std::nullopt;
    return FromSlot(face_.get()->glyph);
  }
  FaceMetrics metrics() const override {
    const FT_Size_Metrics& m = face_.get()->size->metrics;
    return FaceMetrics{static_cast<int>(m.ascender >> 6), static_cast<int>(-(m.descender >> 6))};
  }

 private:
  FaceHandle face_;
  std::function<std::optional<std::uint32_t>(char32_t)> codeOf_;
};

class Outline : public GlyphSource {
 public:
  Outline(FT_Face face, int pixelSize, bool bold) : face_(face), pixelSize_(pixelSize), bold_(bold) {
    FT_Select_Charmap(face, FT_ENCODING_UNICODE);
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize));
  }
  std::optional<Glyph> render(char32_t character) override {
    FT_Face face = face_.get();
    FT_UInt index = FT_Get_Char_Index(face, character);
    if (!index || FT_Load_Glyph(face, index, FT_LOAD_TARGET_MONO)) return std::nullopt;
    if (bold_ && face->glyph->format == FT_GLYPH_FORMAT_OUTLINE)
      FT_Outline_Embolden(&face->glyph->outline, 64);  // one pixel heavier
    if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_MONO)) return std::nullopt;
    return FromSlot(face->glyph);
  }
  // The face's ascent and descent share the pixel size out in its own proportions.
  FaceMetrics metrics() const override {
    FT_Face face = face_.get();
    double total = face->ascender - face->descender;
    int ascent = static_cast<int>(std::lround(pixelSize_ * face->ascender / total));
    return FaceMetrics{ascent, pixelSize_ - ascent};
  }

 private:
  FaceHandle face_;
  int pixelSize_;
  bool bold_;
};

}  // namespace

FreeTypeLibrary::FreeTypeLibrary() {
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) == 0) library_ = library;
}

FreeTypeLibrary::~FreeTypeLibrary() {
  if (library_) FT_Done_FreeType(static_cast<FT_Library>(library_));
}

std::unique_ptr<GlyphSource> FreeTypeLibrary::openStrike(const std::string& path,
                                                         std::function<std::optional<std::uint32_t>(char32_t)> codeOf) {
  FT_Face face = nullptr;
  if (!library_ || FT_New_Face(static_cast<FT_Library>(library_), path.c_str(), 0, &face)) return nullptr;
  if (face->num_fixed_sizes < 1 || face->num_charmaps < 1) {
    FT_Done_Face(face);
    return nullptr;
  }
  return std::make_unique<Strike>(face, std::move(codeOf));
}

std::unique_ptr<GlyphSource> FreeTypeLibrary::openOutline(const std::string& path, int pixelSize, bool bold) {
  FT_Face face = nullptr;
  if (!library_ || FT_New_Face(static_cast<FT_Library>(library_), path.c_str(), 0, &face)) return nullptr;
  if (!FT_IS_SCALABLE(face)) {
    FT_Done_Face(face);
    return nullptr;
  }
  return std::make_unique<Outline>(face, pixelSize, bold);
}

}  // namespace sim
