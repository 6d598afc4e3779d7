// The rectangles of a region, kept in the region itself while they are few.
//
// The window system makes and combines regions at every change of the screen, and
// nearly all of them hold a handful of rectangles: keeping those inline spares an
// allocation per region, which under the sanitizers cost more than the combining.
#pragma once

#include <windows.h>

#include "gdi/inline_list.h"

namespace sim {

using RectList = InlineList<RECT, 8>;

}  // namespace sim
