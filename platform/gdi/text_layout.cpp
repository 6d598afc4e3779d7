#include "gdi/text_layout.h"

#include <algorithm>

#include "gdi/text_render.h"

namespace sim {
namespace {

constexpr std::u16string_view kEllipsis = u"...";
// Characters a line must not start with, and ones it must not end with.
constexpr std::u16string_view kNoLineStart = u"、。，．・：；？！゛゜ー…）」』】〉》ぁぃぅぇぉっゃゅょァィゥェォッャュョ)]},.";
constexpr std::u16string_view kNoLineEnd = u"（「『【〈《([{";

bool Wide(char16_t c) { return c >= 0x2E80 && !(c >= 0xFF61 && c <= 0xFF9F); }
bool Space(char16_t c) { return c == u' ' || c == u'\u3000'; }
bool HighSurrogate(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
bool LowSurrogate(char16_t c) { return c >= 0xDC00 && c < 0xE000; }

// May a line break between text[i - 1] and text[i]?
bool BreakBefore(std::u16string_view text, std::size_t i) {
  if (i == 0 || i >= text.size()) return false;
  char16_t before = text[i - 1], after = text[i];
  if (Space(after)) return false;
  if (Space(before)) return true;
  if (!Wide(before) && !Wide(after)) return false;
  return kNoLineStart.find(after) == std::u16string_view::npos && kNoLineEnd.find(before) == std::u16string_view::npos;
}

// Where the paragraph starting at `start` ends: at the next line end, or at the
// text's end (the only end of a single line).
std::size_t ParagraphEnd(std::u16string_view text, std::size_t start, bool singleLine) {
  if (singleLine) return text.size();
  std::size_t end = text.find_first_of(u"\r\n", start);
  return end == std::u16string_view::npos ? text.size() : end;
}

class LineMaker {
 public:
  LineMaker(FontFace& face, UINT format) : face_(face), format_(format) {
    int stops = (format & DT_TABSTOP) ? static_cast<int>((format >> 8) & 0xFF) : 8;
    tab_ = std::max(stops, 1) * face.metrics().averageWidth;
  }

  // Adds the position of each unit of a line to `positions` and gives its width;
  // tabs jump to the next stop when DT_EXPANDTABS.
  template <class Positions>
  int measure(std::u16string_view text, Positions& positions) const {
    int x = 0;
    for (std::size_t i = 0; i < text.size();) {
      std::size_t units = 1;
      char32_t c = CharacterAt(text, i, &units);
      for (std::size_t k = 0; k < units; ++k) positions.push_back(x);
      x = advanced(x, c);
      i += units;
    }
    return x;
  }

  // Where the line starting at `start` of a paragraph ends when it must fit `limit`.
  // The line grows from one break to the next, so its width is added up as it
  // grows rather than measured again at every break.
  std::size_t wrapEnd(std::u16string_view paragraph, std::size_t start, int limit) const {
    std::size_t lastBreak = 0;
    std::size_t measured = start;  // the units added up so far end here
    int x = 0, inked = 0;          // their width, and up to the last that is not a space
    for (std::size_t end = start + 1; end <= paragraph.size(); ++end) {
      if (end < paragraph.size() && !BreakBefore(paragraph, end)) continue;
      while (measured < end) {
        std::size_t units = 1;
        char32_t c = CharacterAt(paragraph, measured, &units);
        x = advanced(x, c);
        if (c != U' ' && c != U'\u3000') inked = x;
        measured += units;
      }
      // A break between the halves of a surrogate pair measures its line on its own.
      int width = measured == end ? inked : this->width(Trimmed(paragraph.substr(start, end - start)));
      if (width > limit) return lastBreak ? lastBreak : end;
      lastBreak = end;
    }
    return paragraph.size();
  }

  // The width of the first `length` units of a line measured on its own, from the
  // positions of the whole line: a cut between the halves of a surrogate pair
  // leaves the first half as a character of its own.
  int prefixWidth(std::u16string_view line, std::span<const int> positions, std::size_t length) const {
    if (length == 0) return 0;
    if (length == line.size()) return width(line);
    if (HighSurrogate(line[length - 1]) && LowSurrogate(line[length]))
      return advanced(positions[length - 1], line[length - 1]);
    return positions[length];
  }

  int width(std::u16string_view text) const {
    int x = 0;
    for (std::size_t i = 0; i < text.size();) {
      std::size_t units = 1;
      x = advanced(x, CharacterAt(text, i, &units));
      i += units;
    }
    return x;
  }

  static std::u16string_view Trimmed(std::u16string_view text) {
    while (!text.empty() && Space(text.back())) text.remove_suffix(1);
    return text;
  }

 private:
  int advanced(int x, char32_t c) const {
    return (c == U'\t' && (format_ & DT_EXPANDTABS)) ? (x / tab_ + 1) * tab_ : x + face_.advance(c);
  }

  FontFace& face_;
  UINT format_;
  int tab_;
};

}  // namespace

class LayoutBuilder {
 public:
  LayoutBuilder(FontFace& face, UINT format, int maxWidth)
      : maker_(face, format), format_(format), maxWidth_(maxWidth) {}

  TextLayout build(std::u16string_view text) {
    prepare(text);
    const std::u16string_view all = layout_.text();
    const bool singleLine = (format_ & DT_SINGLELINE) != 0;
    for (std::size_t start = 0;;) {
      std::size_t end = ParagraphEnd(all, start, singleLine);
      layOutParagraph(all, start, end);
      if (end == all.size()) break;
      start = end + (all[end] == u'\r' && end + 1 < all.size() && all[end + 1] == u'\n' ? 2 : 1);
    }
    return std::move(layout_);
  }

 private:
  // Removes '&' prefixes unless DT_NOPREFIX: "&&" stands for '&', "&x" underlines x.
  // A text without one is laid out where it is.
  void prepare(std::u16string_view text) {
    layout_.given_ = text;
    if ((format_ & DT_NOPREFIX) || text.find(u'&') == std::u16string_view::npos) return;
    layout_.stripped_ = true;
    TextLayout::Characters& out = layout_.strippedText_;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == u'&' && i + 1 < text.size()) {
        ++i;
        if (text[i] != u'&') underlined_ = static_cast<int>(out.size());
      }
      out.push_back(text[i]);
    }
  }

  // The lines of the paragraph [first, last) of the text.
  void layOutParagraph(std::u16string_view all, std::size_t first, std::size_t last) {
    const std::u16string_view paragraph = all.substr(first, last - first);
    const bool wrap = (format_ & DT_WORDBREAK) && !(format_ & DT_SINGLELINE);
    std::size_t start = 0;
    do {
      std::size_t end = wrap ? maker_.wrapEnd(paragraph, start, maxWidth_) : paragraph.size();
      std::u16string_view text = LineMaker::Trimmed(paragraph.substr(start, end - start));
      LaidLine line{false, first + start, text.size(), layout_.positions_.size()};
      line.width = maker_.measure(text, layout_.positions_);
      int underline = underlined_ - static_cast<int>(first + start);
      if (underline >= 0 && underline < static_cast<int>(text.size())) line.underlined = underline;
      if ((format_ & DT_END_ELLIPSIS) && line.width > maxWidth_) line = shortened(line, text);
      layout_.width = std::max(layout_.width, line.width);
      layout_.lines.push_back(line);
      start = end;
      while (wrap && start < paragraph.size() && Space(paragraph[start])) ++start;
    } while (start < paragraph.size());
  }

  // The line cut at its end, with "..." there, so that it fits the width: the
  // longest start of it that fits with the dots, or the dots alone.
  LaidLine shortened(const LaidLine& line, std::u16string_view text) {
    const std::span<const int> positions = layout_.positionsOf(line);
    const int dots = maker_.width(kEllipsis);
    std::size_t kept = text.size();
    while (kept > 0 && maker_.prefixWidth(text, positions, --kept) + dots > maxWidth_) {
    }
    LaidLine cut{true, layout_.shortened_.size(), kept + kEllipsis.size(), line.firstPosition};
    cut.underlined = line.underlined < static_cast<int>(kept) ? line.underlined : -1;
    layout_.shortened_.append(text.substr(0, kept));
    layout_.shortened_.append(kEllipsis);
    layout_.positions_.truncate(line.firstPosition);
    cut.width = maker_.measure(layout_.textOf(cut), layout_.positions_);
    return cut;
  }

  LineMaker maker_;
  UINT format_;
  int maxWidth_;
  int underlined_ = -1;  // the unit of the prepared text a prefix marks
  TextLayout layout_;
};

TextLayout LayOutText(FontFace& face, std::u16string_view text, UINT format, int maxWidth) {
  return LayoutBuilder(face, format, maxWidth).build(text);
}

}  // namespace sim
