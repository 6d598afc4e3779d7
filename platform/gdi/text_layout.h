// How DrawTextW lays a text out: mnemonic prefixes, tab stops, lines broken at
// line ends and (with DT_WORDBREAK) between words or Japanese characters, and an
// ellipsis for a line too long.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

#include "gdi/font_face.h"

namespace sim {

struct LaidLine {
  std::u16string text;
  std::vector<int> x;  // left edge of each unit, from the line's start
  int width = 0;
  int underlined = -1;  // the unit a '&' prefix marks, or -1
};

struct TextLayout {
  std::vector<LaidLine> lines;
  int width = 0;  // the widest line
};

TextLayout LayOutText(FontFace& face, std::u16string_view text, UINT format, int maxWidth);

}  // namespace sim
