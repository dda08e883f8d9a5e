// A read-only view of 32-bit pixels as the rest of the program keeps them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pelnoro::encoder {

// Colour references 0x00BBGGRR (red in the low byte), top row first. The high byte is
// ignored. `stride` counts pixels from the start of one row to the start of the next.
struct PixelView {
  const std::uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;

  const std::uint32_t* Row(int y) const { return pixels + static_cast<std::ptrdiff_t>(y) * stride; }
};

// Packed 8-bit R, G, B, top row first, as a binary PPM file holds them, so that a file
// mapped into memory can be encoded where it lies. `stride` counts bytes from the start
// of one row to the start of the next. Only the JPEG writer reads it.
struct RgbView {
  const std::uint8_t* bytes = nullptr;
  int width = 0;
  int height = 0;
  std::ptrdiff_t stride = 0;

  const std::uint8_t* Row(int y) const { return bytes + static_cast<std::ptrdiff_t>(y) * stride; }
};

inline std::uint8_t Red(std::uint32_t c) {
  return static_cast<std::uint8_t>(c);
}
inline std::uint8_t Green(std::uint32_t c) {
  return static_cast<std::uint8_t>(c >> 8);
}
inline std::uint8_t Blue(std::uint32_t c) {
  return static_cast<std::uint8_t>(c >> 16);
}

}  // namespace pelnoro::encoder
