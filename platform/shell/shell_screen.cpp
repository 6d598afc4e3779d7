// The desktop below every window, the look every menu bar shares and the input
// panel button, and the installation of the shell's surfaces.
#include "shell/shell_screen.h"

#include "shell/shell_surfaces.h"
#include "user/draw.h"
#include "user/screen_layout.h"
#include "user/window.h"

namespace sim {

namespace {

constexpr int kInputPanelButtonWidth = 24;

RECT BottomBar() {
  const WindowSystem& windows = WindowSystem::get();
  const int height = WindowSystem::kMenuBarHeight * windows.scale();
  return RECT{0, windows.screenHeight() - height, windows.screenWidth(), windows.screenHeight()};
}

class Desktop final : public SystemSurface {
 public:
  int layer() const override { return -10; }
  Region area() const override {
    const WindowSystem& windows = WindowSystem::get();
    return Region(RECT{0, 0, windows.screenWidth(), windows.screenHeight()});
  }
  void paint(HDC dc) override {
    const WindowSystem& windows = WindowSystem::get();
    RECT bar = BottomBar();
    RECT above{0, 0, windows.screenWidth(), bar.top};
    FillWithSysColor(dc, above, COLOR_BACKGROUND);
    DrawMenuBarFace(dc, bar);
    DrawInputPanelButton(dc, InputPanelButtonRect(bar));
    drawnRaised_ = windows.inputPanel().raised;
  }
  // The input panel button shows whether the panel is up.
  void refresh() override {
    const bool raised = WindowSystem::get().inputPanel().raised;
    if (raised == drawnRaised_) return;
    drawnRaised_ = raised;
    ScreenLayout::get().repaintSurface(*this, Region(InputPanelButtonRect(BottomBar())));
  }
  std::u16string describe(POINT screen) const override {
    RECT button = InputPanelButtonRect(BottomBar());
    return PtInRect(&button, screen) ? u"desktop: input panel button" : u"desktop";
  }
  bool tap(POINT screen) override {
    RECT button = InputPanelButtonRect(BottomBar());
    if (!PtInRect(&button, screen)) return false;
    ToggleInputPanel();
    return true;
  }

 private:
  bool drawnRaised_ = false;
};

}  // namespace

void InstallShellSurfaces(ScreenLayout& layout) {
  layout.addSurface(MakeNavigationBar());
  layout.addSurface(MakeInputPanel());
  layout.addSurface(MakeDesktop());
}

std::unique_ptr<SystemSurface> MakeDesktop() { return std::make_unique<Desktop>(); }

RECT InputPanelButtonRect(const RECT& bar) {
  return RECT{bar.right - Scaled(kInputPanelButtonWidth), bar.top, bar.right, bar.bottom};
}

// A small keyboard: an outlined body with two rows of keys and a space bar, shown
// pressed while the panel is up.
void DrawInputPanelButton(HDC dc, const RECT& button) {
  const int s = Scaled(1);
  const bool raised = WindowSystem::get().inputPanel().raised;
  RECT face{button.left + s, button.top + 2 * s, button.right - s, button.bottom - s};
  if (raised) FillWithSysColor(dc, face, COLOR_HIGHLIGHT);
  COLORREF ink = GetSysColor(raised ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT);
  HBRUSH brush = CreateSolidBrush(ink);
  const int width = 16 * s, height = 11 * s;
  const int x = face.left + (face.right - face.left - width) / 2, y = face.top + (face.bottom - face.top - height) / 2;
  OutlineRect(dc, RECT{x, y, x + width, y + height}, brush, s);
  for (int row = 0; row < 2; ++row)
    for (int column = 0; column < 5; ++column) {
      RECT key{x + (2 + 3 * column) * s, y + (2 + 3 * row) * s, x + (3 + 3 * column) * s, y + (3 + 3 * row) * s};
      FillRect(dc, &key, brush);
    }
  RECT space{x + 4 * s, y + 8 * s, x + 12 * s, y + 9 * s};
  FillRect(dc, &space, brush);
  DeleteObject(brush);
}

void ToggleInputPanel() {
  WindowSystem& windows = WindowSystem::get();
  windows.setInputPanel(!windows.inputPanel().raised);
}

void DrawMenuBarFace(HDC dc, const RECT& bar) {
  FillWithSysColor(dc, bar, COLOR_BTNFACE);
  RECT line{bar.left, bar.top, bar.right, bar.top + Scaled(1)};
  FillWithSysColor(dc, line, COLOR_BTNSHADOW);
}

}  // namespace sim
