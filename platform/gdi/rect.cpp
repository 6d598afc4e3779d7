// Rectangle arithmetic: SetRect, OffsetRect, IntersectRect and the rest.
#include <algorithm>

#include <windows.h>

#include "gdi/region.h"

BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom) {
  if (!rect) return FALSE;
  *rect = RECT{left, top, right, bottom};
  return TRUE;
}

BOOL SetRectEmpty(LPRECT rect) { return SetRect(rect, 0, 0, 0, 0); }

BOOL CopyRect(LPRECT target, const RECT* source) {
  if (!target || !source) return FALSE;
  *target = *source;
  return TRUE;
}

BOOL IsRectEmpty(const RECT* rect) { return !rect || sim::RectEmpty(*rect) ? TRUE : FALSE; }

BOOL EqualRect(const RECT* a, const RECT* b) {
  return a && b && a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

BOOL PtInRect(const RECT* rect, POINT point) {
  return rect && point.x >= rect->left && point.x < rect->right && point.y >= rect->top && point.y < rect->bottom;
}

BOOL OffsetRect(LPRECT rect, int dx, int dy) {
  if (!rect) return FALSE;
  *rect = RECT{rect->left + dx, rect->top + dy, rect->right + dx, rect->bottom + dy};
  return TRUE;
}

BOOL InflateRect(LPRECT rect, int dx, int dy) {
  if (!rect) return FALSE;
  *rect = RECT{rect->left - dx, rect->top - dy, rect->right + dx, rect->bottom + dy};
  return TRUE;
}

BOOL IntersectRect(LPRECT target, const RECT* a, const RECT* b) {
  if (!target || !a || !b) return FALSE;
  *target = sim::RectIntersection(*a, *b);
  return sim::RectEmpty(*target) ? FALSE : TRUE;
}

BOOL UnionRect(LPRECT target, const RECT* a, const RECT* b) {
  if (!target || !a || !b) return FALSE;
  if (sim::RectEmpty(*a)) return CopyRect(target, b) && !sim::RectEmpty(*b);
  if (sim::RectEmpty(*b)) return CopyRect(target, a);
  *target = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                 std::max(a->bottom, b->bottom)};
  return TRUE;
}

// What is left of `a` when `b` is taken away, when that is still a rectangle.
BOOL SubtractRect(LPRECT target, const RECT* a, const RECT* b) {
  if (!target || !a || !b) return FALSE;
  sim::Region rest = sim::Region(*a).subtracted(sim::Region(*b));
  *target = rest.complexity() == SIMPLEREGION ? rest.bounds() : *a;
  if (rest.empty()) *target = RECT{0, 0, 0, 0};
  return sim::RectEmpty(*target) ? FALSE : TRUE;
}
