// The list view's painting: the items of the view in sight and the focus.
#include "comctl/listview_paint.h"

#include <algorithm>

#include "comctl/custom_draw.h"
#include "user/draw.h"

namespace sim::listview {

namespace {

// The items a view can show in the client area, [first, last).
struct Range {
  int first = 0;
  int last = 0;
};

Range InView(const Grid& grid, const ListViewState& s, const RECT& client) {
  const int rows = static_cast<int>(client.bottom - grid.top) / grid.cellHeight + 2;
  int first = 0, count = 0;
  if (grid.view == LVS_REPORT) {
    first = static_cast<int>(s.origin.y) / grid.cellHeight;
    count = rows;
  } else if (grid.view == LVS_LIST) {
    first = static_cast<int>(s.origin.x) / grid.cellWidth * grid.perLine;
    count = (static_cast<int>(client.right) / grid.cellWidth + 2) * grid.perLine;
  } else {
    first = static_cast<int>(s.origin.y) / grid.cellHeight * grid.perLine;
    count = rows * grid.perLine;
  }
  return Range{std::clamp(first, 0, Count(s)), std::clamp(first + count, 0, Count(s))};
}

UINT DrawStateOf(const ListViewItem& item, bool focused) {
  UINT state = 0;
  if (item.state & LVIS_SELECTED) state |= CDIS_SELECTED;
  if ((item.state & LVIS_FOCUSED) && focused) state |= CDIS_FOCUS;
  return state;
}

// The control's own colours for an item: highlighted while selected, in the button
// face colour when the control has lost the focus but shows its selection anyway.
ItemLook OwnLook(HWND hwnd, const ListViewItem& item, bool focused) {
  ItemLook look{GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW)};
  if (!(item.state & LVIS_SELECTED)) return look;
  if (focused) return ItemLook{GetSysColor(COLOR_HIGHLIGHTTEXT), GetSysColor(COLOR_HIGHLIGHT)};
  if (HasStyle(hwnd, LVS_SHOWSELALWAYS)) look.background = GetSysColor(COLOR_BTNFACE);
  return look;
}

void FillWith(HDC dc, const RECT& rect, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

UINT Alignment(int format) {
  switch (format & LVCFMT_JUSTIFYMASK) {
    case LVCFMT_RIGHT: return DT_RIGHT;
    case LVCFMT_CENTER: return DT_CENTER;
    default: return DT_LEFT;
  }
}

// One line of text in a cell, cut with an ellipsis when it does not fit.
void CellText(HDC dc, const std::u16string& text, RECT cell, UINT align, COLORREF color) {
  InflateRect(&cell, -Scaled(2), 0);
  SetTextColor(dc, color);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &cell,
            align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void DrawImage(HDC dc, const ListViewState& s, int view, const ListViewItem& item, const RECT& icon, bool blend) {
  HIMAGELIST list = s.imageLists[view == LVS_ICON ? LVSIL_NORMAL : LVSIL_SMALL];
  int width = 0, height = 0;
  if (!list || item.image < 0 || !ImageList_GetIconSize(list, &width, &height)) return;
  if (item.image >= ImageList_GetImageCount(list)) return;
  const int y = icon.top + (icon.bottom - icon.top - height) / 2;
  ImageList_Draw(list, item.image, dc, icon.left, view == LVS_ICON ? icon.top : y,
                 ILD_TRANSPARENT | (blend ? ILD_BLEND50 : 0));
}

// The icon view's label: centred under the icon on up to two lines, the selection
// drawn around the text only.
RECT IconLabel(HDC dc, const std::u16string& text, const RECT& label, const ItemLook& look, bool selected) {
  RECT box{label.left + Scaled(1), label.top, label.right - Scaled(1), label.top};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
            DT_CALCRECT | DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
  const LONG width = std::min(box.right - box.left, label.right - label.left - Scaled(2));
  const LONG middle = (label.left + label.right) / 2;
  RECT shown{middle - width / 2 - Scaled(1), label.top, middle + (width - width / 2) + Scaled(1),
             std::min(box.bottom, label.bottom)};
  if (selected) FillWith(dc, shown, look.background);
  SetTextColor(dc, look.text);
  RECT drawn = shown;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &drawn,
            DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_END_ELLIPSIS);
  return shown;
}

class ItemPainter {
 public:
  ItemPainter(HWND hwnd, ListViewState& s, HDC dc, const Grid& grid, CustomDraw& custom)
      : hwnd_(hwnd), s_(s), dc_(dc), grid_(grid), custom_(custom), focused_(GetFocus() == hwnd) {}

  void paint(int index);

 private:
  RECT drawLabel(int index, const ListViewItem& item, const ItemLook& look);
  void drawColumns(int index, const ItemToDraw& what, const ItemLook& look);
  bool highlighted(const ListViewItem& item) const {
    return (item.state & LVIS_SELECTED) && (focused_ || HasStyle(hwnd_, LVS_SHOWSELALWAYS));
  }

  HWND hwnd_;
  ListViewState& s_;
  HDC dc_;
  const Grid& grid_;
  CustomDraw& custom_;
  bool focused_;
};

RECT ItemPainter::drawLabel(int index, const ListViewItem& item, const ItemLook& look) {
  const std::u16string text = ItemText(hwnd_, s_, index, 0);
  const RECT label = ItemRect(hwnd_, s_, index, LVIR_LABEL);
  if (grid_.view == LVS_ICON) return IconLabel(dc_, text, label, look, highlighted(item));
  RECT box = label;
  if (grid_.view != LVS_REPORT) {
    RECT measured{0, 0, 0, 0};
    DrawTextW(dc_, text.c_str(), static_cast<int>(text.size()), &measured, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    box.right = std::min<LONG>(label.right, label.left + measured.right + Scaled(5));
  } else if (s_.extendedStyle & LVS_EX_FULLROWSELECT) {
    // The whole row but the image, when the first column is shown first.
    box = ItemRect(hwnd_, s_, index, LVIR_SELECTBOUNDS);
    if (ColumnLeft(s_, 0) == 0) box.left = label.left;
  }
  if (highlighted(item) || look.background != GetSysColor(COLOR_WINDOW)) FillWith(dc_, box, look.background);
  const int align = grid_.view == LVS_REPORT && !s_.columns.empty() ? s_.columns.front().format : LVCFMT_LEFT;
  CellText(dc_, text, label, Alignment(align), look.text);
  return box;
}

// The report view's other columns in the order shown, each asked about separately
// when the parent wants.
void ItemPainter::drawColumns(int index, const ItemToDraw& what, const ItemLook& look) {
  const RECT bounds = ItemRect(hwnd_, s_, index, LVIR_BOUNDS);
  const bool fullRow = (s_.extendedStyle & LVS_EX_FULLROWSELECT) != 0;
  LONG x = bounds.left;
  for (int column : ColumnsInDisplayOrder(s_)) {
    const ListViewColumn& c = s_.columns[static_cast<std::size_t>(column)];
    RECT cell{x, bounds.top, x + c.width, bounds.bottom};
    x = cell.right;
    if (column == 0) continue;
    ItemLook own = fullRow ? look : ItemLook{GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW)};
    ItemToDraw part = what;
    part.rect = cell;
    part.subItem = true;
    part.subItemOrLevel = c.subItem;
    ItemLook cellLook = look.notifySubItems ? custom_.item(part, own) : own;
    if (!cellLook.drawn) continue;
    if (!cellLook.parentFont) UseSystemFont(dc_);
    if (!fullRow && cellLook.background != GetSysColor(COLOR_WINDOW)) FillWith(dc_, cell, cellLook.background);
    CellText(dc_, ItemText(hwnd_, s_, index, c.subItem), cell, Alignment(c.format), cellLook.text);
    if (look.notifySubItems) custom_.itemDone(part, cellLook);
  }
}

void ItemPainter::paint(int index) {
  ListViewItem& item = ItemAt(s_, index);
  const std::uint64_t id = item.id;
  ItemToDraw what{static_cast<DWORD_PTR>(index), DrawStateOf(item, focused_), item.param,
                  ItemRect(hwnd_, s_, index, LVIR_BOUNDS)};
  ItemLook look = custom_.item(what, OwnLook(hwnd_, item, focused_));
  // The parent may have changed the list while it was asked.
  if (IndexOfId(s_, id, index) != index || !look.drawn) return;
  if (!look.parentFont) UseSystemFont(dc_);
  const bool blend = focused_ && (item.state & LVIS_SELECTED) && grid_.view == LVS_ICON;
  DrawImage(dc_, s_, grid_.view, item, ItemRect(hwnd_, s_, index, LVIR_ICON), blend);
  RECT box = drawLabel(index, item, look);
  if (grid_.view == LVS_REPORT) drawColumns(index, what, look);
  if ((item.state & LVIS_FOCUSED) && focused_) DrawFocusRect(dc_, &box);
  custom_.itemDone(what, look);
}

}  // namespace

// The header is a window of its own above the rows; the scroll bars may have
// changed the width it has.
void Paint(HWND hwnd, ListViewState& s) {
  SyncScrollBars(hwnd, s);
  PlaceHeader(hwnd, s);
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(hwnd, &paint);
  s.painting = true;
  RECT client{};
  GetClientRect(hwnd, &client);
  HGDIOBJ font = UseSystemFont(dc);
  SetBkMode(dc, TRANSPARENT);
  FillWithSysColor(dc, client, COLOR_WINDOW);
  CustomDraw custom(hwnd, dc);
  if (custom.begin(client)) {
    const Grid grid = GridOf(hwnd, s);
    const Range range = InView(grid, s, client);
    ItemPainter painter(hwnd, s, dc, grid, custom);
    for (int index = range.first; index < std::min(range.last, Count(s)); ++index) painter.paint(index);
    custom.end(client);
  }
  SelectObject(dc, font);
  s.painting = false;
  EndPaint(hwnd, &paint);
}

}  // namespace sim::listview
