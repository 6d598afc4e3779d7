// The BUTTON window procedure. A click (a tap released over the button, Space, or
// BM_CLICK) first updates an automatic check box or radio button, then tells the
// parent with BN_CLICKED.
#include "user/button.h"

#include <string>

#include "user/system_classes.h"
#include "user/window.h"

namespace sim {

namespace {

ButtonState* StateOf(HWND hwnd) {
  Window* window = WindowSystem::get().find(hwnd);
  return window ? &window->state<ButtonState>() : nullptr;
}

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)); }

LRESULT DialogCode(DWORD style) {
  switch (ButtonType(style)) {
    case BS_DEFPUSHBUTTON: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    case BS_PUSHBUTTON: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return DLGC_BUTTON | DLGC_RADIOBUTTON;
    case BS_GROUPBOX: return DLGC_STATIC;
    default: return DLGC_BUTTON;
  }
}

// A checked automatic radio button is the group's tab stop; the others are not, so
// Tab enters a group at its marked button.
void Redraw(HWND hwnd) { InvalidateRect(hwnd, nullptr, TRUE); }

void SetCheck(HWND hwnd, ButtonState& state, UINT check) {
  DWORD style = StyleOf(hwnd);
  UINT type = ButtonType(style);
  if (IsPushType(type) || type == BS_GROUPBOX || type == BS_OWNERDRAW) return;
  if (check == BST_INDETERMINATE && type != BS_3STATE && type != BS_AUTO3STATE) check = BST_CHECKED;
  if (check > BST_INDETERMINATE) check = BST_CHECKED;
  if (state.check != check) Redraw(hwnd);
  state.check = check;
  if (type == BS_AUTORADIOBUTTON) {
    DWORD tabbed = check ? (style | WS_TABSTOP) : (style & ~static_cast<DWORD>(WS_TABSTOP));
    if (tabbed != style) SetWindowLongW(hwnd, GWL_STYLE, static_cast<LONG>(tabbed));
  }
}

// Marks this radio button and clears every other radio button of its group.
void CheckInGroup(HWND hwnd) {
  HWND parent = GetParent(hwnd);
  if (!parent) return;
  HWND sibling = hwnd;
  do {
    sibling = GetNextDlgGroupItem(parent, sibling, FALSE);
    if (!sibling || sibling == hwnd) break;
    if ((SendMessageW(sibling, WM_GETDLGCODE, 0, 0) & (DLGC_RADIOBUTTON | DLGC_BUTTON)) ==
        (DLGC_RADIOBUTTON | DLGC_BUTTON))
      SendMessageW(sibling, BM_SETCHECK, BST_UNCHECKED, 0);
  } while (true);
  SendMessageW(hwnd, BM_SETCHECK, BST_CHECKED, 0);
}

void Click(HWND hwnd) {
  ButtonState* state = StateOf(hwnd);
  if (!state) return;
  switch (ButtonType(StyleOf(hwnd))) {
    case BS_AUTOCHECKBOX:
      SendMessageW(hwnd, BM_SETCHECK, state->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
      break;
    case BS_AUTO3STATE:
      SendMessageW(hwnd, BM_SETCHECK, (state->check + 1) % 3, 0);
      break;
    case BS_AUTORADIOBUTTON:
      CheckInGroup(hwnd);
      break;
    case BS_GROUPBOX:
      return;
    default:
      break;
  }
  NotifyParent(hwnd, BN_CLICKED);
}

bool InsideClient(HWND hwnd, LPARAM lParam) {
  RECT client{};
  GetClientRect(hwnd, &client);
  int x = GET_X_LPARAM(lParam);
  int y = GET_Y_LPARAM(lParam);
  return x >= client.left && x < client.right && y >= client.top && y < client.bottom;
}

void SetPushed(HWND hwnd, ButtonState& state, bool pushed) {
  if (state.pushed != pushed) Redraw(hwnd);
  state.pushed = pushed;
}

LRESULT SetImage(HWND hwnd, ButtonState& state, WPARAM type, LPARAM image) {
  if (type != IMAGE_ICON && type != IMAGE_BITMAP) return 0;
  HANDLE previous = state.image;
  state.image = reinterpret_cast<HANDLE>(image);
  Redraw(hwnd);
  return reinterpret_cast<LRESULT>(previous);
}

void Press(HWND hwnd, ButtonState& state) {
  if (ButtonType(StyleOf(hwnd)) == BS_GROUPBOX) return;
  SetPushed(hwnd, state, true);
  if (GetFocus() != hwnd) SetFocus(hwnd);
}

// Capture is let go before the click: what the click starts (a dialog, a message box)
// must receive taps of its own.
void Release(HWND hwnd, ButtonState& state, LPARAM point) {
  bool over = InsideClient(hwnd, point);
  bool wasPushed = state.pushed;
  SetPushed(hwnd, state, false);
  if (GetCapture() == hwnd) ReleaseCapture();
  if (wasPushed && over) Click(hwnd);
}

}  // namespace

namespace {

// The BM_ messages: the button's check, state, style and image.
LRESULT OnButtonMessage(HWND hwnd, ButtonState& state, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case BM_GETCHECK:
      return state.check;
    case BM_SETCHECK:
      SetCheck(hwnd, state, static_cast<UINT>(wParam));
      return 0;
    case BM_GETSTATE:
      return state.check | (state.pushed ? BST_PUSHED : 0) | (state.focused ? BST_FOCUS : 0);
    case BM_SETSTATE:
      SetPushed(hwnd, state, wParam != 0);
      return 0;
    case BM_SETSTYLE: {
      DWORD style = StyleOf(hwnd);
      SetWindowLongW(hwnd, GWL_STYLE, static_cast<LONG>((style & 0xFFFF0000u) | LOWORD(wParam)));
      if (Window* window = WindowSystem::get().find(hwnd)) ShapeGroupBox(*window);
      if (lParam) Redraw(hwnd);
      return 0;
    }
    case BM_SETIMAGE:
      return SetImage(hwnd, state, wParam, lParam);
    case BM_GETIMAGE:
      return reinterpret_cast<LRESULT>(state.image);
    case BM_CLICK:
      if (!IsWindowEnabled(hwnd)) return 0;
      SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
      SendMessageW(hwnd, WM_LBUTTONUP, 0, 0);
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

void OnFocus(HWND hwnd, ButtonState& state, bool focused) {
  state.focused = focused;
  if (!focused) state.pushed = false;
  Redraw(hwnd);
  if (StyleOf(hwnd) & BS_NOTIFY) NotifyParent(hwnd, focused ? BN_SETFOCUS : BN_KILLFOCUS);
}

}  // namespace

LRESULT CALLBACK ButtonWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  ButtonState* state = StateOf(hwnd);
  if (!state) return DefWindowProcW(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_GETDLGCODE:
      return DialogCode(StyleOf(hwnd));
    case WM_CREATE:
      if (Window* window = WindowSystem::get().find(hwnd)) ShapeGroupBox(*window);
      return 0;
    case WM_PAINT:
      PaintButton(hwnd, *state);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_ENABLE:
      Redraw(hwnd);
      return 0;
    case WM_SETTEXT: {
      LRESULT result = DefWindowProcW(hwnd, msg, wParam, lParam);
      Redraw(hwnd);
      return result;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      Press(hwnd, *state);
      if (state->pushed) SetCapture(hwnd);
      return 0;
    case WM_LBUTTONUP:
      Release(hwnd, *state, lParam);
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE && ButtonType(StyleOf(hwnd)) != BS_GROUPBOX) SetPushed(hwnd, *state, true);
      return 0;
    case WM_KEYUP:
      if (wParam == VK_SPACE && state->pushed) {
        SetPushed(hwnd, *state, false);
        Click(hwnd);
      }
      return 0;
    case WM_CHAR:
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      OnFocus(hwnd, *state, msg == WM_SETFOCUS);
      return 0;
    default:
      return OnButtonMessage(hwnd, *state, msg, wParam, lParam);
  }
}

}  // namespace sim
