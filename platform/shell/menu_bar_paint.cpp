// How a menu bar looks: its face, its buttons (text or an image of the toolbar's
// image list; a pressed, checked or open button in the highlight colour, a disabled
// one grayed) and the input panel button at its right end.
//
// The buttons are the toolbar's: the menu bar draws them in the shell's look by
// taking the toolbar's painting over (its window procedure is wrapped), while the
// toolbar keeps doing everything else, so a tap meets the button drawn there.
#include "shell/menu_bar_paint.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "shell/shell_screen.h"
#include "user/draw.h"
#include "user/window.h"

namespace sim {

namespace {

struct MenuBarButtons {
  WNDPROC toolbarProc = nullptr;
  int openCommand = -1;  // the button whose menu is open
};

MenuBarButtons* ButtonsOf(HWND toolbar) {
  Window* window = WindowSystem::get().find(toolbar);
  return window ? window->findState<MenuBarButtons>() : nullptr;
}

// The toolbar's own procedure: messages sent for drawing must not reach the wrapper,
// which takes a program's change of a button as a reason to paint again.
LRESULT AskToolbar(HWND toolbar, UINT message, WPARAM wParam, LPARAM lParam) {
  MenuBarButtons* state = ButtonsOf(toolbar);
  return state ? CallWindowProcW(state->toolbarProc, toolbar, message, wParam, lParam)
               : SendMessageW(toolbar, message, wParam, lParam);
}

struct ShownButton {
  TBBUTTON record{};
  std::u16string label;
};

std::vector<ShownButton> ShownButtons(HWND toolbar) {
  std::vector<ShownButton> out(static_cast<std::size_t>(std::max<LRESULT>(0, AskToolbar(toolbar, TB_BUTTONCOUNT, 0, 0))));
  for (std::size_t i = 0; i < out.size(); ++i) {
    AskToolbar(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&out[i].record));
    const WPARAM command = static_cast<WPARAM>(out[i].record.idCommand);
    const LRESULT length = AskToolbar(toolbar, TB_GETBUTTONTEXTW, command, 0);
    if (length <= 0) continue;
    out[i].label.resize(static_cast<std::size_t>(length) + 1);
    AskToolbar(toolbar, TB_GETBUTTONTEXTW, command, reinterpret_cast<LPARAM>(out[i].label.data()));
    out[i].label.resize(static_cast<std::size_t>(length));
  }
  return out;
}

void DrawButton(HDC dc, HWND toolbar, const ShownButton& shown, const RECT& rect, bool open) {
  const TBBUTTON& button = shown.record;
  const bool enabled = (button.fsState & TBSTATE_ENABLED) != 0;
  const bool down = enabled && (open || (button.fsState & (TBSTATE_PRESSED | TBSTATE_CHECKED)));
  if (down) FillWithSysColor(dc, rect, COLOR_HIGHLIGHT);
  if (!shown.label.empty()) {
    SetTextColor(dc, GetSysColor(!enabled ? COLOR_GRAYTEXT : (down ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT)));
    RECT text = rect;
    DrawTextW(dc, shown.label.c_str(), -1, &text, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    return;
  }
  auto images = reinterpret_cast<HIMAGELIST>(AskToolbar(toolbar, TB_GETIMAGELIST, 0, 0));
  int width = 0, height = 0;
  if (!images || button.iBitmap < 0 || !ImageList_GetIconSize(images, &width, &height)) return;
  ImageList_Draw(images, button.iBitmap, dc, rect.left + (rect.right - rect.left - width) / 2,
                 rect.top + (rect.bottom - rect.top - height) / 2, ILD_TRANSPARENT);
}

void PaintButtons(HWND toolbar) {
  MenuBarButtons* state = ButtonsOf(toolbar);
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(toolbar, &paint);
  RECT client{};
  GetClientRect(toolbar, &client);
  DrawMenuBarFace(dc, client);
  SetBkMode(dc, TRANSPARENT);
  HGDIOBJ font = UseSystemFont(dc);
  auto buttons = ShownButtons(toolbar);
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    const TBBUTTON& button = buttons[i].record;
    if ((button.fsStyle & TBSTYLE_SEP) || (button.fsState & TBSTATE_HIDDEN)) continue;
    RECT rect{};
    AskToolbar(toolbar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rect));
    DrawButton(dc, toolbar, buttons[i], rect, button.idCommand == state->openCommand);
  }
  SelectObject(dc, font);
  EndPaint(toolbar, &paint);
}

LRESULT CALLBACK MenuBarButtonsProc(HWND toolbar, UINT message, WPARAM wParam, LPARAM lParam) {
  MenuBarButtons* state = ButtonsOf(toolbar);
  if (!state) return DefWindowProcW(toolbar, message, wParam, lParam);
  switch (message) {
    case WM_PAINT: PaintButtons(toolbar); return 0;
    case WM_ERASEBKGND: return 1;
    default: break;
  }
  WNDPROC toolbarProc = state->toolbarProc;
  LRESULT result = CallWindowProcW(toolbarProc, toolbar, message, wParam, lParam);
  // A tap or a program's change may press, check, enable or add a button.
  const bool changes = message == WM_LBUTTONDOWN || message == WM_LBUTTONUP || message == WM_LBUTTONDBLCLK ||
                       (message >= WM_USER && message < WM_USER + 0x100);
  if (changes && IsWindow(toolbar)) InvalidateRect(toolbar, nullptr, FALSE);
  return result;
}

}  // namespace

void TakeOverMenuBarButtons(HWND toolbar) {
  Window* window = WindowSystem::get().find(toolbar);
  if (!window) return;
  MenuBarButtons& state = window->state<MenuBarButtons>();
  state.toolbarProc = window->proc;
  // Set on the record: the wrapper is the platform's, not the calling program's.
  window->proc = MenuBarButtonsProc;
}

// A button of TBSTYLE_AUTOSIZE is as wide as its own label needs (the toolbar sizes
// it); every other button is as wide as the widest label among them, and an image
// button as wide as its image with a margin, so the bar's images take no more room
// than they show.
void FitMenuBarButtons(HWND toolbar) {
  int common = Scaled(24);
  auto images = reinterpret_cast<HIMAGELIST>(AskToolbar(toolbar, TB_GETIMAGELIST, 0, 0));
  int imageWidth = 0, imageHeight = 0;
  if (images && ImageList_GetIconSize(images, &imageWidth, &imageHeight))
    common = std::max(common, imageWidth + Scaled(8));
  for (const ShownButton& button : ShownButtons(toolbar))
    if (!(button.record.fsStyle & (TBSTYLE_SEP | TBSTYLE_AUTOSIZE)) && !button.label.empty())
      common = std::max(common, SystemTextWidth(button.label, DT_SINGLELINE | DT_NOPREFIX) + Scaled(12));
  RECT client{};
  GetClientRect(toolbar, &client);
  const int height = std::max(1, static_cast<int>(client.bottom) - 4);
  SendMessageW(toolbar, TB_SETBUTTONSIZE, 0, MAKELPARAM(common, height));
}

void ShowMenuOpen(HWND toolbar, int command) {
  MenuBarButtons* state = ButtonsOf(toolbar);
  if (!state || state->openCommand == command) return;
  state->openCommand = command;
  InvalidateRect(toolbar, nullptr, FALSE);
}

void PaintMenuBar(HWND bar) {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(bar, &paint);
  RECT client{};
  GetClientRect(bar, &client);
  DrawMenuBarFace(dc, client);
  DrawInputPanelButton(dc, InputPanelButtonRect(client));
  EndPaint(bar, &paint);
}

}  // namespace sim
