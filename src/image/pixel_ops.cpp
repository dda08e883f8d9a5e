#include "image/pixel_ops.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace pelnoro::image {

void CopyRect(const Surface& src, int sx, int sy, int w, int h, Surface& dst, int dx, int dy,
              std::uint32_t outside) {
  for (int y = 0; y < h; ++y) {
    const int ty = dy + y, fy = sy + y;
    if (ty < 0 || ty >= dst.height()) continue;
    std::uint32_t* out = dst.row(ty);
    const bool rowInside = fy >= 0 && fy < src.height();
    const std::uint32_t* in = rowInside ? src.row(fy) : nullptr;
    // Clip the run to the destination, then split it where the source ends.
    const int x0 = std::max(0, -dx), x1 = std::min(w, dst.width() - dx);
    for (int x = x0; x < x1;) {
      const int fx = sx + x;
      if (!rowInside || fx < 0 || fx >= src.width()) {
        out[dx + x] = outside;
        ++x;
        continue;
      }
      const int run = std::min(x1 - x, src.width() - fx);
      std::copy(in + fx, in + fx + run, out + dx + x);
      x += run;
    }
  }
}

void StretchNearest(const Surface& src, int sx, int sy, int sw, int sh, Surface& dst, int dx,
                    int dy, int dw, int dh, std::uint32_t outside) {
  if (sw == 0 || sh == 0 || dw == 0 || dh == 0) return;
  const int adw = std::abs(dw), adh = std::abs(dh);
  // A negative extent counts from the far edge: the rectangle is mirrored.
  const int ox = dw < 0 ? dx + dw + 1 : dx, oy = dh < 0 ? dy + dh + 1 : dy;
  std::vector<int> srcX(static_cast<std::size_t>(adw));
  for (int i = 0; i < adw; ++i) {
    const long long k = (2LL * i + 1) * sw / (2LL * adw);
    srcX[static_cast<std::size_t>(dw < 0 ? adw - 1 - i : i)] = sx + static_cast<int>(k);
  }
  for (int j = 0; j < adh; ++j) {
    const int ty = oy + (dh < 0 ? adh - 1 - j : j);
    if (ty < 0 || ty >= dst.height()) continue;
    const int fy = sy + static_cast<int>((2LL * j + 1) * sh / (2LL * adh));
    const bool rowInside = fy >= 0 && fy < src.height();
    const std::uint32_t* in = rowInside ? src.row(fy) : nullptr;
    std::uint32_t* out = dst.row(ty);
    const int x0 = std::max(0, -ox), x1 = std::min(adw, dst.width() - ox);
    for (int i = x0; i < x1; ++i) {
      const int fx = srcX[static_cast<std::size_t>(i)];
      out[ox + i] = (rowInside && fx >= 0 && fx < src.width()) ? in[fx] : outside;
    }
  }
}

Surface ShrinkByAverage(const Surface& src, int factor) {
  if (factor < 2 || src.empty()) return src;
  const int w = (src.width() + factor - 1) / factor, h = (src.height() + factor - 1) / factor;
  Surface out(w, h, 0);
  std::vector<std::uint64_t> sums(static_cast<std::size_t>(w) * 3);
  for (int oy = 0; oy < h; ++oy) {
    std::fill(sums.begin(), sums.end(), 0);
    const int y0 = oy * factor, y1 = std::min(y0 + factor, src.height());
    for (int y = y0; y < y1; ++y) {
      const std::uint32_t* row = src.row(y);
      for (int x = 0; x < src.width(); ++x) {
        std::uint64_t* s = &sums[static_cast<std::size_t>(x / factor) * 3];
        s[0] += row[x] & 0xFF;
        s[1] += row[x] >> 8 & 0xFF;
        s[2] += row[x] >> 16 & 0xFF;
      }
    }
    std::uint32_t* dst = out.row(oy);
    for (int ox = 0; ox < w; ++ox) {
      const std::uint64_t n =
          static_cast<std::uint64_t>(std::min(factor, src.width() - ox * factor)) * (y1 - y0);
      const std::uint64_t* s = &sums[static_cast<std::size_t>(ox) * 3];
      const auto mean = [n](std::uint64_t v) {
        return static_cast<std::uint32_t>((v + n / 2) / n);
      };
      dst[ox] = mean(s[0]) | mean(s[1]) << 8 | mean(s[2]) << 16;
    }
  }
  return out;
}

}  // namespace pelnoro::image
