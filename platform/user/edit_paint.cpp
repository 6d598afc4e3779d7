// How an EDIT looks: its text (or as many password characters) on the brush its
// parent gives for WM_CTLCOLOREDIT (WM_CTLCOLORSTATIC when read-only or disabled),
// the selection in the highlight colours while it has the focus (always with
// ES_NOHIDESEL), and a caret where typing goes. A one-line box scrolls sideways to
// keep the caret in sight; a multi-line box wraps at words (unless
// ES_AUTOHSCROLL) and scrolls down to the caret's line.
#include <algorithm>

#include "gdi/fonts.h"
#include "gdi/text_render.h"
#include "user/draw.h"
#include "user/edit_control.h"
#include "user/paint_messages.h"

namespace sim {

namespace {

constexpr int kMargin = 2;

FontFace& Face() {
  Fonts& fonts = Fonts::get();
  return fonts.face(fonts.systemPixelSize(), false);
}

struct Line {
  std::size_t start;
  std::size_t end;  // the line break is not part of the line
};

// Breaks a paragraph [start, end) of `text` into lines that fit `width`: after the
// last blank that fits, else after the last character that fits (a character wider
// than the box gets a line of its own).
void WrapParagraph(const std::u16string& text, std::size_t start, std::size_t end, int width, std::vector<Line>& out) {
  while (start < end) {
    std::vector<int> extents = TextExtents(Face(), std::u16string_view(text).substr(start, end - start));
    std::size_t fit = 0;
    while (fit < extents.size() && extents[fit] <= width) ++fit;
    if (fit == extents.size()) {
      out.push_back(Line{start, end});
      return;
    }
    std::size_t cut = start + std::max<std::size_t>(fit, 1);
    std::size_t blank = text.rfind(u' ', cut - 1);
    if (blank != std::u16string::npos && blank >= start) cut = blank + 1;
    out.push_back(Line{start, cut});
    start = cut;
  }
}

std::vector<Line> LinesOf(const Edit& edit, const std::u16string& shown, int width) {
  std::vector<Line> lines;
  if (!edit.multiline()) return {Line{0, shown.size()}};
  const bool wrap = !(edit.style() & ES_AUTOHSCROLL);
  std::size_t start = 0;
  while (true) {
    std::size_t next = shown.find(u'\n', start);
    std::size_t end = next == std::u16string::npos ? shown.size() : next;
    std::size_t visibleEnd = end > start && shown[end - 1] == u'\r' ? end - 1 : end;
    if (wrap && visibleEnd > start)
      WrapParagraph(shown, start, visibleEnd, width, lines);
    else
      lines.push_back(Line{start, visibleEnd});
    if (next == std::u16string::npos) return lines;
    start = next + 1;
  }
}

int XOf(const std::u16string& shown, const Line& line, std::size_t index) {
  if (index <= line.start) return 0;
  return TextWidth(Face(), std::u16string_view(shown).substr(line.start, std::min(index, line.end) - line.start));
}

std::size_t LineOf(const std::vector<Line>& lines, std::size_t index) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (index <= lines[i].end) return i;
  return lines.empty() ? 0 : lines.size() - 1;
}

// Where a line of the box starts: its alignment and the sideways scroll.
int LineLeft(const Edit& edit, const std::u16string& shown, const Line& line, int width) {
  const int textWidth = XOf(shown, line, line.end);
  const DWORD align = edit.style() & (ES_CENTER | ES_RIGHT);
  if (align == ES_CENTER) return Scaled(kMargin) + std::max(0, (width - textWidth) / 2);
  if (align == ES_RIGHT) return Scaled(kMargin) + std::max(0, width - textWidth);
  return Scaled(kMargin) - edit.state.scrollX;
}

struct Colours {
  COLORREF text;
  COLORREF selectedText;
  HBRUSH selection;
};

void DrawLine(HDC dc, const Edit& edit, const std::u16string& shown, const Line& line, POINT at, const Colours& c) {
  const std::size_t from = std::clamp(edit.state.selectionStart(), line.start, line.end);
  const std::size_t to = std::clamp(edit.state.selectionEnd(), line.start, line.end);
  const bool showSelection = edit.state.focused || (edit.style() & ES_NOHIDESEL);
  SetTextColor(dc, c.text);
  ExtTextOutW(dc, at.x, at.y, 0, nullptr, shown.c_str() + line.start, static_cast<UINT>(line.end - line.start), nullptr);
  if (!showSelection || from >= to) return;
  const int left = at.x + XOf(shown, line, from), right = at.x + XOf(shown, line, to);
  RECT band{left, at.y, right, at.y + SystemLineHeight()};
  FillRect(dc, &band, c.selection);
  SetTextColor(dc, c.selectedText);
  ExtTextOutW(dc, left, at.y, 0, nullptr, shown.c_str() + from, static_cast<UINT>(to - from), nullptr);
}

int FirstTop(const Edit& edit, const RECT& client) {
  if (edit.multiline()) return Scaled(1);
  return std::max(0, static_cast<int>(client.bottom - SystemLineHeight()) / 2);
}

}  // namespace

void PaintEdit(Edit& edit) {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(edit.hwnd, &paint);
  RECT client{};
  GetClientRect(edit.hwnd, &client);
  const bool enabled = WindowSystem::get().enabled(edit.window);
  const UINT ask = edit.readOnly() || !enabled ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
  FillRect(dc, &client, ControlBrush(edit.hwnd, dc, ask));
  Colours colours{enabled ? GetTextColor(dc) : GetSysColor(COLOR_GRAYTEXT), GetSysColor(COLOR_HIGHLIGHTTEXT),
                  GetSysColorBrush(COLOR_HIGHLIGHT)};
  HGDIOBJ font = UseSystemFont(dc);
  SetBkMode(dc, TRANSPARENT);
  const std::u16string shown = edit.state.shown();
  const int width = std::max(0, static_cast<int>(client.right) - 2 * Scaled(kMargin));
  const std::vector<Line> lines = LinesOf(edit, shown, width);
  const int lineHeight = SystemLineHeight();
  int top = FirstTop(edit, client);
  for (std::size_t i = edit.state.firstLine; i < lines.size() && top < client.bottom; ++i, top += lineHeight)
    DrawLine(dc, edit, shown, lines[i], POINT{LineLeft(edit, shown, lines[i], width), top}, colours);
  if (edit.state.focused && edit.state.anchor == edit.state.caret) {
    const std::size_t line = LineOf(lines, edit.state.caret);
    if (line >= edit.state.firstLine) {
      const int x = LineLeft(edit, shown, lines[line], width) + XOf(shown, lines[line], edit.state.caret);
      const int y = FirstTop(edit, client) + static_cast<int>(line - edit.state.firstLine) * lineHeight;
      RECT caret{x, y, x + Scaled(1), y + lineHeight};
      FillRect(dc, &caret, GetSysColorBrush(COLOR_WINDOWTEXT));
    }
  }
  SelectObject(dc, font);
  EndPaint(edit.hwnd, &paint);
}

std::size_t InsertionThatFits(const Edit& edit, std::size_t start, std::size_t removed, std::u16string_view insert) {
  if (edit.multiline() || (edit.style() & ES_AUTOHSCROLL) || insert.empty()) return insert.size();
  RECT client{};
  GetClientRect(edit.hwnd, &client);
  const int width = std::max(0, static_cast<int>(client.right) - 2 * Scaled(kMargin));
  const std::u16string& text = edit.state.text;
  std::u16string candidate = text.substr(0, start);
  candidate.append(insert);
  const std::size_t afterStart = std::min(text.size(), start + removed);
  const int after = TextWidth(Face(), edit.state.passwordChar ? std::u16string(text.size() - afterStart, edit.state.passwordChar)
                                                               : std::u16string(text.substr(afterStart)));
  if (edit.state.passwordChar) candidate.assign(candidate.size(), edit.state.passwordChar);
  const std::vector<int> extents = TextExtents(Face(), candidate);
  std::size_t fit = 0;
  while (fit < insert.size() && extents[start + fit] + after <= width) ++fit;
  return fit;
}

void ShowEditChange(Edit& edit) {
  RECT client{};
  GetClientRect(edit.hwnd, &client);
  const std::u16string shown = edit.state.shown();
  const int width = std::max(0, static_cast<int>(client.right) - 2 * Scaled(kMargin));
  const std::vector<Line> lines = LinesOf(edit, shown, width);
  const std::size_t caretLine = LineOf(lines, edit.state.caret);
  if (edit.multiline()) {
    const std::size_t rows = std::max<std::size_t>(1, static_cast<std::size_t>(client.bottom / SystemLineHeight()));
    edit.state.firstLine = std::min(edit.state.firstLine, caretLine);
    if (caretLine >= edit.state.firstLine + rows) edit.state.firstLine = caretLine + 1 - rows;
  }
  if (edit.style() & ES_AUTOHSCROLL) {
    const int caretX = XOf(shown, lines[caretLine], edit.state.caret);
    int& scroll = edit.state.scrollX;
    if (caretX - scroll > width) scroll = caretX - width;
    if (caretX < scroll) scroll = std::max(0, caretX - width / 3);
  } else {
    edit.state.scrollX = 0;
  }
  InvalidateRect(edit.hwnd, nullptr, TRUE);
}

}  // namespace sim
