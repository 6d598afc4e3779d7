// Text: measuring agrees with drawing, DrawTextW lays out as asked, and the
// metrics dialog units come from.
#include "gdi_test_support.h"

#include <string>
#include <utility>

#include "gdi/fonts.h"

namespace {

using test_support::Drawing;
using test_support::TestDevice;

struct Ink {
  int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;  // right and bottom exclusive
  bool any() const { return right >= 0; }
};

Ink InkOf(const Drawing& drawing, int width, int height) {
  Ink ink;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (drawing.at(x, y) != RGB(255, 255, 255)) {
        ink.left = std::min(ink.left, x);
        ink.top = std::min(ink.top, y);
        ink.right = std::max(ink.right, x + 1);
        ink.bottom = std::max(ink.bottom, y + 1);
      }
  return ink;
}

const char16_t* const kSamples[] = {u"ｼｮｰﾄｶｯﾄの貼り付けの確認", u"編集(&E)", u"Brackenway 1.20", u"送る、「はい」。"};

TEST(Text, MeasuringAgreesWithWhatIsDrawn) {
  TestDevice handheld;
  handheld.run([&](HINSTANCE) {
    for (const char16_t* text : kSamples) {
      Drawing drawing(240, 20);
      SetBkMode(drawing.dc(), TRANSPARENT);
      std::u16string_view view(text);
      SIZE size{};
      ASSERT_TRUE(GetTextExtentPoint32W(drawing.dc(), text, static_cast<int>(view.size()), &size));
      ASSERT_TRUE(ExtTextOutW(drawing.dc(), 0, 0, 0, nullptr, text, static_cast<UINT>(view.size()), nullptr));
      Ink ink = InkOf(drawing, 240, 20);
      ASSERT_TRUE(ink.any());
      EXPECT_LE(ink.right, size.cx) << "ink past the measured width";
      EXPECT_GT(ink.right, size.cx - 12) << "the last character is drawn where it was measured";
      EXPECT_LE(ink.bottom, size.cy);
      std::vector<int> extents(view.size());
      int fit = -1;
      SIZE whole{};
      GetTextExtentExPointW(drawing.dc(), text, static_cast<int>(view.size()), size.cx - 1, &fit, extents.data(),
                            &whole);
      EXPECT_EQ(whole.cx, size.cx);
      EXPECT_EQ(fit, static_cast<int>(view.size()) - 1) << "one pixel short leaves the last character out";
      EXPECT_LE(extents[static_cast<std::size_t>(fit) - 1], size.cx - 1);
    }
  });
  EXPECT_TRUE(handheld.faults().empty());
}

TEST(Text, OpaqueBackgroundAndClippedRectangle) {
  TestDevice handheld;
  handheld.run([&](HINSTANCE) {
    Drawing drawing(60, 20);
    SetBkColor(drawing.dc(), RGB(0, 0, 255));
    RECT clip{0, 0, 20, 20};
    ExtTextOutW(drawing.dc(), 0, 4, ETO_CLIPPED, &clip, u"ABCDEFGH", 8, nullptr);
    EXPECT_EQ(drawing.at(19, 4), test_support::Shown(RGB(0, 0, 255))) << "the cell is filled in OPAQUE mode";
    EXPECT_EQ(drawing.at(21, 5), RGB(255, 255, 255)) << "nothing past the clip rectangle";
    EXPECT_EQ(drawing.at(2, 2), RGB(255, 255, 255)) << "above the text's cell";
    RECT band{30, 0, 60, 3};
    ExtTextOutW(drawing.dc(), 30, 0, ETO_OPAQUE, &band, u"", 0, nullptr);
    EXPECT_EQ(drawing.at(45, 1), test_support::Shown(RGB(0, 0, 255)));
  });
  EXPECT_TRUE(handheld.faults().empty());
}

TEST(Text, DrawTextBreaksWordsAndJapaneseAndCalculatesItsRectangle) {
  TestDevice handheld;
  handheld.run([&](HINSTANCE) {
    Drawing drawing(100, 80);
    HDC dc = drawing.dc();
    RECT calc{0, 0, 60, 0};
    int height = DrawTextW(dc, u"ｼｮｰﾄｶｯﾄの貼り付けの確認", -1, &calc, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(height, 36) << "19 half-width and full-width columns break into three lines of 12";
    EXPECT_LE(calc.right, 60);
    EXPECT_EQ(calc.bottom, 36);
    // Latin text breaks at blanks, never inside a word.
    RECT words{0, 0, 50, 0};
    EXPECT_EQ(DrawTextW(dc, u"one two three", -1, &words, DT_WORDBREAK | DT_CALCRECT), 24);
    EXPECT_EQ(words.right, 42) << "\"one two\" is the widest line";
    // A word wider than the rectangle stays whole and widens it.
    RECT wide{0, 0, 20, 0};
    DrawTextW(dc, u"Brackenway", -1, &wide, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(wide.right, 60);
    // Drawn, the broken text stays inside its rectangle.
    RECT box{10, 10, 70, 70};
    DrawTextW(dc, u"ｼｮｰﾄｶｯﾄの貼り付けの確認", -1, &box, DT_WORDBREAK);
    Ink ink = InkOf(drawing, 100, 80);
    EXPECT_GE(ink.left, 10);
    EXPECT_LE(ink.right, 70);
    EXPECT_GT(ink.bottom, 10 + 24) << "three lines";
  });
  EXPECT_TRUE(handheld.faults().empty());
}

TEST(Text, ALineBreaksWhereItsInkFitsAndTabsCountFromItsStart) {
  TestDevice handheld;
  handheld.run([&](HINSTANCE) {
    Drawing drawing(100, 80);
    HDC dc = drawing.dc();
    auto calc = [&](const char16_t* text, LONG width, UINT format) {
      RECT box{0, 0, width, 0};
      int height = DrawTextW(dc, text, -1, &box, format | DT_WORDBREAK | DT_CALCRECT);
      return std::pair<LONG, int>(box.right, height);
    };
    // Half-width characters are 6 wide, full-width ones 12, a line 12 high.
    // Blanks at the end of a line take no room: "ab cd" fits 30 with the two after it.
    EXPECT_EQ(calc(u"ab cd  ef", 30, 0), std::make_pair(30L, 24));
    EXPECT_EQ(calc(u"貼り付け\u3000確認", 48, 0), std::make_pair(48L, 24));
    // A tab stops at 48 from the start of its own line, the second as the first.
    EXPECT_EQ(calc(u"a\tb c\td", 60, DT_EXPANDTABS), std::make_pair(54L, 24));
  });
  EXPECT_TRUE(handheld.faults().empty());
}

TEST(Text, EllipsisAlignmentAndPrefixes) {
  TestDevice handheld;
  handheld.run([&](HINSTANCE) {
    Drawing drawing(120, 40);
    HDC dc = drawing.dc();
    RECT narrow{0, 0, 40, 12};
    RECT calc = narrow;
    DrawTextW(dc, u"\\My Documents\\Brackenway", -1, &calc, DT_SINGLELINE | DT_END_ELLIPSIS | DT_CALCRECT);
    EXPECT_LE(calc.right, 40) << "the ellipsis makes it fit";
    EXPECT_GT(calc.right, 40 - 6) << "cut as late as possible";
    DrawTextW(dc, u"\\My Documents\\Brackenway", -1, &narrow, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    Ink ink = InkOf(drawing, 120, 40);
    EXPECT_LE(ink.right, 40);
    // Right and bottom alignment of a single line.
    Drawing aligned(120, 40);
    RECT all{0, 0, 120, 40};
    DrawTextW(aligned.dc(), u"OK", -1, &all, DT_SINGLELINE | DT_RIGHT | DT_BOTTOM);
    ink = InkOf(aligned, 120, 40);
    EXPECT_EQ(ink.right, 120 - 1) << "the last column of a Latin glyph is blank";
    EXPECT_LE(ink.bottom, 40);
    EXPECT_GE(ink.top, 40 - 12);
    // "&&" is one '&'; "&x" underlines x one row below the baseline.
    Drawing prefix(60, 14), plain(60, 14);
    RECT line{0, 0, 60, 14};
    DrawTextW(prefix.dc(), u"&E&&", -1, &line, DT_SINGLELINE);
    DrawTextW(plain.dc(), u"E&", -1, &line, DT_SINGLELINE | DT_NOPREFIX);
    for (int x = 0; x < 12; ++x) EXPECT_EQ(prefix.at(x, 3), plain.at(x, 3)) << "same glyphs at " << x;
    EXPECT_EQ(prefix.at(2, 11), RGB(0, 0, 0)) << "E is underlined";
    EXPECT_EQ(prefix.at(8, 11), RGB(255, 255, 255)) << "& is not";
    EXPECT_EQ(plain.at(2, 11), RGB(255, 255, 255));
  });
  EXPECT_TRUE(handheld.faults().empty());
}

bool Fits(HDC dc, const std::u16string& text, int width, UINT format) {
  RECT box{0, 0, width, 0};
  DrawTextW(dc, text.c_str(), -1, &box, format | DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
  return box.right <= width;
}

// The text when it fits `width`, else its longest start that fits with "..." after
// it, as measured without an ellipsis; the dots alone when none does.
std::u16string CutToFit(HDC dc, std::u16string_view text, int width, UINT format) {
  if (Fits(dc, std::u16string(text), width, format)) return std::u16string(text);
  for (std::size_t kept = text.size(); kept-- > 0;) {
    std::u16string candidate = std::u16string(text.substr(0, kept)) + u"...";
    if (Fits(dc, candidate, width, format)) return candidate;
  }
  return u"...";
}

// The cut is found from the positions of the whole line, so a line with tabs, a
// surrogate pair (which a cut may split) or a prefix must cut where the text cut
// beforehand and measured on its own fits, and draw the same pixels.
TEST(Text, AnEllipsisCutsWhereTheShortenedTextMeasuredOnItsOwnFits) {
  TestDevice handheld;
  handheld.run([&](HINSTANCE) {
    struct Case {
      std::u16string text;
      UINT format;
      std::u16string prefix;  // put back before the cut text when drawn with prefixes
    };
    const Case cases[] = {{u"a\tbc\tdefgh", DT_EXPANDTABS | DT_NOPREFIX, u""},
                          {u"ab\U00020B9Fcd\U0001F600ef\u7DE8集", DT_NOPREFIX, u""},
                          {u"Open the long name", 0, u"&"}};
    for (const Case& c : cases)
      for (int width = 20; width < 90; width += 3) {
        Drawing cut(120, 14), expected(120, 14);
        RECT box{0, 0, width, 14};
        DrawTextW(cut.dc(), (c.prefix + c.text).c_str(), -1, &box, c.format | DT_SINGLELINE | DT_END_ELLIPSIS);
        std::u16string fit = CutToFit(expected.dc(), c.text, width, c.format);
        if (fit != u"...") fit = c.prefix + fit;
        DrawTextW(expected.dc(), fit.c_str(), -1, &box, c.format | DT_SINGLELINE);
        for (int y = 0; y < 14; ++y)
          for (int x = 0; x < 120; ++x)
            ASSERT_EQ(cut.at(x, y), expected.at(x, y)) << "width " << width << " at " << x << "," << y;
      }
  });
  EXPECT_TRUE(handheld.faults().empty());
}

TEST(Text, MetricsAndDialogUnitsOnBothScreens) {
  for (int scale : {1, 2}) {
    TestDevice handheld(240 * scale, 320 * scale);
    handheld.run([&](HINSTANCE) {
      HDC screen = GetDC(nullptr);
      TEXTMETRICW metrics{};
      ASSERT_TRUE(GetTextMetricsW(screen, &metrics));
      EXPECT_EQ(metrics.tmHeight, 12 * scale);
      EXPECT_EQ(metrics.tmAveCharWidth, 6 * scale);
      EXPECT_EQ(metrics.tmMaxCharWidth, 12 * scale);
      EXPECT_EQ(metrics.tmAscent + metrics.tmDescent, metrics.tmHeight);
      SIZE size{};
      GetTextExtentPoint32W(screen, u"ｱA編", 3, &size);
      EXPECT_EQ(size.cx, 24 * scale) << "half, half and full width";
      ReleaseDC(nullptr, screen);
      SIZE average = sim::DialogFontAverageSize(9);
      EXPECT_EQ(average.cx, 6 * scale);
      EXPECT_EQ(average.cy, 12 * scale);
    });
    EXPECT_TRUE(handheld.faults().empty());
  }
}

}  // namespace
