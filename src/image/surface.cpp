#include "image/surface.h"

#include <algorithm>

namespace pelnoro::image {

Surface::Surface(int width, int height, std::uint32_t fill) {
  resize(width, height, fill);
}

void Surface::resize(int width, int height, std::uint32_t fill) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  const std::size_t n = static_cast<std::size_t>(width_) * height_;
  // A surface that shrinks gives its memory back: a frozen screen is 8 MB.
  if (n < pixels_.capacity() / 2) {
    std::vector<std::uint32_t>(n, fill).swap(pixels_);
  } else {
    pixels_.assign(n, fill);
  }
}

std::int64_t Surface::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return -1;
  return row(y)[x];
}

void Surface::setPixel(int x, int y, std::uint32_t color) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  row(y)[x] = color;
}

void Surface::fill(std::uint32_t color) {
  std::fill(pixels_.begin(), pixels_.end(), color);
}

void Surface::fillRect(int x, int y, int w, int h, std::uint32_t color) {
  const int x0 = std::max(x, 0), y0 = std::max(y, 0);
  const int x1 = std::min(x + w, width_), y1 = std::min(y + h, height_);
  for (int yy = y0; yy < y1; ++yy) std::fill(row(yy) + x0, row(yy) + x1, color);
}

}  // namespace pelnoro::image
