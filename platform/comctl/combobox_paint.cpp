// The combo box's field and drop button, and the list window it drops.
#include "comctl/combobox_paint.h"

#include <algorithm>

#include "comctl/notify.h"
#include "user/draw.h"

namespace sim {

namespace {

// The combo box a list window belongs to.
HWND ComboOf(HWND list) { return reinterpret_cast<HWND>(GetWindowLongW(list, GWL_USERDATA)); }

// The first entry the list shows: the selection is always in sight.
int FirstShown(const ComboBoxState& s, int rows) { return std::max(0, s.selection - rows + 1); }

int RowsOf(HWND list) {
  RECT client{};
  GetClientRect(list, &client);
  return std::max(1, static_cast<int>(client.bottom) / ComboItemHeight());
}

void PaintList(HWND list, const ComboBoxState& s) {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(list, &paint);
  RECT client{};
  GetClientRect(list, &client);
  FillWithSysColor(dc, client, COLOR_WINDOW);
  HGDIOBJ font = UseSystemFont(dc);
  SetBkMode(dc, TRANSPARENT);
  const int rows = RowsOf(list), first = FirstShown(s, rows);
  for (int i = first; i < std::min(first + rows, static_cast<int>(s.entries.size())); ++i) {
    RECT row{0, (i - first) * ComboItemHeight(), client.right, (i - first + 1) * ComboItemHeight()};
    const bool selected = i == s.selection;
    if (selected) FillWithSysColor(dc, row, COLOR_HIGHLIGHT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    InflateRect(&row, -Scaled(2), 0);
    const std::u16string& text = s.entries[static_cast<std::size_t>(i)].text;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &row,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  SelectObject(dc, font);
  EndPaint(list, &paint);
}

// A tap on an entry picks it; the combo box's own procedure closes the list.
void Pick(HWND list, const ComboBoxState& s, POINT point) {
  HWND combo = ComboOf(list);
  const int index = FirstShown(s, RowsOf(list)) + static_cast<int>(point.y) / ComboItemHeight();
  if (index < 0 || index >= static_cast<int>(s.entries.size())) return;
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendCommandNotify(combo, CBN_SELCHANGE);
  SendCommandNotify(combo, CBN_SELENDOK);
  SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
}

}  // namespace

int ComboItemHeight() { return SystemLineHeight() + Scaled(4); }
int ComboFieldHeight() { return SystemLineHeight() + Scaled(6); }
int ComboButtonWidth() { return Scaled(13); }

void PaintComboBox(HWND hwnd, const ComboBoxState& s) {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(hwnd, &paint);
  RECT client{};
  GetClientRect(hwnd, &client);
  FillWithSysColor(dc, client, IsWindowEnabled(hwnd) ? COLOR_WINDOW : COLOR_BTNFACE);
  OutlineRect(dc, client, GetSysColorBrush(COLOR_WINDOWFRAME));
  RECT button{client.right - ComboButtonWidth(), client.top + 1, client.right - 1, client.bottom - 1};
  FillWithSysColor(dc, button, COLOR_BTNFACE);
  DrawEdge(dc, &button, s.dropped ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  DrawArrowDown(dc, button, GetSysColor(IsWindowEnabled(hwnd) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  if (!s.edit && s.selection >= 0 && s.selection < static_cast<int>(s.entries.size())) {
    RECT field{client.left + Scaled(2), client.top + Scaled(2), button.left - Scaled(1), client.bottom - Scaled(2)};
    const bool focused = GetFocus() == hwnd;
    if (focused) FillWithSysColor(dc, field, COLOR_HIGHLIGHT);
    HGDIOBJ font = UseSystemFont(dc);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(focused ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    InflateRect(&field, -Scaled(1), 0);
    const std::u16string& text = s.entries[static_cast<std::size_t>(s.selection)].text;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &field,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, font);
  }
  EndPaint(hwnd, &paint);
}

void ShowComboList(HWND combo, ComboBoxState& s, bool show) {
  if (!show) {
    if (s.list && IsWindow(s.list)) DestroyWindow(s.list);
    s.list = nullptr;
    InvalidateRect(combo, nullptr, TRUE);
    return;
  }
  if (s.list) return;
  RECT at{};
  GetWindowRect(combo, &at);
  const int rows = std::clamp(static_cast<int>(s.entries.size()), 1, std::max(1, s.listHeight / ComboItemHeight()));
  HWND owner = GetParent(combo);
  // The border grows with the screen: the list's client area holds exactly `rows`.
  RECT frame{0, 0, 0, rows * ComboItemHeight()};
  AdjustWindowRectEx(&frame, WS_POPUP | WS_BORDER, FALSE, WS_EX_NOACTIVATE);
  s.list = CreateWindowExW(WS_EX_NOACTIVATE, u"ComboLBox", u"", WS_POPUP | WS_BORDER, at.left, at.bottom,
                           at.right - at.left, frame.bottom - frame.top, owner, nullptr, nullptr, nullptr);
  if (!s.list) return;
  SetWindowLongW(s.list, GWL_USERDATA, reinterpret_cast<LONG>(combo));
  ShowWindow(s.list, SW_SHOWNOACTIVATE);
  InvalidateRect(combo, nullptr, TRUE);
}

LRESULT CALLBACK ComboListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND combo = ComboOf(hwnd);
  auto state = combo ? FindComboBox(combo) : nullptr;
  if (!state) return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_PAINT: PaintList(hwnd, *state); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN: Pick(hwnd, *state, PointOf(lParam)); return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace sim
