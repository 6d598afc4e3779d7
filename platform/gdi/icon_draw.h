// Drawing an icon's images: the mask clears where the icon is opaque (AND), the
// colour image is then put in (XOR), as the device draws icons.
#pragma once

#include <windows.h>

#include "gdi/canvas.h"
#include "gdi/gdi_objects.h"

namespace sim {

// Draws `icon` stretched to `to` (target coordinates); flags as DrawIconEx
// (DI_MASK, DI_IMAGE, DI_NORMAL). False when the icon has no images.
bool DrawIconImages(Canvas& canvas, const RECT& to, const IconData& icon, UINT flags);

}  // namespace sim
