#include "image/transform.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace pelnoro::image {

namespace {

// A quarter turn tile by tile, so that both the strided reads and the row writes
// stay in the cache; within a tile, a strip of eight source rows becomes a run of
// eight neighbouring pixels in each destination row.
constexpr int kTile = 64;
constexpr int kStrip = 8;

template <bool Clockwise>
void turnTiles(const std::uint32_t* in, int w, int h, std::uint32_t* out) {
  const std::size_t stride = static_cast<std::size_t>(w);
  // Source (x, y) goes to row x, column h - 1 - y (clockwise) or to row w - 1 - x,
  // column y.
  auto target = [&](int x, int y) {
    return Clockwise ? out + static_cast<std::size_t>(x) * h + (h - 1 - y)
                     : out + static_cast<std::size_t>(w - 1 - x) * h + y;
  };
  for (int y0 = 0; y0 < h; y0 += kTile) {
    const int y1 = std::min(h, y0 + kTile);
    for (int x0 = 0; x0 < w; x0 += kTile) {
      const int x1 = std::min(w, x0 + kTile);
      int y = y0;
      for (; y + kStrip <= y1; y += kStrip) {
        for (int x = x0; x < x1; ++x) {
          const std::uint32_t* column = in + static_cast<std::size_t>(y) * stride + x;
          std::uint32_t* run = target(x, y);
          for (int k = 0; k < kStrip; ++k) run[Clockwise ? -k : k] = column[k * stride];
        }
      }
      for (; y < y1; ++y) {
        const std::uint32_t* row = in + static_cast<std::size_t>(y) * stride;
        for (int x = x0; x < x1; ++x) *target(x, y) = row[x];
      }
    }
  }
}

// Sum / n rounded to the nearest integer, halves to even (n > 0, sum >= 0).
std::uint32_t roundedAverage(std::int64_t sum, std::int64_t n) {
  const std::int64_t q = sum / n, r = sum % n;
  if (2 * r > n || (2 * r == n && (q & 1) != 0)) return static_cast<std::uint32_t>(q + 1);
  return static_cast<std::uint32_t>(q);
}

// First value of start, start + step, ... that is >= floor (the start itself when it
// already is).
std::int64_t firstAtLeast(std::int64_t start, std::int64_t step, std::int64_t floor) {
  if (start >= floor) return start;
  return start + (floor - start + step - 1) / step * step;
}

}  // namespace

Surface RotateQuarter(const Surface& src, bool clockwise) {
  Surface out(src.height(), src.width());
  if (src.empty()) return out;
  if (clockwise) {
    turnTiles<true>(src.pixels().data(), src.width(), src.height(), out.pixels().data());
  } else {
    turnTiles<false>(src.pixels().data(), src.width(), src.height(), out.pixels().data());
  }
  return out;
}

Surface RotateHalf(const Surface& src) {
  // Row by row from the bottom, each reversed: the whole buffer read backwards.
  Surface out(src.width(), src.height());
  std::reverse_copy(src.pixels().begin(), src.pixels().end(), out.pixels().begin());
  return out;
}

Surface MirrorLeftRight(const Surface& src) {
  Surface out(src.width(), src.height());
  if (src.empty()) return out;
  for (int y = 0; y < src.height(); ++y)
    std::reverse_copy(src.row(y), src.row(y) + src.width(), out.row(y));
  return out;
}

Surface MirrorTopBottom(const Surface& src) {
  Surface out(src.width(), src.height());
  if (src.empty()) return out;
  const int h = src.height();
  for (int y = 0; y < h; ++y) std::copy(src.row(y), src.row(y) + src.width(), out.row(h - 1 - y));
  return out;
}

void Mosaic(Surface& s, int sx, int sy, int ex, int ey, int block) {
  if (block <= 0) return;
  const std::int64_t b = block, w = s.width(), h = s.height();
  const std::int64_t lastX = std::int64_t{ex} - b;
  // A selection lower than one block still gets one row of blocks.
  const std::int64_t lastY = std::int64_t{ey} - b < sy ? sy : std::int64_t{ey} - b;
  if (sx > lastX || s.empty()) return;
  // Blocks whose fill lies wholly off the surface change nothing, not even what a
  // later block samples: start at the first one whose fill reaches column 0 / row 0,
  // stop at the last one that starts on the surface.
  const std::int64_t bx0 = firstAtLeast(sx, b, -b), bxEnd = std::min(lastX, w - 1);
  const std::int64_t by0 = firstAtLeast(sy, b, -b), byEnd = std::min(lastY, h - 1);
  for (std::int64_t bx = bx0; bx <= bxEnd; bx += b) {
    // Sampled columns [cx0, cx1), filled columns [fx0, fx1), both clipped.
    const std::int64_t cx0 = std::max<std::int64_t>(bx, 0), cx1 = std::min(bx + b, w);
    const std::int64_t fx0 = cx0, fx1 = std::min(bx + b + 1, w);
    for (std::int64_t by = by0; by <= byEnd; by += b) {
      const std::int64_t cy0 = std::max<std::int64_t>(by, 0), cy1 = std::min(by + b, h);
      const std::int64_t fy1 = std::min(by + b + 1, h);
      std::uint32_t color = 0;
      const std::int64_t n =
          std::max<std::int64_t>(cx1 - cx0, 0) * std::max<std::int64_t>(cy1 - cy0, 0);
      if (n > 0) {
        std::int64_t r = 0, g = 0, bl = 0;
        for (std::int64_t y = cy0; y < cy1; ++y) {
          const std::uint32_t* row = s.row(static_cast<int>(y));
          for (std::int64_t x = cx0; x < cx1; ++x) {
            const std::uint32_t p = row[x];
            r += p & 0xFF;
            g += (p >> 8) & 0xFF;
            bl += (p >> 16) & 0xFF;
          }
        }
        color = roundedAverage(r, n) | roundedAverage(g, n) << 8 | roundedAverage(bl, n) << 16;
      }
      for (std::int64_t y = cy0; y < fy1; ++y) {
        std::uint32_t* row = s.row(static_cast<int>(y));
        std::fill(row + fx0, row + fx1, color);
      }
    }
  }
}

}  // namespace pelnoro::image
