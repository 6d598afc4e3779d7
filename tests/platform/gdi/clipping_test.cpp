// Regions and clipping: what a clipped drawing may touch, and nothing else.
#include "gdi_test_support.h"

#include "gdi/dc.h"
#include "gdi/region.h"

namespace {

using test_support::Drawing;
using test_support::TestDevice;
using sim::Region;

// Every pixel of the drawing: black where `inside` says, white elsewhere.
void ExpectPainted(const Drawing& drawing, int width, int height, const std::function<bool(int, int)>& inside) {
  int wrong = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if ((drawing.at(x, y) == RGB(0, 0, 0)) != inside(x, y) && ++wrong <= 3)
        ADD_FAILURE() << "pixel " << x << "," << y << (inside(x, y) ? " not painted" : " painted outside the clip");
  EXPECT_EQ(wrong, 0);
}

TEST(Region, CombinationsKeepOneFormForTheSamePixels) {
  Region a(RECT{0, 0, 10, 10}), b(RECT{5, 5, 15, 15});
  Region both = a.united(b);
  EXPECT_EQ(both.complexity(), COMPLEXREGION);
  EXPECT_EQ(both.rects().size(), 3u) << "three bands: top, middle, bottom";
  EXPECT_TRUE(both.contains(12, 12));
  EXPECT_FALSE(both.contains(12, 2));
  EXPECT_EQ(a.intersected(b), Region(RECT{5, 5, 10, 10}));
  // Taking the middle out and putting it back gives the same rectangles.
  Region holed = both.subtracted(RECT{5, 5, 10, 10});
  EXPECT_FALSE(holed.contains(7, 7));
  EXPECT_EQ(holed.united(Region(RECT{5, 5, 10, 10})), both);
  // Side by side rectangles merge; stacked ones with the same columns too.
  EXPECT_EQ(Region(RECT{0, 0, 5, 5}).united(Region(RECT{5, 0, 10, 5})), Region(RECT{0, 0, 10, 5}));
  EXPECT_EQ(Region(RECT{0, 0, 5, 5}).united(Region(RECT{0, 5, 5, 9})), Region(RECT{0, 0, 5, 9}));
  EXPECT_EQ(a.exclusiveOr(a).complexity(), NULLREGION);
  Region moved = a;
  moved.offset(3, -2);
  EXPECT_EQ(moved.bounds().left, 3);
  EXPECT_EQ(moved.bounds().top, -2);
}

TEST(Clipping, AFillTouchesOnlyTheClipRegion) {
  TestDevice handheld;
  handheld.run([&](HINSTANCE) {
    Drawing drawing(40, 30);
    HRGN left = CreateRectRgn(2, 2, 12, 20), right = CreateRectRgn(20, 5, 30, 25);
    EXPECT_EQ(CombineRgn(left, left, right, RGN_OR), COMPLEXREGION);
    EXPECT_EQ(SelectClipRgn(drawing.dc(), left), COMPLEXREGION);
    DeleteObject(right);
    // The context keeps its own copy: changing the program's region changes nothing.
    OffsetRgn(left, 100, 100);
    RECT all{0, 0, 40, 30};
    FillRect(drawing.dc(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ExpectPainted(drawing, 40, 30, [](int x, int y) {
      return (x >= 2 && x < 12 && y >= 2 && y < 20) || (x >= 20 && x < 30 && y >= 5 && y < 25);
    });
    RECT box{};
    EXPECT_EQ(GetClipBox(drawing.dc(), &box), COMPLEXREGION);
    RECT expected{2, 2, 30, 25};
    EXPECT_TRUE(EqualRect(&box, &expected));
    DeleteObject(left);
  });
  EXPECT_TRUE(handheld.faults().empty());
}

TEST(Clipping, IntersectAndExcludeNarrowTheClipAndRestoreDCBringsItBack) {
  TestDevice handheld;
  handheld.run([&](HINSTANCE) {
    Drawing drawing(30, 30);
    HDC dc = drawing.dc();
    int saved = SaveDC(dc);
    EXPECT_EQ(IntersectClipRect(dc, 5, 5, 25, 25), SIMPLEREGION);
    EXPECT_EQ(ExcludeClipRect(dc, 10, 10, 20, 20), COMPLEXREGION);
    EXPECT_EQ(IntersectClipRect(dc, 0, 0, 30, 8), SIMPLEREGION) << "only the top strip is left";
    EXPECT_TRUE(PatBlt(dc, 0, 0, 30, 30, BLACKNESS));
    ExpectPainted(drawing, 30, 30, [](int x, int y) { return x >= 5 && x < 25 && y >= 5 && y < 8; });
    EXPECT_TRUE(RestoreDC(dc, saved));
    RECT box{};
    EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 30) << "the whole bitmap again";
    EXPECT_FALSE(RestoreDC(dc, saved)) << "that state was used up";
    // Exclusion without a clip region starts from the whole bitmap.
    EXPECT_EQ(ExcludeClipRect(dc, 0, 0, 30, 29), SIMPLEREGION);
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(dc, copy), 1);
    EXPECT_TRUE(PtInRegion(copy, 3, 29));
    EXPECT_EQ(SelectClipRgn(dc, nullptr), SIMPLEREGION);
    EXPECT_EQ(GetClipRgn(dc, copy), 0);
    DeleteObject(copy);
  });
  EXPECT_TRUE(handheld.faults().empty());
}

// A window's context as the window system will make it: logical (0, 0) at the
// window's corner, drawing limited to the parts of it that are visible.
TEST(Clipping, AScreenContextDrawsAtItsOriginInsideItsVisibleRegion) {
  TestDevice handheld;
  handheld.run([&](HINSTANCE) {
    HDC screen = GetDC(nullptr);
    RECT all{0, 0, 240, 320};
    FillRect(screen, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    Region visible = Region(RECT{50, 60, 150, 160}).subtracted(RECT{100, 60, 150, 100});  // a covered corner
    HDC window = sim::OpenScreenContext(nullptr, POINT{50, 60}, visible);
    RECT box{};
    EXPECT_EQ(GetClipBox(window, &box), COMPLEXREGION);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.right, 100);
    EXPECT_TRUE(PatBlt(window, -10, -10, 300, 300, BLACKNESS));
    int wrong = 0;
    for (int y = 0; y < 320; y += 2)
      for (int x = 0; x < 240; x += 2)
        if ((GetPixel(screen, x, y) == RGB(0, 0, 0)) != visible.contains(x, y)) ++wrong;
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(SetPixel(window, 0, 0, RGB(255, 255, 255)), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(screen, 50, 60), RGB(255, 255, 255)) << "logical 0,0 is the origin";
    EXPECT_EQ(GetPixel(window, 70, 10), CLR_INVALID) << "covered";
    EXPECT_TRUE(sim::CloseContext(window, "test"));
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
  });
  EXPECT_TRUE(handheld.faults().empty());
}

}  // namespace
