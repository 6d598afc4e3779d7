// Drawing objects under checked handles: what the calls give back, and misuse
// reported as the program's fault.
#include "gdi_test_support.h"

#include <string>

namespace {

using test_support::TestDevice;

bool Mentions(const sim::ProgramFault& fault, const std::string& call, const std::string& problem) {
  return fault.call == call && fault.problem.find(problem) != std::string::npos;
}

TEST(DrawingObjects, ObjectsDescribeThemselvesAndStockOnesSurviveDeletion) {
  TestDevice handheld;
  handheld.run([&](HINSTANCE) {
    HPEN pen = CreatePen(PS_DASH, 3, RGB(1, 2, 3));
    LOGPEN logical{};
    EXPECT_EQ(GetObjectW(pen, sizeof logical, &logical), static_cast<int>(sizeof logical));
    EXPECT_EQ(logical.lopnStyle, static_cast<UINT>(PS_SOLID)) << "wide pens draw solid";
    EXPECT_EQ(logical.lopnColor, RGB(1, 2, 3));
    EXPECT_EQ(CreatePen(7, 1, 0), nullptr) << "only solid, dashed and null pens";
    HBITMAP bitmap = CreateBitmap(13, 5, 1, 1, nullptr);
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 13);
    EXPECT_EQ(info.bmBitsPixel, 1);
    EXPECT_EQ(info.bmWidthBytes, 2) << "device bitmap rows are whole words";
    EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
    HGDIOBJ white = GetStockObject(WHITE_BRUSH);
    EXPECT_TRUE(DeleteObject(white));
    EXPECT_EQ(GetStockObject(WHITE_BRUSH), white);
    LOGBRUSH brush{};
    EXPECT_GT(GetObjectW(white, sizeof brush, &brush), 0) << "a stock object outlives DeleteObject";
    EXPECT_EQ(GetSysColorBrush(COLOR_WINDOW), GetSysColorBrush(COLOR_WINDOW));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW | SYS_COLOR_INDEX_FLAG), GetSysColor(COLOR_WINDOW));
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(bitmap));
  });
  EXPECT_TRUE(handheld.faults().empty());
  EXPECT_EQ(sim::GdiObjects::get().liveOwnedCount(), 0u);
}

TEST(DrawingObjects, MisuseIsTheProgramsFault) {
  TestDevice handheld;
  BOOL deletedWhileSelected = TRUE, deletedTwice = TRUE;
  test_support::ExpectMisuse deletes("DeleteObject", 2), selects("SelectObject"), deleteDCs("DeleteDC", 3);
  handheld.run([&](HINSTANCE) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
    HGDIOBJ previous = SelectObject(dc, brush);
    deletedWhileSelected = DeleteObject(brush);
    RECT r{0, 0, 1, 1};
    EXPECT_TRUE(FillRect(dc, &r, brush)) << "the brush is still there";
    SelectObject(dc, previous);
    EXPECT_TRUE(DeleteObject(brush));
    deletedTwice = DeleteObject(brush);
    EXPECT_EQ(SelectObject(dc, brush), nullptr);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
    // Handles that were never handed out: between two, and past the last.
    auto near = [&](std::uintptr_t by) { return reinterpret_cast<HDC>(reinterpret_cast<std::uintptr_t>(dc) + by); };
    EXPECT_FALSE(DeleteDC(near(2)));
    EXPECT_FALSE(DeleteDC(near(4)));
  });
  EXPECT_FALSE(deletedWhileSelected);
  EXPECT_FALSE(deletedTwice);
  ASSERT_EQ(deletes.faults().size(), 2u);
  ASSERT_EQ(selects.faults().size(), 1u);
  ASSERT_EQ(deleteDCs.faults().size(), 3u);
  EXPECT_TRUE(Mentions(deletes.faults()[0], "DeleteObject", "selected into a device context"));
  EXPECT_TRUE(Mentions(deletes.faults()[1], "DeleteObject", "already destroyed"));
  EXPECT_TRUE(Mentions(selects.faults()[0], "SelectObject", "already destroyed"));
  EXPECT_TRUE(Mentions(deleteDCs.faults()[0], "DeleteDC", "already deleted"));
  EXPECT_TRUE(Mentions(deleteDCs.faults()[1], "DeleteDC", "not a device context"));
  EXPECT_TRUE(Mentions(deleteDCs.faults()[2], "DeleteDC", "not a device context"));
}

TEST(DrawingObjects, ABitmapBelongsToOneMemoryContextAtATime) {
  TestDevice handheld;
  test_support::ExpectMisuse selects("SelectObject", 2), deleteDCs("DeleteDC");
  handheld.run([&](HINSTANCE) {
    HDC first = CreateCompatibleDC(nullptr), second = CreateCompatibleDC(nullptr);
    HDC screen = GetDC(nullptr);
    // A fresh memory context holds a 1 x 1 monochrome bitmap, so what is made
    // compatible with it is monochrome too; the screen gives colour bitmaps.
    HBITMAP mono = CreateCompatibleBitmap(first, 8, 8), color = CreateCompatibleBitmap(screen, 8, 8);
    BITMAP info{};
    GetObjectW(mono, sizeof info, &info);
    EXPECT_EQ(info.bmBitsPixel, 1);
    GetObjectW(color, sizeof info, &info);
    EXPECT_EQ(info.bmBitsPixel, 16);
    HGDIOBJ original = SelectObject(first, color);
    EXPECT_EQ(GetObjectType(original), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_EQ(SelectObject(second, color), nullptr) << "already in the first context";
    EXPECT_EQ(SelectObject(screen, mono), nullptr) << "a window context takes no bitmap";
    EXPECT_EQ(DeleteDC(screen), FALSE) << "a window context is given back with ReleaseDC";
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
    SelectObject(first, original);
    EXPECT_NE(SelectObject(second, color), nullptr) << "free again";
    DeleteDC(first);
    DeleteDC(second);
    EXPECT_TRUE(DeleteObject(color)) << "deleting the context let go of its bitmap";
    DeleteObject(mono);
  });
  ASSERT_EQ(selects.faults().size(), 2u);
  ASSERT_EQ(deleteDCs.faults().size(), 1u);
  EXPECT_TRUE(Mentions(selects.faults()[0], "SelectObject", "another device context"));
  EXPECT_TRUE(Mentions(selects.faults()[1], "SelectObject", "memory device context"));
  EXPECT_TRUE(Mentions(deleteDCs.faults()[0], "DeleteDC", "ReleaseDC"));
  EXPECT_EQ(sim::GdiObjects::get().liveOwnedCount(), 0u);
}

}  // namespace
