// The header control's window procedure: each message decoded and handed to the part
// that handles it.
#include "comctl/control_table.h"
#include "comctl/header_internal.h"
#include "comctl/notify.h"

namespace sim {

using namespace header;

namespace {

using Table = ControlTable<HeaderState>;

template <class T>
T* Pointer(LPARAM lParam) {
  return reinterpret_cast<T*>(lParam);
}

HIMAGELIST SetImageList(HWND hwnd, HeaderState& s, HIMAGELIST list) {
  HIMAGELIST previous = s.imageList;
  s.imageList = list;
  InvalidateRect(hwnd, nullptr, TRUE);
  return previous;
}

LRESULT OnHeaderMessage(HWND hwnd, HeaderState& s, UINT message, WPARAM wParam, LPARAM lParam) {
  const int index = static_cast<int>(wParam);
  switch (message) {
    case HDM_GETITEMCOUNT: return Count(s);
    case HDM_INSERTITEMW: return InsertItem(hwnd, s, index, Pointer<const HDITEMW>(lParam));
    case HDM_DELETEITEM: return DeleteItem(hwnd, s, index);
    case HDM_GETITEMW: return GetItem(s, index, Pointer<HDITEMW>(lParam));
    case HDM_SETITEMW: return SetItem(hwnd, s, index, Pointer<const HDITEMW>(lParam));
    case HDM_GETITEMRECT: return GetItemRect(hwnd, s, index, Pointer<RECT>(lParam));
    case HDM_LAYOUT: return Layout(hwnd, Pointer<HDLAYOUT>(lParam));
    case HDM_HITTEST: return HitTest(hwnd, s, Pointer<HDHITTESTINFO>(lParam));
    case HDM_ORDERTOINDEX: return OrderToIndex(s, index);
    case HDM_GETORDERARRAY: return GetOrderArray(s, index, Pointer<int>(lParam));
    case HDM_SETORDERARRAY: return SetOrderArray(hwnd, s, index, Pointer<const int>(lParam));
    case HDM_SETIMAGELIST:
      return reinterpret_cast<LRESULT>(SetImageList(hwnd, s, reinterpret_cast<HIMAGELIST>(lParam)));
    case HDM_GETIMAGELIST: return reinterpret_cast<LRESULT>(s.imageList);
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

LRESULT Dispatch(HWND hwnd, HeaderState& s, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN: OnButtonDown(hwnd, s, PointOf(lParam)); return 0;
    case WM_LBUTTONUP: OnButtonUp(hwnd, s, PointOf(lParam)); return 0;
    case WM_LBUTTONDBLCLK: OnDoubleTap(hwnd, s, PointOf(lParam)); return 0;
    case WM_CAPTURECHANGED: OnCaptureChanged(hwnd, s); return 0;
    case WM_PAINT: Paint(hwnd, s); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_STYLECHANGED: InvalidateRect(hwnd, nullptr, TRUE); return 0;
    default: return OnHeaderMessage(hwnd, s, message, wParam, lParam);
  }
}

}  // namespace

LRESULT CALLBACK HeaderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return Table::get().route(hwnd, message, wParam, lParam, Dispatch);
}

}  // namespace sim
