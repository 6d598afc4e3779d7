// The list view's window procedure: each message decoded and handed to the part
// that handles it.
#include <algorithm>

#include "comctl/control_table.h"
#include "comctl/label_edit.h"
#include "comctl/listview_internal.h"
#include "comctl/listview_paint.h"
#include "comctl/notify.h"

namespace sim {

using namespace listview;

namespace {

using Table = ControlTable<ListViewState>;

template <class T>
T* Pointer(LPARAM lParam) {
  return reinterpret_cast<T*>(lParam);
}

LRESULT Result(HIMAGELIST list) { return reinterpret_cast<LRESULT>(list); }

// A label editor goes down with its parent as any child window does; the items go
// as LVM_DELETEALLITEMS deletes them, announced to the parent.
void OnDestroy(HWND hwnd, ListViewState& s) {
  s.destroying = true;
  s.edit = nullptr;
  s.header = nullptr;
  DeleteAllItems(hwnd, s);
  DestroyOwnedImageLists(hwnd, s);
}

int SetSelectionMark(ListViewState& s, int index) {
  int previous = s.anchor;
  s.anchor = ValidIndex(s, index) ? index : -1;
  return previous;
}

int FindItemIn(HWND hwnd, ListViewState& s, int start, const LVFINDINFOW* find) {
  if (find && HasStyle(hwnd, LVS_OWNERDATA)) return FindOwnerDataItem(hwnd, std::max(start + 1, 0), find);
  return FindItem(hwnd, s, start, find);
}

// Messages about the items that the owner-data list and the callback mask bring.
LRESULT OnCallbackMessage(HWND hwnd, ListViewState& s, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case LVM_SETITEMCOUNT: return SetItemCount(hwnd, s, static_cast<int>(wParam));
    case LVM_SETCALLBACKMASK: s.callbackMask = static_cast<UINT>(wParam); return TRUE;
    case LVM_GETCALLBACKMASK: return s.callbackMask;
    case LVM_GETSELECTIONMARK: return s.anchor;
    case LVM_SETSELECTIONMARK: return SetSelectionMark(s, static_cast<int>(lParam));
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

// The view's messages.
LRESULT OnLayoutMessage(HWND hwnd, ListViewState& s, UINT message, WPARAM wParam, LPARAM lParam) {
  int index = static_cast<int>(wParam);
  switch (message) {
    case LVM_GETSUBITEMRECT: return GetSubItemRect(hwnd, s, index, Pointer<RECT>(lParam));
    case LVM_SCROLL: return Scroll(hwnd, s, static_cast<int>(wParam), static_cast<int>(lParam));
    case LVM_GETVIEWRECT: return GetViewRect(hwnd, s, Pointer<RECT>(lParam));
    case LVM_GETORIGIN: return GetOrigin(hwnd, s, Pointer<POINT>(lParam));
    case LVM_GETITEMPOSITION: return GetItemPosition(hwnd, s, index, Pointer<POINT>(lParam));
    case LVM_SETITEMPOSITION: return SetItemPosition(hwnd, s, index, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case LVM_ARRANGE: return Arrange(hwnd, s);
    case LVM_GETHEADER: return reinterpret_cast<LRESULT>(s.header);
    case LVM_GETCOLUMNORDERARRAY: return GetColumnOrderArray(s, index, Pointer<int>(lParam));
    case LVM_SETCOLUMNORDERARRAY: return SetColumnOrderArray(s, index, Pointer<const int>(lParam));
    default: return OnCallbackMessage(hwnd, s, message, wParam, lParam);
  }
}

LRESULT OnItemMessage(HWND hwnd, ListViewState& s, UINT message, WPARAM wParam, LPARAM lParam) {
  int index = static_cast<int>(wParam);
  switch (message) {
    case LVM_GETITEMCOUNT: return Count(s);
    case LVM_INSERTITEMW: return InsertItem(hwnd, s, Pointer<const LVITEMW>(lParam));
    case LVM_SETITEMW: return SetItem(hwnd, s, Pointer<const LVITEMW>(lParam));
    case LVM_GETITEMW: return GetItem(hwnd, s, Pointer<LVITEMW>(lParam));
    case LVM_GETITEMTEXTW: return GetItemText(hwnd, s, index, Pointer<LVITEMW>(lParam));
    case LVM_SETITEMTEXTW: return SetItemText(hwnd, s, index, Pointer<const LVITEMW>(lParam));
    case LVM_DELETEITEM: return DeleteItem(hwnd, s, index);
    case LVM_DELETEALLITEMS: return DeleteAllItems(hwnd, s);
    case LVM_GETNEXTITEM: return GetNextItem(hwnd, s, index, LOWORD(lParam));
    case LVM_FINDITEMW: return FindItemIn(hwnd, s, index, Pointer<const LVFINDINFOW>(lParam));
    case LVM_SETITEMSTATE: return SetItemStates(hwnd, s, index, Pointer<const LVITEMW>(lParam));
    case LVM_GETITEMSTATE: return GetItemState(hwnd, s, index, static_cast<UINT>(lParam));
    case LVM_GETSELECTEDCOUNT: return SelectedCount(s);
    case LVM_EDITLABELW: return reinterpret_cast<LRESULT>(EditLabel(hwnd, s, index));
    case LVM_GETEDITCONTROL: return reinterpret_cast<LRESULT>(s.edit);
    case LVM_SORTITEMS: return SortItems(hwnd, s, static_cast<LPARAM>(wParam), reinterpret_cast<PFNLVCOMPARE>(lParam));
    default: return OnLayoutMessage(hwnd, s, message, wParam, lParam);
  }
}

LRESULT OnViewMessage(HWND hwnd, ListViewState& s, UINT message, WPARAM wParam, LPARAM lParam) {
  int index = static_cast<int>(wParam);
  switch (message) {
    case LVM_ENSUREVISIBLE: return EnsureVisible(hwnd, s, index, lParam != 0);
    case LVM_SETIMAGELIST: return Result(SetImageList(s, wParam, reinterpret_cast<HIMAGELIST>(lParam)));
    case LVM_GETIMAGELIST: return Result(GetImageList(s, wParam));
    case LVM_GETEXTENDEDLISTVIEWSTYLE: return s.extendedStyle;
    case LVM_SETEXTENDEDLISTVIEWSTYLE: return SetExtendedStyle(s, static_cast<DWORD>(wParam), static_cast<DWORD>(lParam));
    case LVM_INSERTCOLUMNW: return InsertColumn(s, index, Pointer<const LVCOLUMNW>(lParam));
    case LVM_GETCOLUMNW: return GetColumn(s, index, Pointer<LVCOLUMNW>(lParam));
    case LVM_SETCOLUMNW: return SetColumn(s, index, Pointer<const LVCOLUMNW>(lParam));
    case LVM_DELETECOLUMN: return DeleteColumn(s, index);
    case LVM_SETCOLUMNWIDTH: return SetColumnWidth(hwnd, s, index, static_cast<short>(LOWORD(lParam)));
    case LVM_GETCOLUMNWIDTH: return GetColumnWidth(hwnd, s, index);
    case LVM_GETITEMRECT: return GetItemRect(hwnd, s, index, Pointer<RECT>(lParam));
    case LVM_HITTEST: return HitTest(hwnd, s, Pointer<LVHITTESTINFO>(lParam));
    case LVM_GETTOPINDEX: return TopIndex(hwnd, s);
    case LVM_GETCOUNTPERPAGE: return CountPerPage(hwnd, s);
    default: return OnItemMessage(hwnd, s, message, wParam, lParam);
  }
}

LRESULT Dispatch(HWND hwnd, ListViewState& s, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN: OnButtonDown(hwnd, s, wParam, PointOf(lParam)); return 0;
    case WM_LBUTTONUP: OnButtonUp(hwnd, s, wParam, PointOf(lParam)); return 0;
    case WM_LBUTTONDBLCLK: OnDoubleTap(hwnd, s, wParam, PointOf(lParam)); return 0;
    case WM_RBUTTONDOWN: OnRightButtonDown(hwnd, s, wParam, PointOf(lParam)); return 0;
    case WM_TIMER: return OnTimer(hwnd, s, wParam) ? 0 : DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_KEYDOWN: OnKeyDown(hwnd, s, wParam); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS: OnSetFocus(hwnd); return 0;
    case WM_KILLFOCUS: OnKillFocus(hwnd, s); return 0;
    case WM_CREATE: return CreateHeader(hwnd, s) ? 0 : -1;
    case WM_NOTIFY: return OnNotify(hwnd, s, Pointer<const NMHDR>(lParam));
    case WM_PARENTNOTIFY: OnChildGone(s, wParam, reinterpret_cast<HWND>(lParam)); return 0;
    case WM_DESTROY: OnDestroy(hwnd, s); return 0;
    case WM_PAINT: Paint(hwnd, s); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_VSCROLL:
    case WM_HSCROLL: Scroll(hwnd, s, message == WM_VSCROLL, wParam); return 0;
    default: return OnViewMessage(hwnd, s, message, wParam, lParam);
  }
}

}  // namespace

std::shared_ptr<ListViewState> FindListView(HWND hwnd) { return Table::get().find(hwnd); }

LRESULT CALLBACK ListViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = Table::get().route(hwnd, message, wParam, lParam, Dispatch);
  if (auto state = Table::get().find(hwnd)) {
    if (MayChangeLook(message) && !state->destroying && !state->painting) PlaceHeader(hwnd, *state);
    RedrawAfter(hwnd, *state, message);
  }
  return result;
}

}  // namespace sim
