// The tree view's styles taken up when they are set (TVS_CHECKBOXES at creation or
// later through SetWindowLongW), and the values the program sets and reads back:
// colours, the item height, the scroll time and the insertion mark.
#include <algorithm>
#include <utility>

#include "comctl/imagelist.h"
#include "comctl/treeview_internal.h"
#include "user/draw.h"

namespace sim::treeview {

namespace {

constexpr UINT kUnchecked = INDEXTOSTATEIMAGEMASK(1);
constexpr UINT kChecked = INDEXTOSTATEIMAGEMASK(2);

// Three state images of the small icon size: none (state image 0 shows nothing), an
// empty check box and a checked one.
HIMAGELIST MakeCheckBoxImages() {
  HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR, 3, 0);
  if (!list) return nullptr;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP strip = CreateCompatibleBitmap(screen, 48, 16);
  HGDIOBJ previous = SelectObject(dc, strip);
  RECT all{0, 0, 48, 16};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  RECT unchecked{18, 2, 30, 14}, checked{34, 2, 46, 14};
  DrawFrameControl(dc, &unchecked, DFC_BUTTON, DFCS_BUTTONCHECK);
  DrawFrameControl(dc, &checked, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
  SelectObject(dc, previous);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  ImageList_Add(list, strip, nullptr);
  DeleteObject(strip);
  return list;
}

// TVS_CHECKBOXES: the control makes its state images and every item starts unchecked.
void EnableCheckBoxes(TreeViewState& s) {
  if (!s.checkBoxImages) s.checkBoxImages = MakeCheckBoxImages();
  s.stateImages = s.checkBoxImages;
  for (auto& [handle, node] : s.nodes) node->state = (node->state & ~TVIS_STATEIMAGEMASK) | kUnchecked;
  InvalidateRows(s);
}

COLORREF Swap(COLORREF& slot, COLORREF value) {
  COLORREF previous = slot;
  slot = value;
  return previous;
}

// TVM_SETITEMHEIGHT: -1 goes back to the default height; other heights are at least
// one pixel and even. Gives the height before.
int SetItemHeight(TreeViewState& s, int height) {
  int previous = s.itemHeight;
  if (height == -1) {
    s.itemHeight = TreeRowHeight();
  } else {
    height = std::max(height, 1);
    s.itemHeight = height > 1 ? height & ~1 : height;
  }
  return previous;
}

// TVM_SETINSERTMARK: after or before an item; no item removes the mark.
bool SetInsertMark(TreeViewState& s, bool after, HTREEITEM item) {
  TreeNode* node = item ? Lookup(s, item, "TVM_SETINSERTMARK") : nullptr;
  if (item && !node) return false;
  s.insertMark = node ? node->handle : 0;
  s.insertMarkAfter = after;
  return true;
}

}  // namespace

// Rows and indentation grow with the screen's scale, as the system font does.
void OnCreate(HWND hwnd, TreeViewState& s) {
  s.itemHeight = TreeRowHeight();
  s.indent = Scaled(s.indent);
  if (HasStyle(hwnd, TVS_CHECKBOXES)) EnableCheckBoxes(s);
}

void OnStyleChanged(HWND hwnd, TreeViewState& s, WPARAM which, const STYLESTRUCT* styles) {
  (void)hwnd;
  if (static_cast<int>(which) != GWL_STYLE || !styles) return;
  if ((styles->styleNew & TVS_CHECKBOXES) && !(styles->styleOld & TVS_CHECKBOXES)) EnableCheckBoxes(s);
  InvalidateRows(s);
}

UINT DefaultStateImage(HWND hwnd) { return HasStyle(hwnd, TVS_CHECKBOXES) ? kUnchecked : 0; }

void ToggleCheck(TreeNode& node) {
  UINT image = node.state & TVIS_STATEIMAGEMASK;
  if (image == kUnchecked || image == kChecked) node.state = (node.state & ~TVIS_STATEIMAGEMASK) | (image ^ kUnchecked ^ kChecked);
}

void DestroyOwnImages(TreeViewState& s) {
  if (!s.checkBoxImages) return;
  if (s.stateImages == s.checkBoxImages) s.stateImages = nullptr;
  ImageLists::get().destroy(s.checkBoxImages, "ImageList_Destroy by a tree view of its check boxes");
  s.checkBoxImages = nullptr;
}

bool OnValueMessage(TreeViewState& s, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  auto colour = [lParam] { return static_cast<COLORREF>(lParam); };
  switch (message) {
    case TVM_SETBKCOLOR: *result = static_cast<LRESULT>(Swap(s.background, colour())); return true;
    case TVM_GETBKCOLOR: *result = static_cast<LRESULT>(s.background); return true;
    case TVM_SETTEXTCOLOR: *result = static_cast<LRESULT>(Swap(s.textColour, colour())); return true;
    case TVM_GETTEXTCOLOR: *result = static_cast<LRESULT>(s.textColour); return true;
    case TVM_SETINSERTMARKCOLOR: *result = static_cast<LRESULT>(Swap(s.insertMarkColour, colour())); return true;
    case TVM_GETINSERTMARKCOLOR: *result = static_cast<LRESULT>(s.insertMarkColour); return true;
    case TVM_SETITEMHEIGHT: *result = SetItemHeight(s, static_cast<short>(LOWORD(wParam))); return true;
    case TVM_GETITEMHEIGHT: *result = s.itemHeight; return true;
    case TVM_SETSCROLLTIME: *result = static_cast<LRESULT>(std::exchange(s.scrollTime, static_cast<UINT>(wParam))); return true;
    case TVM_GETSCROLLTIME: *result = static_cast<LRESULT>(s.scrollTime); return true;
    case TVM_SETINSERTMARK: *result = SetInsertMark(s, wParam != 0, reinterpret_cast<HTREEITEM>(lParam)); return true;
    default: return false;
  }
}

}  // namespace sim::treeview
