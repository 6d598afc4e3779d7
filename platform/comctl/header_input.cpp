// Taps on the header. With HDS_BUTTONS an item is a push button: the stylus going
// down on it presses it (the header takes the capture), coming up on it again is a
// tap the parent hears as HDN_ITEMCLICKW. A double tap tells HDN_ITEMDBLCLICKW. A
// tap on a divider, or on a header without HDS_BUTTONS, tells nothing.
#include "comctl/header_internal.h"
#include "comctl/notify.h"

namespace sim::header {

namespace {

void RedrawItem(HWND hwnd, const HeaderState& s, int index) {
  if (!ValidIndex(s, index)) return;
  RECT rect = ItemRect(hwnd, s, index);
  InvalidateRect(hwnd, &rect, TRUE);
}

void NotifyTap(HWND hwnd, UINT code, int index) {
  NMHEADERW note{};
  note.iItem = index;
  note.iButton = 0;
  note.pItem = nullptr;
  SendNotify(hwnd, code, &note.hdr);
}

bool Buttons(HWND hwnd) { return (StyleOf(hwnd) & HDS_BUTTONS) != 0; }

}  // namespace

void OnButtonDown(HWND hwnd, HeaderState& s, POINT point) {
  UINT flags = 0;
  const int index = HitTest(hwnd, s, point, &flags);
  if (index < 0 || !(flags & HHT_ONHEADER) || !Buttons(hwnd)) return;
  s.pressedItem = ItemAt(s, index).id;
  SetCapture(hwnd);
  RedrawItem(hwnd, s, index);
}

// The capture goes before the parent hears of the tap: what the tap starts (a menu,
// a dialog) must receive taps of its own.
void OnButtonUp(HWND hwnd, HeaderState& s, POINT point) {
  const std::uint64_t pressed = s.pressedItem;
  if (!pressed) return;
  s.pressedItem = 0;
  if (GetCapture() == hwnd) ReleaseCapture();
  const int index = IndexOfId(s, pressed);
  RedrawItem(hwnd, s, index);
  UINT flags = 0;
  if (index >= 0 && HitTest(hwnd, s, point, &flags) == index && (flags & HHT_ONHEADER))
    NotifyTap(hwnd, HDN_ITEMCLICKW, index);
}

void OnDoubleTap(HWND hwnd, HeaderState& s, POINT point) {
  UINT flags = 0;
  const int index = HitTest(hwnd, s, point, &flags);
  if (index < 0) return;
  if (flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN))
    NotifyTap(hwnd, HDN_DIVIDERDBLCLICKW, index);
  else if (Buttons(hwnd))
    NotifyTap(hwnd, HDN_ITEMDBLCLICKW, index);
}

// Another window took the stylus: the pressed item comes up without a tap.
void OnCaptureChanged(HWND hwnd, HeaderState& s) {
  if (!s.pressedItem) return;
  const int index = IndexOfId(s, s.pressedItem);
  s.pressedItem = 0;
  RedrawItem(hwnd, s, index);
}

}  // namespace sim::header
