// Moving pixels from one surface to another: BitBlt, StretchBlt, TransparentImage,
// icons and image lists all come through BlitPixels.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <windows.h>

#include "gdi/canvas.h"
#include "gdi/pixels.h"

namespace sim {

struct BlitSource {
  const PixelBuffer* pixels = nullptr;
  // A monochrome device bitmap: its 0 bits take the target context's text colour and
  // its 1 bits the background colour. (A 1-bit DIB uses its own colour table.)
  bool monochromeDevice = false;
  // The source context's background colour: a colour source drawn into a monochrome
  // target gives 1 where it has this colour and 0 elsewhere.
  COLORREF background = RGB(255, 255, 255);
  // A colour to leave out (TransparentImage).
  std::optional<COLORREF> transparent;
};

// Copies `from` (source pixels) onto `to` (target pixels, clipped), stretching by
// the nearest pixel when the sizes differ; a negative size mirrors. `rop3` combines
// pattern (the context's brush), source and target.
void BlitPixels(Canvas& canvas, const RECT& to, const BlitSource& source, const RECT& from, std::uint8_t rop3);

// The source a device context offers: its bitmap or the screen.
BlitSource SourceOf(const DeviceContext& context);

}  // namespace sim
