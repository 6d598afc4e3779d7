// Stock objects the drawing part makes for itself.
#pragma once

#include <windows.h>

namespace sim {

// The 1 x 1 monochrome bitmap every memory device context starts with.
HBITMAP DefaultContextBitmap();

}  // namespace sim
