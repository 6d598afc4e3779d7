// The header's painting: the button face across the control, then each item in its
// order as a raised button with its title, sunk while the stylus holds it down.
#include "comctl/header_internal.h"
#include "user/draw.h"

namespace sim::header {

namespace {

UINT Alignment(int format) {
  switch (format & HDF_JUSTIFYMASK) {
    case HDF_RIGHT: return DT_RIGHT;
    case HDF_CENTER: return DT_CENTER;
    default: return DT_LEFT;
  }
}

// A plain item shows its title; one that asks for a bitmap or an image shows the
// title only with HDF_STRING; an owner-drawn item is its parent's to fill.
bool ShowsTitle(int format) {
  if (format & HDF_OWNERDRAW) return false;
  return (format & HDF_STRING) || !(format & (HDF_BITMAP | HDF_IMAGE));
}

// The item's image at the left of its content; gives the content that remains.
RECT DrawImage(HDC dc, const HeaderState& s, const HeaderItem& item, RECT content) {
  int width = 0, height = 0;
  if (!(item.format & HDF_IMAGE) || !s.imageList) return content;
  if (!ImageList_GetIconSize(s.imageList, &width, &height)) return content;
  if (item.image < 0 || item.image >= ImageList_GetImageCount(s.imageList)) return content;
  const int y = static_cast<int>(content.top + (content.bottom - content.top - height) / 2);
  ImageList_Draw(s.imageList, item.image, dc, static_cast<int>(content.left), y, ILD_TRANSPARENT);
  content.left += width + Scaled(2);
  return content;
}

void DrawItem(HDC dc, const HeaderState& s, const HeaderItem& item, RECT cell, bool pressed) {
  DrawEdge(dc, &cell, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  if (item.format & HDF_OWNERDRAW) return;
  RECT content = cell;
  InflateRect(&content, -Scaled(4), 0);
  if (pressed) OffsetRect(&content, Scaled(1), Scaled(1));
  content = DrawImage(dc, s, item, content);
  if (!ShowsTitle(item.format)) return;
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  DrawTextW(dc, item.text.c_str(), static_cast<int>(item.text.size()), &content,
            Alignment(item.format) | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

}  // namespace

void Paint(HWND hwnd, HeaderState& s) {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(hwnd, &paint);
  RECT client{};
  GetClientRect(hwnd, &client);
  HGDIOBJ font = UseSystemFont(dc);
  SetBkMode(dc, TRANSPARENT);
  FillWithSysColor(dc, client, COLOR_BTNFACE);
  for (int index : s.order) {
    const HeaderItem& item = ItemAt(s, index);
    DrawItem(dc, s, item, ItemRect(hwnd, s, index), item.id == s.pressedItem);
  }
  SelectObject(dc, font);
  EndPaint(hwnd, &paint);
}

}  // namespace sim::header
