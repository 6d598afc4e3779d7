// The frame around a window's client area, scroll bars, hit-testing by position, and
// the colours a control asks its parent for.
#include <gtest/gtest.h>

#include "dialog_test_support.h"
#include "gdi/frame_buffer.h"
#include "user/hit_test.h"
#include "user/scrollbar.h"

namespace {

COLORREF ScreenAt(int x, int y) { return sim::FrameBuffer::get().pixels().color(x, y); }
COLORREF Sys(int index) { return sim::OnScreen(GetSysColor(index)); }

std::vector<std::string>* scrolls = nullptr;

LRESULT CALLBACK FramedProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (scrolls && msg == WM_VSCROLL) scrolls->push_back("vscroll " + std::to_string(LOWORD(wParam)));
  if (scrolls && msg == WM_SIZE) scrolls->push_back("size " + std::to_string(LOWORD(lParam)));
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

class Frames : public ::testing::Test {
 protected:
  Frames() { scrolls = &seen_; }
  ~Frames() override { scrolls = nullptr; }

  HWND make(DWORD style, DWORD exStyle, RECT rect, HWND parent = nullptr) {
    HWND made = nullptr;
    device_.start([&](HINSTANCE instance) {
      WNDCLASSW wc{};
      wc.lpfnWndProc = FramedProc;
      wc.hInstance = instance;
      wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
      wc.lpszClassName = u"Framed";
      RegisterClassW(&wc);
      made = CreateWindowExW(exStyle, u"Framed", u"枠のある窓", style, rect.left, rect.top, rect.right - rect.left,
                             rect.bottom - rect.top, parent, nullptr, instance, nullptr);
      test_support::PumpMessages(nullptr);
      return 0;
    });
    return made;
  }

  test_support::TestDevice device_;
  std::vector<std::string> seen_;
};

TEST_F(Frames, ACaptionAndDialogFrameLieOutsideTheClientArea) {
  HWND hwnd = make(WS_POPUP | WS_VISIBLE | WS_CAPTION, WS_EX_DLGMODALFRAME, RECT{20, 60, 220, 200});
  RECT client{}, window{};
  GetClientRect(hwnd, &client);
  GetWindowRect(hwnd, &window);
  RECT adjusted = client;
  AdjustWindowRectEx(&adjusted, WS_POPUP | WS_CAPTION, FALSE, WS_EX_DLGMODALFRAME);
  EXPECT_EQ(adjusted.right - adjusted.left, window.right - window.left);
  EXPECT_EQ(adjusted.bottom - adjusted.top, window.bottom - window.top);
  EXPECT_LT(client.bottom, window.bottom - window.top - GetSystemMetrics(SM_CYCAPTION) + 1);
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  EXPECT_EQ(origin.x - window.left, -adjusted.left);
  EXPECT_EQ(origin.y - window.top, -adjusted.top);
  EXPECT_EQ(seen_.front(), "size " + std::to_string(client.right)) << "WM_SIZE gives the client area";
  // The system drew the frame: a dark outline, the caption, and the client's colour.
  EXPECT_EQ(ScreenAt(window.left, window.top + 10), Sys(COLOR_WINDOWFRAME));
  EXPECT_EQ(ScreenAt(window.right - 10, window.top + 5), Sys(COLOR_ACTIVECAPTION));
  EXPECT_EQ(ScreenAt(origin.x + 5, origin.y + 5), Sys(COLOR_WINDOW));
  sim::ScreenHit caption = sim::HitTestScreen(POINT{window.right - 10, window.top + 5});
  EXPECT_EQ(caption.window, hwnd);
  EXPECT_EQ(caption.part, sim::WindowPart::Caption);
  EXPECT_EQ(sim::HitTestScreen(POINT{origin.x + 5, origin.y + 5}).part, sim::WindowPart::Client);
  // The navigation bar lies above every window and takes the points it covers.
  EXPECT_EQ(sim::HitTestScreen(POINT{100, 5}).what.rfind(u"navigation bar", 0), 0u);
  EXPECT_EQ(WindowFromPoint(POINT{100, 5}), nullptr);
}

TEST_F(Frames, AScrollBarTakesItsWidthGoesWhenNotNeededAndScrollsWhenTapped) {
  HWND hwnd = make(WS_POPUP | WS_VISIBLE | WS_VSCROLL | WS_BORDER, 0, RECT{0, 26, 200, 226});
  RECT client{};
  GetClientRect(hwnd, &client);
  const int bar = GetSystemMetrics(SM_CXVSCROLL);
  EXPECT_EQ(client.right, 200 - bar - 2);
  seen_.clear();
  device_.start([&](HINSTANCE) {
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 95, 0};
    EXPECT_EQ(SetScrollInfo(hwnd, SB_VERT, &info, TRUE), 90) << "the position stops where the last page starts";
    return 0;
  });
  RECT thumbSide = sim::ScrollBarRect(*sim::WindowSystem::get().find(hwnd), true);
  // A tap on the lower arrow: a line down, then the end of the scroll.
  ASSERT_TRUE(sim::Input::get().tap(POINT{thumbSide.left + bar / 2 + 0, 26 + thumbSide.bottom - 2}));
  device_.runUntilIdle();
  EXPECT_EQ(seen_, (std::vector<std::string>{"vscroll 1", "vscroll 8"}));
  seen_.clear();
  device_.start([&](HINSTANCE) {
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE, 0, 9, 10, 0, 0};
    SetScrollInfo(hwnd, SB_VERT, &info, TRUE);
    return 0;
  });
  EXPECT_FALSE(GetWindowLongW(hwnd, GWL_STYLE) & WS_VSCROLL) << "a page holding the whole range needs no bar";
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, 198);
  EXPECT_EQ(seen_, (std::vector<std::string>{"size 198"}));
}

INT_PTR CALLBACK ColouringProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  static HBRUSH yellow = nullptr;
  switch (msg) {
    case WM_INITDIALOG:
      yellow = CreateSolidBrush(RGB(255, 255, 0));
      return TRUE;
    case WM_CTLCOLORSTATIC:
      if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) != 5) return FALSE;
      SetTextColor(reinterpret_cast<HDC>(wParam), RGB(255, 0, 0));
      return reinterpret_cast<INT_PTR>(yellow);
    case WM_CTLCOLORDLG: return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
    case WM_DESTROY: DeleteObject(yellow); return FALSE;
    default: return FALSE;
  }
}

TEST(ControlColours, ControlsPaintWithTheBrushTheirParentGivesAndGroupBoxesShowWhatIsInside) {
  test_support::TestDevice device;
  test_support::TemplateBuilder t(WS_POPUP | WS_VISIBLE | DS_CENTER, u"色", 140, 100);
  t.item(0x82, u"黄色", 5, SS_LEFT, 4, 4, 60, 12)
      .item(0x81, u"読むだけ", 6, WS_BORDER | ES_READONLY, 4, 20, 60, 14)
      .item(0x80, u"枠", -1, BS_GROUPBOX, 70, 4, 66, 60)
      .item(0x80, u"中", 7, BS_PUSHBUTTON, 80, 24, 40, 14);
  HWND dialog = nullptr;
  device.start([&](HINSTANCE instance) {
    dialog = CreateDialogIndirectParamW(instance, t.get(), nullptr, ColouringProc, 0);
    test_support::PumpMessages(dialog);
    return 0;
  });
  RECT label{}, readOnly{}, inside{}, dialogRect{};
  GetWindowRect(GetDlgItem(dialog, 5), &label);
  GetWindowRect(GetDlgItem(dialog, 6), &readOnly);
  GetWindowRect(GetDlgItem(dialog, 7), &inside);
  GetWindowRect(dialog, &dialogRect);
  EXPECT_EQ(ScreenAt(label.right - 2, label.bottom - 2), sim::OnScreen(RGB(255, 255, 0)));
  EXPECT_EQ(ScreenAt(dialogRect.left + 2, dialogRect.bottom - 2), RGB(255, 255, 255)) << "WM_CTLCOLORDLG";
  EXPECT_EQ(ScreenAt(readOnly.right - 3, readOnly.bottom - 3), Sys(COLOR_STATIC))
      << "a read-only edit asks WM_CTLCOLORSTATIC, which the dialog left to the system";
  const POINT middle{(inside.left + inside.right) / 2, (inside.top + inside.bottom) / 2};
  EXPECT_EQ(ScreenAt(inside.left + 2, inside.top + 2), Sys(COLOR_BTNFACE)) << "the button inside the group box shows";
  EXPECT_EQ(sim::HitTestScreen(middle).window, GetDlgItem(dialog, 7)) << "and takes the taps there";
  EXPECT_EQ(ChildWindowFromPointEx(dialog, POINT{8, 8}, CWP_SKIPINVISIBLE), GetDlgItem(dialog, 5));
  EXPECT_EQ(ChildWindowFromPointEx(dialog, POINT{2, 2}, CWP_ALL), dialog);
}

}  // namespace
