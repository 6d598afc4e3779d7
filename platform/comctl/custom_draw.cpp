#include "comctl/custom_draw.h"

#include "comctl/notify.h"

namespace sim {

// The list view's and the tree view's records differ only in the name of their last
// member (iSubItem, iLevel): one record serves both.
LRESULT CustomDraw::ask(DWORD stage, const ItemToDraw& item, COLORREF* text, COLORREF* background) {
  NMLVCUSTOMDRAW record{};
  record.nmcd.dwDrawStage = stage;
  record.nmcd.hdc = dc_;
  record.nmcd.rc = item.rect;
  record.nmcd.dwItemSpec = item.spec;
  record.nmcd.uItemState = item.state;
  record.nmcd.lItemlParam = item.param;
  record.clrText = text ? *text : CLR_DEFAULT;
  record.clrTextBk = background ? *background : CLR_DEFAULT;
  record.iSubItem = item.subItemOrLevel;
  LRESULT answer = SendNotify(control_, NM_CUSTOMDRAW, &record.nmcd.hdr);
  if (text) *text = record.clrText;
  if (background) *background = record.clrTextBk;
  return answer;
}

bool CustomDraw::begin(const RECT& client) {
  ItemToDraw whole;
  whole.rect = client;
  answer_ = ask(CDDS_PREPAINT, whole, nullptr, nullptr);
  return !(answer_ & CDRF_SKIPDEFAULT);
}

ItemLook CustomDraw::item(const ItemToDraw& item, ItemLook look) {
  if (!wantsItems()) return look;
  const DWORD stage = CDDS_ITEMPREPAINT | (item.subItem ? CDDS_SUBITEM : 0);
  LRESULT answer = ask(stage, item, &look.text, &look.background);
  look.drawn = !(answer & CDRF_SKIPDEFAULT);
  look.parentFont = (answer & CDRF_NEWFONT) != 0;
  look.notifyPost = (answer & CDRF_NOTIFYPOSTPAINT) != 0;
  look.notifySubItems = !item.subItem && (answer & CDRF_NOTIFYSUBITEMDRAW) != 0;
  return look;
}

void CustomDraw::itemDone(const ItemToDraw& item, const ItemLook& look) {
  if (!look.notifyPost) return;
  ask(CDDS_ITEMPOSTPAINT | (item.subItem ? CDDS_SUBITEM : 0), item, nullptr, nullptr);
}

void CustomDraw::end(const RECT& client) {
  if (!(answer_ & CDRF_NOTIFYPOSTPAINT)) return;
  ItemToDraw whole;
  whole.rect = client;
  ask(CDDS_POSTPAINT, whole, nullptr, nullptr);
}

}  // namespace sim
