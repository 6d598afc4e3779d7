// Painting: when WM_PAINT comes and what it covers, erasing inside BeginPaint,
// validation, WM_SETREDRAW, and what a window may draw on (never its children, the
// siblings above it or the windows in front of it).
#include <gtest/gtest.h>

#include "gdi/frame_buffer.h"
#include "window_test_support.h"

using namespace test_support;
using Strings = std::vector<std::string>;

namespace {

COLORREF ScreenAt(int x, int y) { return sim::FrameBuffer::get().pixels().color(x, y); }
COLORREF Shown(COLORREF c) { return sim::OnScreen(c); }

std::string RectText(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

class Painting : public ::testing::Test {
 protected:
  void SetUp() override { ResetRecording(); }
  void TearDown() override { ResetRecording(); }

  // A program that runs `setup` on its thread and then pumps messages.
  void run(std::function<void()> setup) {
    sim::StartFunction(*device, u"\\Windows\\paint.exe", [setup = std::move(setup)] {
      RegisterRecordingClass();
      setup();
      RunMessageLoop();
      return 0;
    });
    device.settle();
  }

  TestDevice device;
};

// Paints the whole client area in `color` when asked, logging where it was asked.
std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)> PaintIn(COLORREF color) {
  return [color](HWND hwnd, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg != WM_PAINT) return std::nullopt;
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(hwnd, &paint);
    Log().push_back(NameOf(hwnd) + ":paint " + RectText(paint.rcPaint) + (paint.fErase ? " erase" : ""));
    RECT client{};
    GetClientRect(hwnd, &client);
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    EndPaint(hwnd, &paint);
    return 0;
  };
}

TEST_F(Painting, EraseComesInsideBeginPaintAndValidationEndsThePainting) {
  std::vector<BOOL> erase;
  Behaviour() = [&](HWND hwnd, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg != WM_PAINT) return std::nullopt;
    PAINTSTRUCT paint{};
    BeginPaint(hwnd, &paint);
    Log().push_back("began " + RectText(paint.rcPaint));
    erase.push_back(paint.fErase);
    EndPaint(hwnd, &paint);
    return 0;
  };
  HWND hwnd = nullptr;
  run([&] {
    hwnd = MakeWindow(u"w", nullptr, WS_VISIBLE, 0, RECT{0, 26, 100, 126});
    Log().clear();
  });
  EXPECT_EQ(Log(), (Strings{"w:PAINT", "w:ERASEBKGND", "began 0,0,100,100"})) << "one WM_PAINT, then nothing";
  // Without a class brush the default erase does nothing and says so: the program
  // must erase (fErase). Two invalidations come as one WM_PAINT covering both.
  ASSERT_EQ(erase.size(), 1u);
  EXPECT_TRUE(erase[0]);
  Log().clear();
  RECT a{10, 10, 20, 20}, b{50, 60, 70, 80};
  InvalidateRect(hwnd, &a, FALSE);
  InvalidateRect(hwnd, &b, FALSE);
  RECT update{};
  EXPECT_TRUE(GetUpdateRect(hwnd, &update, FALSE));
  EXPECT_EQ(RectText(update), "10,10,70,80");
  device.settle();
  EXPECT_EQ(Log(), (Strings{"w:PAINT", "began 10,10,70,80"})) << "no erase was asked for";
  EXPECT_FALSE(GetUpdateRect(hwnd, &update, FALSE));
}

TEST_F(Painting, AProcedureThatValidatesPartGetsAnotherPaintForTheRest) {
  int paints = 0;
  Behaviour() = [&](HWND hwnd, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg != WM_PAINT) return std::nullopt;
    RECT update{};
    GetUpdateRect(hwnd, &update, FALSE);
    Log().push_back("update " + RectText(update));
    RECT top{0, 0, 100, 50};
    if (++paints == 1) ValidateRect(hwnd, &top);
    else ValidateRect(hwnd, nullptr);
    return 0;
  };
  run([&] {
    MakeWindow(u"w", nullptr, WS_VISIBLE, 0, RECT{0, 26, 100, 126});
    Log().clear();
  });
  EXPECT_EQ(Log(), (Strings{"w:PAINT", "update 0,0,100,100", "w:PAINT", "update 0,50,100,100"}));
}

TEST_F(Painting, WindowsPaintInZOrderParentsBeforeChildrenAndUpdateWindowPaintsAtOnce) {
  HWND parent = nullptr;
  run([&] {
    parent = MakeWindow(u"p", nullptr, WS_VISIBLE, 0, RECT{0, 26, 200, 226});
    MakeWindow(u"c1", parent, WS_VISIBLE, 1, RECT{10, 10, 60, 60});
    MakeWindow(u"c2", parent, WS_VISIBLE, 2, RECT{70, 10, 120, 60});
    Log().clear();
  });
  EXPECT_EQ(Log(), (Strings{"p:PAINT", "p:ERASEBKGND", "c1:PAINT", "c1:ERASEBKGND", "c2:PAINT", "c2:ERASEBKGND"}));
  Log().clear();
  sim::StartFunction(*device, u"\\Windows\\other.exe", [parent] {
    // Another thread's UpdateWindow sends the paint: it comes before what was posted
    // (which the painting thread then takes before the sender runs again).
    PostMessageW(parent, WM_USER, 0, 0);
    InvalidateRect(parent, nullptr, FALSE);
    UpdateWindow(parent);
    Log().push_back("updated");
    return 0;
  });
  device.settle();
  EXPECT_EQ(Log(), (Strings{"p:PAINT", "p:USER", "updated"}));
}

TEST_F(Painting, SetRedrawFalseKeepsAWindowFromPaintingUntilTurnedBackOn) {
  HWND hwnd = nullptr;
  run([&] { hwnd = MakeWindow(u"w", nullptr, WS_VISIBLE, 0, RECT{0, 26, 100, 126}); });
  Log().clear();
  sim::StartFunction(*device, u"\\Windows\\other.exe", [hwnd] {
    SendMessageW(hwnd, WM_SETREDRAW, FALSE, 0);
    InvalidateRect(hwnd, nullptr, TRUE);
    RECT update{};
    Log().push_back(GetUpdateRect(hwnd, &update, FALSE) ? "waiting" : "nothing waits");
    return 0;
  });
  device.settle();
  EXPECT_EQ(Log(), (Strings{"w:0x000B", "nothing waits"}));
  Log().clear();
  sim::StartFunction(*device, u"\\Windows\\other2.exe", [hwnd] {
    SendMessageW(hwnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd, nullptr, TRUE);
    return 0;
  });
  device.settle();
  EXPECT_EQ(std::count(Log().begin(), Log().end(), "w:PAINT"), 1);
}

TEST_F(Painting, AParentNeverPaintsOverItsChildrenNorASiblingOverTheOneAbove) {
  Behaviour() = [](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
    const std::string name = NameOf(hwnd);
    COLORREF color = name == "p" ? RGB(255, 0, 0) : name == "upper" ? RGB(0, 0, 255) : RGB(0, 255, 0);
    return PaintIn(color)(hwnd, msg, wParam, lParam);
  };
  run([&] {
    HWND parent = MakeWindow(u"p", nullptr, WS_VISIBLE, 0, RECT{0, 26, 200, 226});
    // Created first, so above the second one, which it overlaps.
    MakeWindow(u"upper", parent, WS_VISIBLE, 1, RECT{10, 10, 60, 60});
    MakeWindow(u"lower", parent, WS_VISIBLE, 2, RECT{40, 40, 100, 100});
  });
  EXPECT_EQ(ScreenAt(5, 31), Shown(RGB(255, 0, 0)));
  EXPECT_EQ(ScreenAt(20, 46), Shown(RGB(0, 0, 255))) << "the parent painted all of itself, not its child";
  EXPECT_EQ(ScreenAt(50, 76), Shown(RGB(0, 0, 255))) << "the lower sibling stays under the upper one";
  EXPECT_EQ(ScreenAt(80, 106), Shown(RGB(0, 255, 0)));
}

TEST_F(Painting, HidingMovingAndDestroyingUncoverWhatLiesBeneath) {
  Behaviour() = [](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
    if (msg == WM_USER) {
      DestroyWindow(reinterpret_cast<HWND>(wParam));
      return 0;
    }
    return PaintIn(NameOf(hwnd) == "back" ? RGB(255, 0, 0) : RGB(0, 0, 255))(hwnd, msg, wParam, lParam);
  };
  HWND front = nullptr;
  HWND child = nullptr;
  run([&] {
    HWND back = MakeWindow(u"back", nullptr, WS_VISIBLE, 0, RECT{0, 26, 240, 294});
    front = MakeWindow(u"front", nullptr, WS_VISIBLE, 0, RECT{20, 60, 120, 160});
    child = MakeWindow(u"kid", back, WS_VISIBLE, 1, RECT{150, 100, 200, 150});
    Log().clear();
  });
  // Each change, and the paints it brings (with where they were asked).
  auto act = [&](std::function<void()> change) {
    Log().clear();
    sim::StartFunction(*device, u"\\Windows\\act.exe", [change] {
      change();
      return 0;
    });
    device.settle();
    Strings paints;
    for (const std::string& entry : Log())
      if (entry.find(":paint ") != std::string::npos) paints.push_back(entry);
    return paints;
  };
  EXPECT_EQ(act([&] { SetWindowPos(front, nullptr, 40, 60, 100, 100, SWP_NOZORDER | SWP_NOACTIVATE); }),
            (Strings{"front:paint 0,0,100,100 erase", "back:paint 20,34,40,134 erase"}))
      << "all of the moved window (in front, so first), and the strip its move uncovers";
  EXPECT_EQ(act([&] { ShowWindow(front, SW_HIDE); }), (Strings{"back:paint 40,34,140,134 erase"}));
  EXPECT_EQ(ScreenAt(90, 110), Shown(RGB(255, 0, 0)));
  act([&] { PostMessageW(GetParent(child), WM_USER, reinterpret_cast<WPARAM>(child), 0); });
  EXPECT_EQ(ScreenAt(175, 125), Shown(RGB(255, 0, 0))) << "a destroyed child's place goes back to its parent";
}

TEST_F(Painting, AWindowContextDrawsOnlyWhereTheWindowShows) {
  HWND back = nullptr;
  run([&] {
    back = MakeWindow(u"back", nullptr, WS_VISIBLE, 0, RECT{0, 26, 240, 294});
    MakeWindow(u"front", nullptr, WS_VISIBLE, 0, RECT{100, 100, 200, 200});
  });
  sim::StartFunction(*device, u"\\Windows\\draw.exe", [back] {
    HDC dc = GetDC(back);
    RECT all{0, 0, 240, 268};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    RECT clip{};
    EXPECT_EQ(GetClipBox(dc, &clip), COMPLEXREGION) << "the window in front is cut out";
    ReleaseDC(back, dc);
    return 0;
  });
  device.settle();
  EXPECT_EQ(ScreenAt(50, 50), RGB(0, 0, 0));
  EXPECT_NE(ScreenAt(150, 150), RGB(0, 0, 0));
  EXPECT_NE(ScreenAt(120, 10), RGB(0, 0, 0)) << "the navigation bar is the system's";
}

// The desktop under a window that went away is drawn only when the screen is next
// looked at: by then it draws none of the pixels a window took meanwhile, and a
// context on the whole screen sees it drawn.
TEST_F(Painting, TheDesktopUncoveredIsDrawnByTheNextLookAroundTheWindowsShownSince) {
  Behaviour() = [](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
    return PaintIn(NameOf(hwnd) == "gone" ? RGB(0, 0, 255) : RGB(0, 255, 0))(hwnd, msg, wParam, lParam);
  };
  COLORREF seenThroughScreenContext = CLR_INVALID;
  run([&] {
    HWND gone = MakeWindow(u"gone", nullptr, WS_VISIBLE, 0, RECT{20, 60, 220, 260});
    UpdateWindow(gone);
    DestroyWindow(gone);
    UpdateWindow(MakeWindow(u"kept", nullptr, WS_VISIBLE, 0, RECT{20, 60, 120, 160}));
    HDC screen = GetDC(nullptr);
    seenThroughScreenContext = GetPixel(screen, 150, 200);
    ReleaseDC(nullptr, screen);
  });
  const COLORREF desktop = ScreenAt(230, 200);  // never covered
  EXPECT_EQ(seenThroughScreenContext, desktop);
  EXPECT_EQ(ScreenAt(150, 200), desktop);
  EXPECT_EQ(ScreenAt(50, 100), Shown(RGB(0, 255, 0))) << "the late desktop left the window's pixels alone";
}

}  // namespace
