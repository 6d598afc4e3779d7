// The navigation bar: a surface of the system at the top of the screen.
#include <windows.h>

#include <string>

#include "shell/shell_screen.h"
#include "shell/shell_surfaces.h"
#include "user/draw.h"
#include "user/message_queue.h"
#include "user/screen_layout.h"
#include "user/window.h"

namespace sim {

namespace {

constexpr int kStartWidth = 26;
constexpr int kOkWidth = 28;
constexpr int kClockWidth = 34;
constexpr int kGap = 3;

Window* Front() { return WindowSystem::get().foreground(); }

bool FrontWantsOk() {
  Window* front = Front();
  return front && (front->exStyle & WS_EX_CAPTIONOKBTN);
}

// The clock shows hours and minutes: the minute of the day is what it shows.
int ClockMinute() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return now.wHour * 60 + now.wMinute;
}

std::u16string ClockText(int minute) {
  char16_t text[8];
  _snwprintf(text, 8, u"%d:%02d", minute / 60, minute % 60);
  text[7] = 0;
  return text;
}

// The start symbol of this device: a white four-pointed star on a round blue field
// edged in white.
void DrawStartSymbol(HDC dc, const RECT& box) {
  const int s = Scaled(1);
  const int size = 18 * s;
  const int x0 = box.left + (box.right - box.left - size) / 2, y0 = box.top + (box.bottom - box.top - size) / 2;
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(WHITE_PEN));
  HGDIOBJ oldBrush = SelectObject(dc, GetSysColorBrush(COLOR_GRADIENTACTIVECAPTION));
  Ellipse(dc, x0, y0, x0 + size, y0 + size);
  SelectObject(dc, GetStockObject(WHITE_BRUSH));
  SelectObject(dc, GetStockObject(NULL_PEN));
  const int c = size / 2;
  POINT star[8] = {{x0 + c, y0 + 2 * s},        {x0 + c + 2 * s, y0 + c - 2 * s}, {x0 + size - 2 * s, y0 + c},
                   {x0 + c + 2 * s, y0 + c + 2 * s}, {x0 + c, y0 + size - 2 * s},    {x0 + c - 2 * s, y0 + c + 2 * s},
                   {x0 + 2 * s, y0 + c},            {x0 + c - 2 * s, y0 + c - 2 * s}};
  Polygon(dc, star, 8);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
}

void DrawOkButton(HDC dc, const RECT& ok) {
  const int s = Scaled(1);
  RECT face{ok.left, ok.top + 3 * s, ok.right, ok.bottom - 3 * s};
  OutlineRect(dc, face, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)), s);
  DrawTextW(dc, u"OK", 2, &face, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
}

class NavigationBar final : public SystemSurface {
 public:
  int layer() const override { return 10; }
  Region area() const override { return Region(LayOutNavigationBar().bar); }

  void paint(HDC dc) override {
    NavigationBarLayout layout = LayOutNavigationBar();
    FillWithSysColor(dc, layout.bar, COLOR_ACTIVECAPTION);
    RECT line{layout.bar.left, layout.bar.bottom - Scaled(1), layout.bar.right, layout.bar.bottom};
    FillWithSysColor(dc, line, COLOR_WINDOWFRAME);
    // Each part stays inside its own rectangle: one the clip leaves out is not drawn.
    RECT clip{};
    GetClipBox(dc, &clip);
    auto shows = [&](const RECT& part) {
      RECT common;
      return IntersectRect(&common, &clip, &part) != FALSE;
    };
    if (shows(layout.start)) DrawStartSymbol(dc, layout.start);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
    HGDIOBJ font = UseSystemFont(dc);
    shown_ = contentNow();
    if (shows(layout.title))
      DrawTextW(dc, shown_.title.c_str(), -1, &layout.title, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    if (shows(layout.clock)) {
      std::u16string clock = ClockText(shown_.clockMinute);
      DrawTextW(dc, clock.c_str(), -1, &layout.clock, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    }
    if (shown_.ok && shows(layout.ok)) DrawOkButton(dc, layout.ok);
    SelectObject(dc, font);
  }

  // Draws again only what changed: the title as the front window changes, the clock
  // as the minutes pass; the OK button coming or going moves both. It runs after
  // every change of the screen, so it compares without copying the title.
  void refresh() override {
    Window* front = Front();
    const std::u16string noTitle;
    const std::u16string& title = front ? front->text : noTitle;
    if (title == shown_.title && ClockMinute() == shown_.clockMinute && FrontWantsOk() == shown_.ok) return;
    Content now = contentNow();
    NavigationBarLayout layout = LayOutNavigationBar();
    Region damage;
    if (now.ok != shown_.ok) damage = Region(layout.bar);
    if (now.title != shown_.title) damage = damage.united(Region(layout.title));
    if (now.clockMinute != shown_.clockMinute) damage = damage.united(Region(layout.clock));
    shown_ = now;
    ScreenLayout::get().repaintSurface(*this, damage);
  }

  std::u16string describe(POINT screen) const override {
    NavigationBarLayout layout = LayOutNavigationBar();
    if (!IsRectEmpty(&layout.ok) && PtInRect(&layout.ok, screen)) return u"navigation bar: OK";
    if (PtInRect(&layout.start, screen)) return u"navigation bar: start";
    if (PtInRect(&layout.clock, screen)) return u"navigation bar: clock " + ClockText(ClockMinute());
    return u"navigation bar: title \"" + contentNow().title + u"\"";
  }

  bool tap(POINT screen) override {
    NavigationBarLayout layout = LayOutNavigationBar();
    if (Window* front = Front(); front && !IsRectEmpty(&layout.ok) && PtInRect(&layout.ok, screen))
      PostFromSystem(front->handle, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
    return true;
  }

 private:
  struct Content {
    std::u16string title;
    int clockMinute = -1;
    bool ok = false;
    bool operator==(const Content& other) const = default;
  };
  static Content contentNow() {
    Window* front = Front();
    return Content{front ? front->text : std::u16string(), ClockMinute(), FrontWantsOk()};
  }
  Content shown_;
};

}  // namespace

NavigationBarLayout LayOutNavigationBar() {
  const WindowSystem& windows = WindowSystem::get();
  const int s = windows.scale();
  NavigationBarLayout layout;
  layout.bar = RECT{0, 0, windows.screenWidth(), WindowSystem::kTitleBarHeight * s};
  layout.start = RECT{0, 0, kStartWidth * s, layout.bar.bottom};
  LONG right = layout.bar.right - kGap * s;
  if (FrontWantsOk()) {
    layout.ok = RECT{right - kOkWidth * s, 0, right, layout.bar.bottom};
    right = layout.ok.left - kGap * s;
  }
  layout.clock = RECT{right - kClockWidth * s, 0, right, layout.bar.bottom};
  layout.title = RECT{layout.start.right + kGap * s, 0, layout.clock.left - kGap * s, layout.bar.bottom};
  return layout;
}

std::unique_ptr<SystemSurface> MakeNavigationBar() { return std::make_unique<NavigationBar>(); }

}  // namespace sim
