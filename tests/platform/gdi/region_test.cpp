// Region arithmetic checked pixel by pixel: every combination of two regions holds
// exactly the pixels it should, in the one form those pixels have.
#include <gtest/gtest.h>

#include <algorithm>
#include <bitset>
#include <random>
#include <vector>

#include "gdi/region.h"

namespace {

using sim::Region;

constexpr int kSide = 24;
using Pixels = std::bitset<kSide * kSide>;

Pixels PixelsOf(const Region& region) {
  Pixels pixels;
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) pixels[y * kSide + x] = region.contains(x, y);
  return pixels;
}

// The form a region of these pixels must have, built row by row without the
// region's own arithmetic: a band per run of rows with the same column runs.
std::vector<RECT> FormOf(const Pixels& pixels) {
  std::vector<RECT> rects;
  std::size_t bandStart = 0;
  for (int y = 0; y < kSide; ++y) {
    std::vector<RECT> row;
    for (int x = 0; x < kSide; ++x) {
      if (!pixels[y * kSide + x]) continue;
      if (!row.empty() && row.back().right == x)
        ++row.back().right;
      else
        row.push_back(RECT{x, y, x + 1, y + 1});
    }
    bool joins = !row.empty() && rects.size() - bandStart == row.size() && rects[bandStart].bottom == y;
    for (std::size_t i = 0; joins && i < row.size(); ++i)
      joins = rects[bandStart + i].left == row[i].left && rects[bandStart + i].right == row[i].right;
    if (joins) {
      for (std::size_t i = bandStart; i < rects.size(); ++i) rects[i].bottom = y + 1;
    } else if (!row.empty()) {
      bandStart = rects.size();
      rects.insert(rects.end(), row.begin(), row.end());
    }
  }
  return rects;
}

void ExpectForm(const Region& region, const Pixels& pixels, const char* what) {
  ASSERT_EQ(PixelsOf(region), pixels) << what;
  std::vector<RECT> expected = FormOf(pixels);
  auto rects = region.rects();
  ASSERT_EQ(rects.size(), expected.size()) << what;
  for (std::size_t i = 0; i < rects.size(); ++i) {
    const RECT &got = rects[i], &want = expected[i];
    EXPECT_TRUE(got.left == want.left && got.top == want.top && got.right == want.right && got.bottom == want.bottom)
        << what << ": rectangle " << i << " is " << got.left << "," << got.top << "-" << got.right << "," << got.bottom;
  }
}

// Regions from nothing to dozens of rectangles: single rectangles, some apart or
// covering the other, and unions and holes of several.
Region RandomRegion(std::mt19937& random) {
  auto coordinate = [&] { return static_cast<LONG>(random() % (kSide + 1)); };
  auto rect = [&] {
    LONG left = coordinate(), top = coordinate();
    return RECT{left, top, std::min<LONG>(kSide, left + coordinate() / 2), std::min<LONG>(kSide, top + coordinate() / 2)};
  };
  Region region(rect());
  const int pieces = static_cast<int>(random() % 9);
  for (int i = 0; i < pieces; ++i)
    region = random() % 3 ? region.united(Region(rect())) : region.subtracted(rect());
  return region;
}

TEST(Region, EveryCombinationHoldsItsPixelsInTheOneForm) {
  std::mt19937 random(20020401);
  for (int round = 0; round < 3000; ++round) {
    Region a = RandomRegion(random), b = RandomRegion(random);
    const Pixels pa = PixelsOf(a), pb = PixelsOf(b);
    ExpectForm(a, pa, "made");
    ExpectForm(a.united(b), pa | pb, "union");
    ExpectForm(a.intersected(b), pa & pb, "intersection");
    ExpectForm(a.subtracted(b), pa & ~pb, "difference");
    ExpectForm(a.exclusiveOr(b), pa ^ pb, "exclusive or");
    if (HasFailure()) {
      ADD_FAILURE() << "round " << round;
      return;
    }
  }
}

TEST(Region, CopiesAndShrinksKeepTheirRectanglesPastTheInlineCount) {
  // A comb of twelve teeth: more rectangles than a region keeps inline.
  Region comb;
  for (LONG x = 0; x < 24; x += 2) comb = comb.united(Region(RECT{x, 0, x + 1, 4}));
  ASSERT_EQ(comb.rects().size(), 12u);
  Region copy = comb;
  comb = comb.united(Region(RECT{0, 4, 24, 6}));  // a spine below the teeth
  EXPECT_EQ(copy.rects().size(), 12u);
  EXPECT_EQ(comb.rects().size(), 13u);
  // Filling the gaps joins the teeth and the spine into one rectangle.
  Region filled = comb.united(Region(RECT{0, 0, 24, 4}));
  ASSERT_EQ(filled.rects().size(), 1u);
  EXPECT_EQ(filled.bounds().bottom, 6);
  Region moved = copy;
  moved.offset(1, 0);
  EXPECT_EQ(moved.united(copy), Region(RECT{0, 0, 24, 4}));
}

}  // namespace
