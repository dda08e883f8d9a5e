// Anti-aliased drawing on surfaces, for the windows' design-time pictures.
#pragma once

#include <cstdint>

#include "image/surface.h"

namespace pelnoro::image {

std::uint32_t Rgb(int r, int g, int b);
// a blended towards b by t (0..1).
std::uint32_t Mix(std::uint32_t a, std::uint32_t b, double t);
void VerticalGradient(Surface& s, std::uint32_t top, std::uint32_t bottom);
// A ring between radii r0 and r1 around (cx, cy).
void Ring(Surface& s, double cx, double cy, double r0, double r1, std::uint32_t color);
void Disc(Surface& s, double cx, double cy, double r, std::uint32_t color);
// A segment w pixels thick.
void Segment(Surface& s, double x0, double y0, double x1, double y1, double w, std::uint32_t color);
// A filled rectangle with corners of radius r and a one-pixel border.
void RoundedPanel(Surface& s, int x0, int y0, int x1, int y1, double r, std::uint32_t fill,
                  std::uint32_t border);

}  // namespace pelnoro::image
