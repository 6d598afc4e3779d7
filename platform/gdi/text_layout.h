// How DrawTextW lays a text out: mnemonic prefixes, tab stops, lines broken at
// line ends and (with DT_WORDBREAK) between words or Japanese characters, and an
// ellipsis for a line too long.
//
// A layout is made for every DrawTextW and every dialog that measures its text, so
// its lines keep no text or positions of their own: they are ranges of the layout's
// text and of one list of positions, kept in the layout itself while the text is
// short.
#pragma once

#include <span>
#include <string_view>

#include <windows.h>

#include "gdi/font_face.h"
#include "gdi/inline_list.h"

namespace sim {

struct LaidLine {
  bool shortened = false;  // its text is a line cut for an ellipsis, not a part of the given text
  std::size_t start = 0;   // of its text
  std::size_t length = 0;
  std::size_t firstPosition = 0;  // of its units in the layout's positions
  int width = 0;
  int underlined = -1;  // the unit a '&' prefix marks, or -1
};

// Refers to the text it was made from (when no prefix had to be removed), which must
// outlive it.
class TextLayout {
 public:
  InlineList<LaidLine, 4> lines;
  int width = 0;  // the widest line

  std::u16string_view textOf(const LaidLine& line) const {
    return (line.shortened ? View(shortened_) : text()).substr(line.start, line.length);
  }
  // The left edge of each unit of a line, from the line's start.
  std::span<const int> positionsOf(const LaidLine& line) const {
    return std::span<const int>(positions_).subspan(line.firstPosition, line.length);
  }

 private:
  friend class LayoutBuilder;
  using Characters = InlineList<char16_t, 64>;
  static std::u16string_view View(const Characters& text) { return {text.data(), text.size()}; }
  std::u16string_view text() const { return stripped_ ? View(strippedText_) : given_; }

  std::u16string_view given_;
  bool stripped_ = false;  // prefixes were removed: the text is strippedText_
  Characters strippedText_;
  Characters shortened_;  // the lines cut for an ellipsis, one after another
  InlineList<int, 64> positions_;
};

TextLayout LayOutText(FontFace& face, std::u16string_view text, UINT format, int maxWidth);

}  // namespace sim
