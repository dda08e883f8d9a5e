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

// The surface made `factor` times smaller on each axis, each pixel the rounded mean of
// the factor x factor block it stands for (a block cut by the right or bottom edge
// averages the pixels it has). A factor below 2 gives a copy.
Surface ShrinkByAverage(const Surface& src, int factor);

// A straight-alpha pixel as decoders hand them out (0xAARRGGBB) laid over a colour
// reference, each channel rounded: a colour reference.
inline std::uint32_t OverBackground(std::uint32_t argb, std::uint32_t background) {
  const std::uint32_t a = argb >> 24;
  const std::uint32_t r = argb >> 16 & 0xFF, g = argb >> 8 & 0xFF, b = argb & 0xFF;
  if (a == 0xFF) return b << 16 | g << 8 | r;
  if (a == 0) return background & 0x00FFFFFF;
  const std::uint32_t br = background & 0xFF, bg = background >> 8 & 0xFF,
                      bb = background >> 16 & 0xFF;
  const auto mix = [a](std::uint32_t f, std::uint32_t k) {
    return (f * a + k * (255 - a) + 127) / 255;
  };
  return mix(b, bb) << 16 | mix(g, bg) << 8 | mix(r, br);
}

}  // namespace pelnoro::image
