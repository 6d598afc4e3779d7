// NM_CUSTOMDRAW: the parent's part in the painting of a list view or a tree view.
//
// The control asks before it paints anything (CDDS_PREPAINT). CDRF_SKIPDEFAULT there
// leaves the whole client area to the parent; CDRF_NOTIFYITEMDRAW asks for a
// CDDS_ITEMPREPAINT before each item, where the parent may change the text and
// background colours of the record, select a font of its own into the context and
// return CDRF_NEWFONT, return CDRF_SKIPDEFAULT to draw the item itself, or ask for
// CDRF_NOTIFYSUBITEMDRAW (a report view's columns, each with CDDS_SUBITEM) and
// CDRF_NOTIFYPOSTPAINT (CDDS_ITEMPOSTPAINT after the item). CDRF_NOTIFYPOSTPAINT on
// the first question gives a CDDS_POSTPAINT when everything is drawn.
#pragma once

#include <commctrl.h>

namespace sim {

// How the control draws one item (or one column of it) after the parent was asked.
struct ItemLook {
  COLORREF text = 0;
  COLORREF background = 0;
  bool drawn = true;           // false: the parent drew it (CDRF_SKIPDEFAULT)
  bool parentFont = false;     // CDRF_NEWFONT: keep the font the parent selected
  bool notifyPost = false;     // CDRF_NOTIFYPOSTPAINT
  bool notifySubItems = false;  // CDRF_NOTIFYSUBITEMDRAW
};

// What is known of an item when the parent is asked about it.
struct ItemToDraw {
  DWORD_PTR spec = 0;  // the index, or the tree item's handle
  UINT state = 0;      // CDIS_*
  LPARAM param = 0;
  RECT rect{};
  int subItemOrLevel = 0;
  bool subItem = false;
};

class CustomDraw {
 public:
  CustomDraw(HWND control, HDC dc) : control_(control), dc_(dc) {}

  // CDDS_PREPAINT; false when the parent paints the whole control.
  bool begin(const RECT& client);
  bool wantsItems() const { return (answer_ & CDRF_NOTIFYITEMDRAW) != 0; }
  // CDDS_ITEMPREPAINT (with CDDS_SUBITEM for a column), when the parent asked for
  // items; `look` comes in with the control's own colours.
  ItemLook item(const ItemToDraw& item, ItemLook look);
  void itemDone(const ItemToDraw& item, const ItemLook& look);
  // CDDS_POSTPAINT when the parent asked for it.
  void end(const RECT& client);

 private:
  LRESULT ask(DWORD stage, const ItemToDraw& item, COLORREF* text, COLORREF* background);

  HWND control_;
  HDC dc_;
  LRESULT answer_ = CDRF_DODEFAULT;
};

}  // namespace sim
