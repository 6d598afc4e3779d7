// Raised and sunken edges, shared by DrawEdge and DrawFrameControl.
#pragma once

#include <windows.h>

#include "gdi/canvas.h"

namespace sim {

// Draws the edges of a target rectangle as DrawEdge does and gives what is left
// inside them.
RECT PaintEdge(Canvas& canvas, RECT rect, UINT edge, UINT flags);

}  // namespace sim
