#include "comctl/toolbar.h"

#include <algorithm>
#include <cstring>

#include "comctl/control_table.h"
#include "comctl/notify.h"
#include "comctl/toolbar_paint.h"
#include "user/draw.h"

namespace sim {

namespace {

using Table = ControlTable<ToolbarState>;

int Count(const ToolbarState& s) { return static_cast<int>(s.buttons.size()); }
bool Valid(const ToolbarState& s, int index) { return index >= 0 && index < Count(s); }

int IndexOfCommand(const ToolbarState& s, int command) {
  for (int i = 0; i < Count(s); ++i)
    if (!(s.buttons[static_cast<std::size_t>(i)].style & TBSTYLE_SEP) && s.buttons[static_cast<std::size_t>(i)].command == command)
      return i;
  return -1;
}

ToolbarButton* ByCommand(ToolbarState& s, WPARAM command) {
  int index = IndexOfCommand(s, static_cast<int>(command));
  return index < 0 ? nullptr : &s.buttons[static_cast<std::size_t>(index)];
}

// A button record as the program laid it out, read with the record size it declared.
TBBUTTON ReadButton(const ToolbarState& s, const BYTE* records, UINT index) {
  TBBUTTON button{};
  std::size_t size = std::min<std::size_t>(s.buttonStructSize, sizeof(TBBUTTON));
  std::memcpy(&button, records + static_cast<std::size_t>(index) * s.buttonStructSize, size);
  return button;
}

ToolbarButton MakeButton(const ToolbarState& s, const TBBUTTON& record) {
  ToolbarButton button;
  button.image = record.iBitmap;
  button.command = record.idCommand;
  button.state = record.fsState;
  button.style = record.fsStyle;
  button.data = record.dwData;
  button.string = record.iString;
  if (record.iString >= 0 && record.iString < static_cast<INT_PTR>(s.strings.size()))
    button.label = s.strings[static_cast<std::size_t>(record.iString)];
  else if (record.iString > 0xFFFF)  // a pointer to the button's own text
    button.label = reinterpret_cast<LPCWSTR>(record.iString);
  return button;
}

bool InsertButtons(ToolbarState& s, int index, UINT count, const void* records) {
  if (!records) return false;
  index = std::clamp(index, 0, Count(s));
  auto* bytes = static_cast<const BYTE*>(records);
  for (UINT i = 0; i < count; ++i)
    s.buttons.insert(s.buttons.begin() + index + static_cast<int>(i), MakeButton(s, ReadButton(s, bytes, i)));
  return true;
}

bool GetButton(const ToolbarState& s, int index, TBBUTTON* out) {
  if (!out || !Valid(s, index)) return false;
  const ToolbarButton& button = s.buttons[static_cast<std::size_t>(index)];
  TBBUTTON record{};
  record.iBitmap = button.image;
  record.idCommand = button.command;
  record.fsState = button.state;
  record.fsStyle = button.style;
  record.dwData = button.data;
  record.iString = button.string;
  std::memcpy(out, &record, std::min<std::size_t>(s.buttonStructSize, sizeof(TBBUTTON)));
  return true;
}

LRESULT SetStateBit(ToolbarState& s, WPARAM command, BYTE bit, bool on) {
  ToolbarButton* button = ByCommand(s, command);
  if (!button) return FALSE;
  button->state = on ? (button->state | bit) : (button->state & ~bit);
  return TRUE;
}

LRESULT StateBit(ToolbarState& s, WPARAM command, BYTE bit) {
  ToolbarButton* button = ByCommand(s, command);
  if (!button) return -1;
  return (button->state & bit) ? TRUE : FALSE;
}

// TB_ADDSTRINGW: a string resource, or a list of texts each ended by a zero and the
// whole ended by an empty one.
LRESULT AddStrings(ToolbarState& s, HINSTANCE instance, LPARAM lParam) {
  int first = static_cast<int>(s.strings.size());
  if (instance) {
    WCHAR buffer[256] = {};
    LoadStringW(instance, static_cast<UINT>(lParam), buffer, 256);
    s.strings.emplace_back(buffer);
    return first;
  }
  auto* text = reinterpret_cast<const WCHAR*>(lParam);
  if (!text) return -1;
  while (*text) {
    std::u16string one(text);
    text += one.size() + 1;
    s.strings.push_back(std::move(one));
  }
  return first;
}

int WidthOf(const ToolbarState& s, const ToolbarButton& button) {
  if (button.state & TBSTATE_HIDDEN) return 0;
  if (button.style & TBSTYLE_SEP) return button.image > 0 ? button.image : kToolbarSeparatorWidth;
  if ((button.style & TBSTYLE_AUTOSIZE) && !button.label.empty())
    return std::max(s.buttonWidth, SystemTextWidth(button.label, DT_SINGLELINE | DT_NOPREFIX) + Scaled(12));
  return s.buttonWidth;
}

RECT ButtonRect(const ToolbarState& s, int index) {
  LONG x = 0;
  for (int i = 0; i < index; ++i) x += WidthOf(s, s.buttons[static_cast<std::size_t>(i)]);
  return RECT{x, 2, x + WidthOf(s, s.buttons[static_cast<std::size_t>(index)]), 2 + s.buttonHeight};
}

int HitTest(const ToolbarState& s, POINT point) {
  for (int i = 0; i < Count(s); ++i) {
    RECT rect = ButtonRect(s, i);
    if (point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom) return i;
  }
  return -1;
}

// A check-group button is checked alone among its neighbours of the same group style.
void CheckInGroup(ToolbarState& s, int index) {
  auto inGroup = [&](int i) { return Valid(s, i) && (s.buttons[static_cast<std::size_t>(i)].style & TBSTYLE_CHECKGROUP) == TBSTYLE_CHECKGROUP; };
  for (int i = index - 1; inGroup(i); --i) s.buttons[static_cast<std::size_t>(i)].state &= ~TBSTATE_CHECKED;
  for (int i = index + 1; inGroup(i); ++i) s.buttons[static_cast<std::size_t>(i)].state &= ~TBSTATE_CHECKED;
  s.buttons[static_cast<std::size_t>(index)].state |= TBSTATE_CHECKED;
}

bool Pressable(const ToolbarState& s, int index) {
  if (!Valid(s, index)) return false;
  const ToolbarButton& button = s.buttons[static_cast<std::size_t>(index)];
  return !(button.style & TBSTYLE_SEP) && (button.state & TBSTATE_ENABLED) && !(button.state & TBSTATE_HIDDEN);
}

void OnButtonDown(HWND hwnd, ToolbarState& s, POINT point) {
  int index = HitTest(s, point);
  if (!Pressable(s, index)) return;
  ToolbarButton& button = s.buttons[static_cast<std::size_t>(index)];
  if (button.style & TBSTYLE_DROPDOWN) {
    NMTOOLBARW drop{};
    drop.iItem = button.command;
    drop.rcButton = ButtonRect(s, index);
    SendNotify(hwnd, TBN_DROPDOWN, &drop.hdr);
    return;
  }
  button.state |= TBSTATE_PRESSED;
  s.pressed = index;
}

// The command goes out when the finger leaves the button it went down on.
void OnButtonUp(HWND hwnd, ToolbarState& s, POINT point) {
  int index = s.pressed;
  s.pressed = -1;
  if (!Valid(s, index)) return;
  ToolbarButton& button = s.buttons[static_cast<std::size_t>(index)];
  button.state &= ~TBSTATE_PRESSED;
  if (HitTest(s, point) != index || !Pressable(s, index)) return;
  if ((button.style & TBSTYLE_CHECKGROUP) == TBSTYLE_CHECKGROUP)
    CheckInGroup(s, index);
  else if (button.style & TBSTYLE_CHECK)
    button.state ^= TBSTATE_CHECKED;
  int command = button.command;
  if (HWND parent = GetParent(hwnd))
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), reinterpret_cast<LPARAM>(hwnd));
}

// ---- messages ----------------------------------------------------------------------

bool DeleteButton(ToolbarState& s, int index) {
  if (!Valid(s, index)) return false;
  s.buttons.erase(s.buttons.begin() + index);
  return true;
}

// TB_ADDBITMAP: the bitmap (a resource of the module, or a bitmap handle without one)
// is cut into images of the bitmap size, its button-face grey transparent, into the
// toolbar's own image list, which TB_GETIMAGELIST then gives; the index the first of
// them gets.
int AddBitmap(ToolbarState& s, int count, const TBADDBITMAP* added) {
  int first = s.imageCount;
  s.imageCount += count;
  if (!added || (s.imageList && s.imageList != s.ownImages)) return first;
  HBITMAP loaded = added->hInst ? LoadBitmapW(added->hInst, MAKEINTRESOURCEW(added->nID)) : nullptr;
  HBITMAP bitmap = added->hInst ? loaded : reinterpret_cast<HBITMAP>(added->nID);
  if (!s.ownImages)
    s.ownImages = ImageList_Create(s.bitmapSize.cx, s.bitmapSize.cy, ILC_COLOR | ILC_MASK, std::max(count, 1), 4);
  s.imageList = s.ownImages;
  if (bitmap && s.ownImages) ImageList_AddMasked(s.ownImages, bitmap, RGB(192, 192, 192));
  if (loaded) DeleteObject(loaded);
  return first;
}

bool SetBitmapSize(ToolbarState& s, int width, int height) {
  if (s.ownImages) return false;
  s.bitmapSize = SIZE{std::max(width, 1), std::max(height, 1)};
  return true;
}

bool CheckButton(ToolbarState& s, WPARAM command, bool check) {
  ToolbarButton* button = ByCommand(s, command);
  if (!button) return false;
  if (check && (button->style & TBSTYLE_CHECKGROUP) == TBSTYLE_CHECKGROUP)
    CheckInGroup(s, IndexOfCommand(s, static_cast<int>(command)));
  else
    SetStateBit(s, command, TBSTATE_CHECKED, check);
  return true;
}

bool SetState(ToolbarState& s, WPARAM command, BYTE state) {
  ToolbarButton* button = ByCommand(s, command);
  if (!button) return false;
  button->state = state;
  return true;
}

LRESULT GetState(ToolbarState& s, WPARAM command) {
  ToolbarButton* button = ByCommand(s, command);
  return button ? button->state : -1;
}

bool GetItemRect(const ToolbarState& s, int index, RECT* rect) {
  if (!rect || !Valid(s, index)) return false;
  *rect = ButtonRect(s, index);
  return true;
}

bool SetButtonSize(ToolbarState& s, int width, int height) {
  s.buttonWidth = std::max(width, 1);
  s.buttonHeight = std::max(height, 1);
  return true;
}

// The label of the button of `command` into `buffer` (null asks for its length):
// its length without the terminating zero, -1 when no button has that command.
LRESULT GetButtonText(ToolbarState& s, WPARAM command, LPWSTR buffer) {
  const ToolbarButton* button = ByCommand(s, command);
  if (!button) return -1;
  if (buffer) {
    std::copy(button->label.begin(), button->label.end(), buffer);
    buffer[button->label.size()] = 0;
  }
  return static_cast<LRESULT>(button->label.size());
}

HIMAGELIST SetImageList(ToolbarState& s, HIMAGELIST list) {
  HIMAGELIST previous = s.imageList;
  s.imageList = list;
  return previous;
}

LRESULT OnButtonMessage(HWND hwnd, ToolbarState& s, UINT message, WPARAM wParam, LPARAM lParam) {
  bool on = LOWORD(lParam) != 0;
  switch (message) {
    case TB_ENABLEBUTTON: return SetStateBit(s, wParam, TBSTATE_ENABLED, on);
    case TB_CHECKBUTTON: return CheckButton(s, wParam, on);
    case TB_PRESSBUTTON: return SetStateBit(s, wParam, TBSTATE_PRESSED, on);
    case TB_HIDEBUTTON: return SetStateBit(s, wParam, TBSTATE_HIDDEN, on);
    case TB_ISBUTTONENABLED: return StateBit(s, wParam, TBSTATE_ENABLED);
    case TB_ISBUTTONCHECKED: return StateBit(s, wParam, TBSTATE_CHECKED);
    case TB_ISBUTTONPRESSED: return StateBit(s, wParam, TBSTATE_PRESSED);
    case TB_ISBUTTONHIDDEN: return StateBit(s, wParam, TBSTATE_HIDDEN);
    case TB_SETSTATE: return SetState(s, wParam, static_cast<BYTE>(LOWORD(lParam)));
    case TB_GETSTATE: return GetState(s, wParam);
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

LRESULT Dispatch(HWND hwnd, ToolbarState& s, UINT message, WPARAM wParam, LPARAM lParam) {
  int index = static_cast<int>(wParam);
  auto records = reinterpret_cast<const void*>(lParam);
  switch (message) {
    case TB_BUTTONSTRUCTSIZE: s.buttonStructSize = static_cast<UINT>(wParam); return 0;
    case TB_ADDBUTTONSW: return InsertButtons(s, Count(s), static_cast<UINT>(wParam), records);
    case TB_INSERTBUTTONW: return InsertButtons(s, index, 1, records);
    case TB_DELETEBUTTON: return DeleteButton(s, index);
    case TB_BUTTONCOUNT: return Count(s);
    case TB_GETBUTTON: return GetButton(s, index, reinterpret_cast<TBBUTTON*>(lParam));
    case TB_COMMANDTOINDEX: return IndexOfCommand(s, index);
    case TB_ADDBITMAP: return AddBitmap(s, index, reinterpret_cast<const TBADDBITMAP*>(lParam));
    case TB_ADDSTRINGW: return AddStrings(s, reinterpret_cast<HINSTANCE>(wParam), lParam);
    case TB_GETBUTTONTEXTW: return GetButtonText(s, wParam, reinterpret_cast<LPWSTR>(lParam));
    case TB_GETITEMRECT: return GetItemRect(s, index, reinterpret_cast<RECT*>(lParam));
    case TB_SETBUTTONSIZE: return SetButtonSize(s, LOWORD(lParam), HIWORD(lParam));
    case TB_SETBITMAPSIZE: return SetBitmapSize(s, LOWORD(lParam), HIWORD(lParam));
    case TB_AUTOSIZE: return TRUE;
    case WM_PAINT: PaintToolbar(hwnd, s); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_DESTROY:
      if (s.ownImages) ImageList_Destroy(s.ownImages);
      s.imageList = s.imageList == s.ownImages ? nullptr : s.imageList;
      s.ownImages = nullptr;
      return 0;
    case TB_SETIMAGELIST: return reinterpret_cast<LRESULT>(SetImageList(s, reinterpret_cast<HIMAGELIST>(lParam)));
    case TB_GETIMAGELIST: return reinterpret_cast<LRESULT>(s.imageList);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: OnButtonDown(hwnd, s, PointOf(lParam)); return 0;
    case WM_LBUTTONUP: OnButtonUp(hwnd, s, PointOf(lParam)); return 0;
    default: return OnButtonMessage(hwnd, s, message, wParam, lParam);
  }
}

// A tap or a program's change may press, check, enable, add or remove a button.
bool MayChangeLook(UINT message) {
  switch (message) {
    case TB_ISBUTTONENABLED: case TB_ISBUTTONCHECKED: case TB_ISBUTTONPRESSED: case TB_ISBUTTONHIDDEN:
    case TB_GETSTATE: case TB_BUTTONCOUNT: case TB_GETBUTTON: case TB_COMMANDTOINDEX: case TB_GETITEMRECT:
    case TB_GETIMAGELIST: case TB_GETBUTTONTEXTW:
      return false;
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: case WM_SIZE: case WM_ENABLE:
      return true;
    default:
      return message >= WM_USER && message < WM_USER + 0x100;
  }
}

}  // namespace

RECT ToolbarButtonRect(const ToolbarState& s, int index) { return ButtonRect(s, index); }

LRESULT CALLBACK ToolbarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = Table::get().route(hwnd, message, wParam, lParam, Dispatch);
  if (MayChangeLook(message) && Table::get().find(hwnd)) InvalidateRect(hwnd, nullptr, TRUE);
  return result;
}

std::vector<ToolbarButton> ToolbarButtons(HWND toolbar) {
  auto state = Table::get().find(toolbar);
  return state ? state->buttons : std::vector<ToolbarButton>{};
}

}  // namespace sim
