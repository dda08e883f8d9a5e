// A 32-bit pixel buffer of colour references 0x00BBGGRR, row by row from the top.
#pragma once

#include <cstdint>
#include <vector>

namespace pelnoro::image {

class Surface {
 public:
  Surface() = default;
  Surface(int width, int height, std::uint32_t fill = 0x00FFFFFF);

  int width() const { return width_; }
  int height() const { return height_; }
  bool empty() const { return width_ <= 0 || height_ <= 0; }
  void resize(int width, int height, std::uint32_t fill = 0x00FFFFFF);

  // -1 outside the surface, as the platform's pixel read reports it.
  std::int64_t pixel(int x, int y) const;
  void setPixel(int x, int y, std::uint32_t color);
  void fill(std::uint32_t color);
  void fillRect(int x, int y, int w, int h, std::uint32_t color);

  std::uint32_t* row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
  const std::uint32_t* row(int y) const {
    return pixels_.data() + static_cast<std::size_t>(y) * width_;
  }
  const std::vector<std::uint32_t>& pixels() const { return pixels_; }
  std::vector<std::uint32_t>& pixels() { return pixels_; }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
};

}  // namespace pelnoro::image
