#include "gdi/text_layout.h"

#include <algorithm>

#include "gdi/text_render.h"

namespace sim {
namespace {

constexpr std::u16string_view kEllipsis = u"...";
// Characters a line must not start with, and ones it must not end with.
constexpr std::u16string_view kNoLineStart = u"、。，．・：；？！゛゜ー…）」』】〉》ぁぃぅぇぉっゃゅょァィゥェォッャュョ)]},.";
constexpr std::u16string_view kNoLineEnd = u"（「『【〈《([{";

struct Prepared {
  std::u16string text;
  int underlined = -1;
};

// Removes '&' prefixes: "&&" stands for '&', "&x" underlines x.
Prepared StripPrefixes(std::u16string_view text) {
  Prepared out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'&' && i + 1 < text.size()) {
      ++i;
      if (text[i] != u'&') out.underlined = static_cast<int>(out.text.size());
    }
    out.text.push_back(text[i]);
  }
  return out;
}

bool Wide(char16_t c) { return c >= 0x2E80 && !(c >= 0xFF61 && c <= 0xFF9F); }
bool Space(char16_t c) { return c == u' ' || c == u'\u3000'; }

// May a line break between text[i - 1] and text[i]?
bool BreakBefore(std::u16string_view text, std::size_t i) {
  if (i == 0 || i >= text.size()) return false;
  char16_t before = text[i - 1], after = text[i];
  if (Space(after)) return false;
  if (Space(before)) return true;
  if (!Wide(before) && !Wide(after)) return false;
  return kNoLineStart.find(after) == std::u16string_view::npos && kNoLineEnd.find(before) == std::u16string_view::npos;
}

class LineMaker {
 public:
  LineMaker(FontFace& face, UINT format) : face_(face), format_(format) {
    int stops = (format & DT_TABSTOP) ? static_cast<int>((format >> 8) & 0xFF) : 8;
    tab_ = std::max(stops, 1) * face.metrics().averageWidth;
  }

  // Unit positions of a line; tabs jump to the next stop when DT_EXPANDTABS.
  LaidLine measure(std::u16string_view text) const {
    LaidLine line;
    line.text = text;
    line.x.reserve(text.size());
    int x = 0;
    for (std::size_t i = 0; i < text.size();) {
      std::size_t units = 1;
      char32_t c = CharacterAt(text, i, &units);
      for (std::size_t k = 0; k < units; ++k) line.x.push_back(x);
      x = advanced(x, c);
      i += units;
    }
    line.width = x;
    return line;
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

  static std::u16string_view Trimmed(std::u16string_view text) {
    while (!text.empty() && Space(text.back())) text.remove_suffix(1);
    return text;
  }

 private:
  int advanced(int x, char32_t c) const {
    return (c == U'\t' && (format_ & DT_EXPANDTABS)) ? (x / tab_ + 1) * tab_ : x + face_.advance(c);
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

  FontFace& face_;
  UINT format_;
  int tab_;
};

std::vector<std::u16string_view> Paragraphs(std::u16string_view text, bool singleLine) {
  std::vector<std::u16string_view> out;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    bool end = i == text.size() || (!singleLine && (text[i] == u'\r' || text[i] == u'\n'));
    if (!end) continue;
    out.push_back(text.substr(start, i - start));
    if (i + 1 < text.size() && text[i] == u'\r' && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  return out;
}

// Cuts the line's end and puts "..." there so that it fits `limit`.
LaidLine WithEllipsis(const LineMaker& maker, const LaidLine& line, int limit) {
  std::u16string text = line.text;
  while (!text.empty()) {
    text.pop_back();
    LaidLine shorter = maker.measure(text + std::u16string(kEllipsis));
    if (shorter.width <= limit) {
      shorter.underlined = line.underlined < static_cast<int>(text.size()) ? line.underlined : -1;
      return shorter;
    }
  }
  LaidLine dots = maker.measure(kEllipsis);
  return dots;
}

}  // namespace

TextLayout LayOutText(FontFace& face, std::u16string_view text, UINT format, int maxWidth) {
  Prepared prepared = (format & DT_NOPREFIX) ? Prepared{std::u16string(text), -1} : StripPrefixes(text);
  LineMaker maker(face, format);
  bool singleLine = (format & DT_SINGLELINE) != 0, wrap = (format & DT_WORDBREAK) && !singleLine;
  TextLayout layout;
  std::size_t offset = 0;  // of the paragraph in the prepared text, for the underline
  for (std::u16string_view paragraph : Paragraphs(prepared.text, singleLine)) {
    std::size_t start = 0;
    do {
      std::size_t end = wrap ? maker.wrapEnd(paragraph, start, maxWidth) : paragraph.size();
      LaidLine line = maker.measure(LineMaker::Trimmed(paragraph.substr(start, end - start)));
      int underline = prepared.underlined - static_cast<int>(offset + start);
      if (underline >= 0 && underline < static_cast<int>(line.text.size())) line.underlined = underline;
      if ((format & DT_END_ELLIPSIS) && line.width > maxWidth) line = WithEllipsis(maker, line, maxWidth);
      layout.width = std::max(layout.width, line.width);
      layout.lines.push_back(std::move(line));
      start = end;
      while (wrap && start < paragraph.size() && Space(paragraph[start])) ++start;
    } while (start < paragraph.size());
    offset = static_cast<std::size_t>(paragraph.data() + paragraph.size() - prepared.text.data()) + 1;
    if (offset < prepared.text.size() && prepared.text[offset - 1] == u'\r' && prepared.text[offset] == u'\n') ++offset;
  }
  return layout;
}

}  // namespace sim
