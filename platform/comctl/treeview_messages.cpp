// The tree view's window procedure: each message decoded and handed to the part that
// handles it.
#include "comctl/control_table.h"
#include "comctl/notify.h"
#include "comctl/treeview_internal.h"
#include "comctl/treeview_paint.h"

namespace sim {

using namespace treeview;

namespace {

using Table = ControlTable<TreeViewState>;

HTREEITEM Item(LPARAM lParam) { return reinterpret_cast<HTREEITEM>(lParam); }

LRESULT Result(HTREEITEM item) { return reinterpret_cast<LRESULT>(item); }
LRESULT Result(HIMAGELIST list) { return reinterpret_cast<LRESULT>(list); }

// The items go with the window, each announced to the parent; the program's image
// lists stay (a tree view never owns them), its own check boxes go. A label editor
// goes down with its parent as any child window does.
void OnDestroy(HWND hwnd, TreeViewState& s) {
  s.destroying = true;
  s.edit = nullptr;
  Delete(hwnd, s, TVI_ROOT, true);
  DestroyOwnImages(s);
}

LRESULT OnEditMessage(HWND hwnd, TreeViewState& s, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  switch (message) {
    case TVM_EDITLABELW: return reinterpret_cast<LRESULT>(EditLabel(hwnd, s, Item(lParam)));
    case TVM_GETEDITCONTROL: return reinterpret_cast<LRESULT>(s.edit);
    case TVM_ENDEDITLABELNOW: return EndEditLabelNow(hwnd, s, wParam != 0);
    default: return OnValueMessage(s, message, wParam, lParam, &result) ? result : DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

LRESULT OnTreeMessage(HWND hwnd, TreeViewState& s, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case TVM_INSERTITEMW: return Result(Insert(hwnd, s, reinterpret_cast<const TVINSERTSTRUCTW*>(lParam)));
    case TVM_DELETEITEM: return Delete(hwnd, s, Item(lParam), true);
    case TVM_EXPAND: return Expand(hwnd, s, Item(lParam), static_cast<UINT>(wParam));
    case TVM_GETNEXTITEM: return Result(GetNextItem(s, static_cast<UINT>(wParam), Item(lParam)));
    case TVM_SELECTITEM: return SelectItem(hwnd, s, static_cast<UINT>(wParam), Item(lParam));
    case TVM_GETITEMW: return GetItem(hwnd, s, reinterpret_cast<TVITEMW*>(lParam));
    case TVM_SETITEMW: return SetItem(s, reinterpret_cast<const TVITEMW*>(lParam));
    case TVM_SORTCHILDREN: return SortChildren(s, Item(lParam), wParam != 0);
    case TVM_SORTCHILDRENCB: return SortChildrenBy(s, reinterpret_cast<const TVSORTCB*>(lParam), wParam != 0);
    case TVM_SETIMAGELIST: return Result(SetImageList(s, wParam, reinterpret_cast<HIMAGELIST>(lParam)));
    case TVM_GETIMAGELIST: return Result(GetImageList(s, wParam));
    case TVM_GETCOUNT: return static_cast<LRESULT>(s.nodes.size());
    case TVM_GETINDENT: return s.indent;
    case TVM_SETINDENT: return SetIndent(s, static_cast<int>(wParam));
    case TVM_GETVISIBLECOUNT: return static_cast<LRESULT>(VisibleCount(hwnd, s));
    case TVM_ENSUREVISIBLE: return EnsureVisible(hwnd, s, Item(lParam));
    case TVM_GETITEMRECT: return GetItemRect(hwnd, s, wParam != 0, reinterpret_cast<RECT*>(lParam));
    case TVM_HITTEST: return Result(HitTest(hwnd, s, reinterpret_cast<TVHITTESTINFO*>(lParam)));
    default: return OnEditMessage(hwnd, s, message, wParam, lParam);
  }
}

LRESULT Dispatch(HWND hwnd, TreeViewState& s, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN: OnButtonDown(hwnd, s, PointOf(lParam)); return 0;
    case WM_LBUTTONUP: OnButtonUp(hwnd, s); return 0;
    case WM_LBUTTONDBLCLK: OnDoubleTap(hwnd, s, PointOf(lParam)); return 0;
    case WM_RBUTTONDOWN: NotifySimple(hwnd, NM_RCLICK); return 0;
    case WM_KEYDOWN: OnKeyDown(hwnd, s, wParam); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS: NotifySimple(hwnd, NM_SETFOCUS); return 0;
    case WM_KILLFOCUS: NotifySimple(hwnd, NM_KILLFOCUS); return 0;
    case WM_CREATE: OnCreate(hwnd, s); return 0;
    case WM_STYLECHANGED: OnStyleChanged(hwnd, s, wParam, reinterpret_cast<const STYLESTRUCT*>(lParam)); return 0;
    case WM_DESTROY: OnDestroy(hwnd, s); return 0;
    case WM_PAINT: Paint(hwnd, s); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_VSCROLL: Scroll(hwnd, s, wParam); return 0;
    default: return OnTreeMessage(hwnd, s, message, wParam, lParam);
  }
}

}  // namespace

LRESULT CALLBACK TreeViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = Table::get().route(hwnd, message, wParam, lParam, Dispatch);
  if (auto state = Table::get().find(hwnd)) RedrawAfter(hwnd, *state, message);
  return result;
}

}  // namespace sim
