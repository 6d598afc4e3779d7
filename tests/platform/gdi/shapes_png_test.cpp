// Shapes with pens and brushes, and the PNG comparison that golden screens use.
#include "gdi_test_support.h"

namespace {

using test_support::Drawing;
using test_support::TestDevice;
using test_support::Shown;

TEST(Shapes, PenOutlinesBrushFillsAndANullPenShrinksTheShape) {
  TestDevice handheld;
  handheld.run([&](HINSTANCE) {
    Drawing drawing(40, 20);
    HDC dc = drawing.dc();
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    HGDIOBJ oldBrush = SelectObject(dc, red);
    Rectangle(dc, 0, 0, 10, 10);
    EXPECT_EQ(drawing.at(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(drawing.at(9, 9), RGB(0, 0, 0)) << "the outline is inside the rectangle";
    EXPECT_EQ(drawing.at(10, 5), RGB(255, 255, 255));
    EXPECT_EQ(drawing.at(5, 5), Shown(RGB(255, 0, 0)));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    Rectangle(dc, 12, 0, 22, 10);
    EXPECT_EQ(drawing.at(12, 0), Shown(RGB(255, 0, 0)));
    EXPECT_EQ(drawing.at(20, 8), Shown(RGB(255, 0, 0)));
    EXPECT_EQ(drawing.at(21, 9), RGB(255, 255, 255)) << "a null pen leaves the right and bottom edge";
    SelectObject(dc, oldPen);
    Ellipse(dc, 24, 0, 36, 12);
    EXPECT_EQ(drawing.at(24, 0), RGB(255, 255, 255)) << "corners stay outside an ellipse";
    EXPECT_EQ(drawing.at(30, 6), Shown(RGB(255, 0, 0)));
    EXPECT_EQ(drawing.at(24, 6), RGB(0, 0, 0)) << "the ellipse touches its box's sides";
    // A line leaves out its end point; a dashed pen leaves gaps.
    HPEN dashed = CreatePen(PS_DASH, 1, RGB(0, 0, 255));
    SelectObject(dc, dashed);
    MoveToEx(dc, 0, 15, nullptr);
    EXPECT_TRUE(LineTo(dc, 20, 15));
    POINT at{};
    MoveToEx(dc, 0, 0, &at);
    EXPECT_EQ(at.x, 20) << "LineTo moved the position";
    int drawn = 0;
    for (int x = 0; x <= 20; ++x) drawn += drawing.at(x, 15) == Shown(RGB(0, 0, 255));
    EXPECT_GT(drawn, 10);
    EXPECT_LT(drawn, 20);
    EXPECT_EQ(drawing.at(20, 15), RGB(255, 255, 255));
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(dashed);
    DeleteObject(red);
  });
  EXPECT_TRUE(handheld.faults().empty());
}

TEST(Png, ComparisonFindsEveryDifferenceAndDrawsThem) {
  TestDevice handheld;
  handheld.run([&](HINSTANCE) {
    Drawing a(20, 10), b(20, 10);
    SetPixel(b.dc(), 3, 4, RGB(0, 0, 0));
    SetPixel(b.dc(), 15, 8, RGB(0, 0, 0));
    auto& pixelsA = *sim::GdiObjects::get().lookup(a.bitmap())->as<sim::BitmapData>()->pixels;
    auto& pixelsB = *sim::GdiObjects::get().lookup(b.bitmap())->as<sim::BitmapData>()->pixels;
    std::vector<std::uint8_t> png = sim::EncodePng(pixelsA);
    EXPECT_EQ(png, sim::EncodePng(pixelsA)) << "same pixels, same bytes";
    EXPECT_NE(png, sim::EncodePng(pixelsB));
    sim::ScreenComparison result = sim::CompareScreens(pixelsB, *sim::DecodePng(png));
    EXPECT_FALSE(result.same);
    EXPECT_EQ(result.differentPixels, 2);
    EXPECT_EQ(result.differences.left, 3);
    EXPECT_EQ(result.differences.bottom, 9);
    EXPECT_EQ(result.picture->color(3, 4), RGB(255, 0, 0));
    EXPECT_NE(result.picture->color(0, 0), RGB(255, 0, 0));
    sim::PixelBuffer taller(20, 11, sim::PixelFormat::Screen());
    EXPECT_TRUE(sim::CompareScreens(pixelsA, taller).sizesDiffer);
    std::string why;
    EXPECT_EQ(sim::DecodePng({1, 2, 3}, &why), nullptr);
    EXPECT_FALSE(why.empty());
  });
}

}  // namespace
