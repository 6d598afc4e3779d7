// The tree view's painting and scrolling.
#include "comctl/treeview_paint.h"

#include <algorithm>

#include "comctl/custom_draw.h"
#include "user/draw.h"

namespace sim {

int TreeRowHeight() { return Scaled(kTreeRowHeight); }

namespace treeview {

namespace {

bool HasNextSibling(const TreeNode* node) { return SiblingList::next(node) != nullptr; }

void DottedVertical(HDC dc, LONG x, LONG top, LONG bottom, COLORREF color) {
  for (LONG y = top + ((x + top) & 1); y < bottom; y += 2) SetPixel(dc, x, y, color);
}

void DottedHorizontal(HDC dc, LONG left, LONG right, LONG y, COLORREF color) {
  for (LONG x = left + ((left + y) & 1); x < right; x += 2) SetPixel(dc, x, y, color);
}

// The lines of one row: from the parent's column down to the item and on to its next
// sibling, and the columns of the ancestors that have siblings still to come.
void DrawLines(HDC dc, const TreeViewState& s, const TreeNode& node, const ItemGeometry& g) {
  const LONG column = g.icon.left - s.indent / 2 - s.indent % 2;
  if (column < 0) return;
  const COLORREF color = GetSysColor(COLOR_GRAYTEXT);
  const LONG middle = (g.row.top + g.row.bottom) / 2;
  const bool firstAtTop = !node.parent->parent && !SiblingList::previous(&node);
  DottedVertical(dc, column, firstAtTop ? middle : g.row.top, HasNextSibling(&node) ? g.row.bottom : middle + 1, color);
  DottedHorizontal(dc, column, g.icon.left, middle, color);
  LONG x = column - s.indent;
  for (const TreeNode* up = node.parent; up && up->parent && x >= 0; up = up->parent, x -= s.indent)
    if (HasNextSibling(up)) DottedVertical(dc, x, g.row.top, g.row.bottom, color);
}

void DrawButton(HDC dc, const TreeNode& node, const RECT& area) {
  const int size = Scaled(9);
  const LONG left = (area.left + area.right - size) / 2, top = (area.top + area.bottom - size) / 2;
  RECT box{left, top, left + size, top + size};
  FillWithSysColor(dc, box, COLOR_WINDOW);
  OutlineRect(dc, box, GetSysColorBrush(COLOR_GRAYTEXT));
  const LONG middleX = left + size / 2, middleY = top + size / 2, arm = Scaled(2);
  const int thick = Scaled(1);
  RECT across{left + arm, middleY - thick / 2, left + size - arm, middleY - thick / 2 + thick};
  FillWithSysColor(dc, across, COLOR_WINDOWTEXT);
  if (node.state & TVIS_EXPANDED) return;
  RECT down{middleX - thick / 2, top + arm, middleX - thick / 2 + thick, top + size - arm};
  FillWithSysColor(dc, down, COLOR_WINDOWTEXT);
}

void DrawImage(HDC dc, HIMAGELIST images, int image, const RECT& area) {
  int width = 0, height = 0;
  if (!images || !ImageList_GetIconSize(images, &width, &height)) return;
  if (image < 0 || image >= ImageList_GetImageCount(images)) return;
  ImageList_Draw(images, image, dc, area.left, area.top + (area.bottom - area.top - height) / 2, ILD_TRANSPARENT);
}

// The state image (a check box) is state image index 1 and up; 0 means none.
void DrawStateImage(HDC dc, const TreeViewState& s, const TreeNode& node, const RECT& area) {
  const int index = static_cast<int>((node.state & TVIS_STATEIMAGEMASK) >> 12);
  if (index > 0 && !IsRectEmpty(&area)) DrawImage(dc, s.stateImages, index, area);
}

ItemLook OwnLook(HWND hwnd, const TreeViewState& s, const TreeNode& node, bool focused) {
  ItemLook look{s.textColour != CLR_NONE ? s.textColour : GetSysColor(COLOR_WINDOWTEXT),
                s.background != CLR_NONE ? s.background : GetSysColor(COLOR_WINDOW)};
  const bool selected = (node.state & TVIS_SELECTED) != 0;
  if ((selected && focused) || (node.state & TVIS_DROPHILITED))
    return ItemLook{GetSysColor(COLOR_HIGHLIGHTTEXT), GetSysColor(COLOR_HIGHLIGHT)};
  if (selected && HasStyle(hwnd, TVS_SHOWSELALWAYS)) look.background = GetSysColor(COLOR_BTNFACE);
  return look;
}

void FillBackground(HDC dc, const TreeViewState& s, const RECT& area) {
  if (s.background == CLR_NONE) return FillWithSysColor(dc, area, COLOR_WINDOW);
  HBRUSH brush = CreateSolidBrush(s.background);
  FillRect(dc, &area, brush);
  DeleteObject(brush);
}

void DrawLabel(HDC dc, const TreeViewState& s, const std::u16string& text, const RECT& label, const ItemLook& look) {
  const COLORREF window = s.background != CLR_NONE ? s.background : GetSysColor(COLOR_WINDOW);
  if (look.background != window) {
    HBRUSH brush = CreateSolidBrush(look.background);
    FillRect(dc, &label, brush);
    DeleteObject(brush);
  }
  SetTextColor(dc, look.text);
  RECT inside = label;
  InflateRect(&inside, -Scaled(3), 0);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &inside, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void PaintRow(HWND hwnd, TreeViewState& s, HDC dc, CustomDraw& custom, std::size_t row, bool focused) {
  TreeNode& node = *s.rows[row];
  const std::uintptr_t handle = node.handle;
  const ItemGeometry g = GeometryOf(hwnd, s, node, row);
  UINT state = (node.state & TVIS_SELECTED) ? CDIS_SELECTED : 0;
  if (&node == s.caret && focused) state |= CDIS_FOCUS;
  ItemToDraw what{static_cast<DWORD_PTR>(handle), state, node.param, g.row, Depth(&node)};
  ItemLook look = custom.item(what, OwnLook(hwnd, s, node, focused));
  // The parent may have deleted the item, or changed the rows, while it was asked.
  if (!Alive(s, handle) || !s.rowsValid || !look.drawn) return;
  if (!look.parentFont) UseSystemFont(dc);
  if (HasStyle(hwnd, TVS_HASLINES)) DrawLines(dc, s, node, g);
  if (!IsRectEmpty(&g.button)) DrawButton(dc, node, g.button);
  DrawStateImage(dc, s, node, g.stateIcon);
  DrawImage(dc, s.normalImages, NodeImage(hwnd, s, node, (node.state & TVIS_SELECTED) != 0), g.icon);
  if (!Alive(s, handle)) return;  // the parent answered the image callback by deleting the item
  DrawLabel(dc, s, NodeText(hwnd, s, node), g.label, look);
  if (&node == s.caret && focused) DrawFocusRect(dc, &g.label);
  custom.itemDone(what, look);
}

}  // namespace

void Paint(HWND hwnd, TreeViewState& s) {
  SyncScrollBar(hwnd, s);
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(hwnd, &paint);
  s.painting = true;
  RECT client{};
  GetClientRect(hwnd, &client);
  HGDIOBJ font = UseSystemFont(dc);
  SetBkMode(dc, TRANSPARENT);
  FillBackground(dc, s, client);
  CustomDraw custom(hwnd, dc);
  if (custom.begin(client)) {
    const bool focused = GetFocus() == hwnd;
    RebuildRows(s);
    const std::size_t last = s.topRow + VisibleCount(hwnd, s) + 1;
    for (std::size_t row = s.topRow; row < last && s.rowsValid && row < s.rows.size(); ++row)
      PaintRow(hwnd, s, dc, custom, row, focused);
    custom.end(client);
  }
  SelectObject(dc, font);
  s.painting = false;
  EndPaint(hwnd, &paint);
}

void SyncScrollBar(HWND hwnd, TreeViewState& s) {
  if (HasStyle(hwnd, TVS_NOSCROLL)) return;
  RebuildRows(s);
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMax = std::max(static_cast<int>(s.rows.size()) - 1, 0);
  info.nPage = static_cast<UINT>(VisibleCount(hwnd, s));
  info.nPos = static_cast<int>(s.topRow);
  SetScrollInfo(hwnd, SB_VERT, &info, FALSE);
}

void Scroll(HWND hwnd, TreeViewState& s, WPARAM request) {
  RebuildRows(s);
  const long page = static_cast<long>(VisibleCount(hwnd, s));
  long top = static_cast<long>(s.topRow);
  switch (LOWORD(request)) {
    case SB_LINEUP: top -= 1; break;
    case SB_LINEDOWN: top += 1; break;
    case SB_PAGEUP: top -= std::max(page - 1, 1L); break;
    case SB_PAGEDOWN: top += std::max(page - 1, 1L); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: top = static_cast<short>(HIWORD(request)); break;
    default: return;
  }
  const long last = std::max(static_cast<long>(s.rows.size()) - page, 0L);
  s.topRow = static_cast<std::size_t>(std::clamp(top, 0L, last));
}

void RedrawAfter(HWND hwnd, const TreeViewState& s, UINT message) {
  if (s.painting || !IsWindow(hwnd)) return;
  switch (message) {
    case TVM_GETNEXTITEM: case TVM_GETITEMW: case TVM_GETIMAGELIST: case TVM_GETCOUNT: case TVM_GETINDENT:
    case TVM_GETVISIBLECOUNT: case TVM_GETITEMRECT: case TVM_HITTEST:
      return;
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: case WM_KEYDOWN: case WM_SETFOCUS:
    case WM_KILLFOCUS: case WM_SIZE: case WM_STYLECHANGED: case WM_VSCROLL:
      break;
    default:
      if (message < TV_FIRST || message >= TV_FIRST + 0x100) return;
  }
  InvalidateRect(hwnd, nullptr, TRUE);
}

}  // namespace treeview
}  // namespace sim
