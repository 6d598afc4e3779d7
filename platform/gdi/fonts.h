// The screen's fonts: one Japanese gothic family at any pixel size and two
// weights, a device service.
//
// Sizes 12, 14 and 16 come from the bitmap strikes of xfonts-shinonome (Latin,
// half-width katakana and JIS X 0208 each from their own file), which are the
// crispest at those sizes; every other size, and every character the strikes
// lack, comes from IPA Gothic (fonts-ipafont-gothic) rendered one bit per pixel.
// docs/handheld.md says why. The fonts are read from fixed Debian paths.
#pragma once

#include <map>
#include <memory>
#include <utility>

#include <windows.h>

#include "gdi/font_face.h"
#include "gdi/glyph_source.h"
#include "gdi/jis_table.h"

namespace sim {

class Device;

class Fonts {
 public:
  explicit Fonts(Device& device);
  Fonts(const Fonts&) = delete;
  Fonts& operator=(const Fonts&) = delete;

  static Fonts& get();

  FontFace& face(int pixelSize, bool bold);
  // The face a logical font asks for: its height in pixels (0: the system size),
  // bold from a weight of 600 up.
  FontFace& faceOf(const LOGFONTW& font);
  // The system font's size: 12 pixels, 24 on a VGA screen.
  int systemPixelSize() const { return 12 * scale_; }
  int pixelsPerInch() const { return 96 * scale_; }

 private:
  std::vector<LazySource> sourcesFor(int pixelSize, bool bold);
  const JisTable& jis();

  int scale_;
  FreeTypeLibrary library_;
  std::unique_ptr<JisTable> jis_;
  std::map<std::pair<int, bool>, std::unique_ptr<FontFace>> faces_;
};

// The average character size of the dialog font at `pointSize` points, measured
// from its glyphs as the device measures it: the width of the 52 Latin letters
// divided by 26, halved and rounded, and the font's line height. Dialog units are
// a quarter of this width and an eighth of this height.
SIZE DialogFontAverageSize(int pointSize);

}  // namespace sim
