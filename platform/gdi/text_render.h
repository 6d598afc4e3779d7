// Measuring and drawing a run of text with a context's font. Measuring and
// drawing use the same glyphs, so a text fits exactly where it was measured to.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include <windows.h>

#include "gdi/canvas.h"
#include "gdi/font_face.h"

namespace sim {

struct TextFont {
  FontFace& face;
  bool underline = false;
};

// The face of the font selected into a context.
TextFont FontOfContext(const DeviceContext& context);

// The character starting at text[i] (a surrogate pair counts once); its length in
// UTF-16 units is stored in `units`.
char32_t CharacterAt(std::u16string_view text, std::size_t i, std::size_t* units);
// Pixels to the end of each UTF-16 unit of the text (the second unit of a pair
// adds nothing).
std::vector<int> TextExtents(FontFace& face, std::u16string_view text);
int TextWidth(FontFace& face, std::u16string_view text);

// Draws the ink of the text in `color` with its baseline's left end at `origin`
// (target coordinates), clipped to the context and to `limit` when given; `dx`
// replaces each unit's advance when given.
void DrawTextInk(Canvas& canvas, const TextFont& font, POINT origin, std::u16string_view text, COLORREF color,
                 const RECT* limit, const int* dx = nullptr);
// The same with each unit's left edge given as an offset from `origin`.
void DrawTextInkAt(Canvas& canvas, const TextFont& font, POINT origin, std::u16string_view text,
                   std::span<const int> positions, COLORREF color, const RECT* limit);
// Underlines [from, to) of a baseline in target coordinates.
void DrawUnderline(Canvas& canvas, const TextFont& font, POINT origin, int from, int to, COLORREF color,
                   const RECT* limit);

}  // namespace sim
