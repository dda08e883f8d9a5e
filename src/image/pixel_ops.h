// Whole-buffer pixel operations on surfaces.
#pragma once

#include <cstdint>

#include "image/surface.h"

namespace pelnoro::image {

// Copies w x h pixels from (sx, sy) of src to (dx, dy) of dst. Source pixels
// outside src come out as `outside`; destination pixels outside dst are skipped.
void CopyRect(const Surface& src, int sx, int sy, int w, int h, Surface& dst, int dx, int dy,
              std::uint32_t outside = 0);

// Nearest-pixel stretch of the source rectangle onto the destination
// rectangle; a negative destination extent mirrors that axis.
void StretchNearest(const Surface& src, int sx, int sy, int sw, int sh, Surface& dst, int dx,
                    int dy, int dw, int dh, std::uint32_t outside = 0);

}  // namespace pelnoro::image
