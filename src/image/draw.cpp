#include "image/draw.h"

#include <algorithm>
#include <cmath>

namespace pelnoro::image {

namespace {
int channel(std::uint32_t c, int shift) {
  return static_cast<int>((c >> shift) & 0xFF);
}

}  // namespace

std::uint32_t Rgb(int r, int g, int b) {
  return static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8) |
         (static_cast<std::uint32_t>(b) << 16);
}

std::uint32_t Mix(std::uint32_t a, std::uint32_t b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  auto m = [&](int s) {
    return static_cast<int>(std::lround(channel(a, s) * (1 - t) + channel(b, s) * t));
  };
  return Rgb(m(0), m(8), m(16));
}

void VerticalGradient(Surface& s, std::uint32_t top, std::uint32_t bottom) {
  for (int y = 0; y < s.height(); ++y) {
    const auto c = Mix(top, bottom, s.height() > 1 ? double(y) / (s.height() - 1) : 0);
    std::fill(s.row(y), s.row(y) + s.width(), c);
  }
}

// Anti-aliased disc ring between radii r0 and r1 around (cx, cy).
void Ring(Surface& s, double cx, double cy, double r0, double r1, std::uint32_t color) {
  for (int y = 0; y < s.height(); ++y) {
    for (int x = 0; x < s.width(); ++x) {
      const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
      const double cover = std::clamp(r1 - d + 0.5, 0.0, 1.0) * std::clamp(d - r0 + 0.5, 0.0, 1.0);
      if (cover > 0) s.row(y)[x] = Mix(s.row(y)[x], color, cover);
    }
  }
}

void Disc(Surface& s, double cx, double cy, double r, std::uint32_t color) {
  Ring(s, cx, cy, -1, r, color);
}

// Anti-aliased thick segment.
void Segment(Surface& s, double x0, double y0, double x1, double y1, double w,
             std::uint32_t color) {
  const double dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
  for (int y = 0; y < s.height(); ++y) {
    for (int x = 0; x < s.width(); ++x) {
      const double px = x + 0.5, py = y + 0.5;
      const double t =
          len2 > 0 ? std::clamp(((px - x0) * dx + (py - y0) * dy) / len2, 0.0, 1.0) : 0;
      const double d = std::hypot(px - (x0 + t * dx), py - (y0 + t * dy));
      const double cover = std::clamp(w / 2 - d + 0.5, 0.0, 1.0);
      if (cover > 0) s.row(y)[x] = Mix(s.row(y)[x], color, cover);
    }
  }
}

void RoundedPanel(Surface& s, int x0, int y0, int x1, int y1, double r, std::uint32_t fill,
                  std::uint32_t border) {
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      const double cx = std::clamp(x + 0.5, x0 + r, x1 - r),
                   cy = std::clamp(y + 0.5, y0 + r, y1 - r);
      const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
      const double inside = std::clamp(r - d + 0.5, 0.0, 1.0);
      const double edge = std::clamp(1.0 - std::abs(r - 0.5 - d), 0.0, 1.0);
      if (inside > 0) s.row(y)[x] = Mix(s.row(y)[x], fill, inside);
      if (edge > 0 && (d > 0 || r < 1)) s.row(y)[x] = Mix(s.row(y)[x], border, edge * inside);
    }
  }
}

}  // namespace pelnoro::image
