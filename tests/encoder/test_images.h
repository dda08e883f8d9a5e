// Pictures for the encoder tests and the host decoders that check the results.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "encoder/pixel_view.h"

namespace pelnoro::encoder::testing {

struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00BBGGRR, stride = width

  PixelView View() const { return {pixels.data(), width, height, width}; }
  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

inline std::uint32_t Rgb(int r, int g, int b) {
  return static_cast<std::uint32_t>(r) | static_cast<std::uint32_t>(g) << 8 |
         static_cast<std::uint32_t>(b) << 16;
}

// Smooth gradients, a few edges and mild noise: behaves like a photograph.
Image PhotoLike(int width, int height, unsigned seed = 1);
// Flat panels, frames and anti-aliased glyph-like strokes: fewer than 256 colours.
Image ScreenLike(int width, int height);
// Every pixel a random colour: incompressible.
Image Noise(int width, int height, unsigned seed = 7);

// Peak signal-to-noise ratio over R, G and B, in dB.
double Psnr(const Image& a, const Image& b);

struct DecodedJpeg {
  bool ok = false;
  std::string error;
  int warnings = 0;
  bool progressive = false;
  bool jfif = false;
  int components = 0;
  std::vector<std::uint16_t> quant[2];  // natural order
  Image image;
};
DecodedJpeg DecodeJpeg(const std::vector<std::uint8_t>& bytes);

// Encodes with the host's libjpeg at a quality, 4:2:0, to compare against.
std::vector<std::uint8_t> ReferenceJpeg(const Image& image, int quality);
// The tables the host's libjpeg picks for a quality (0 luma, 1 chroma), natural order.
std::vector<std::uint16_t> ReferenceQuantTable(int table, int quality);

struct DecodedPng {
  bool ok = false;
  std::string error;
  bool palette = false;
  int colour_type = -1;  // 0 grey, 2 RGB, 3 palette
  int bit_depth = 0;
  int idat_chunks = 0;
  Image image;
};
DecodedPng DecodePng(const std::vector<std::uint8_t>& bytes);

}  // namespace pelnoro::encoder::testing
