// Lossless PNG encoder: a palette when the picture has at most 256 colours (8 bits per
// pixel, or 4, 2, 1 when 16, 4, 2 colours suffice), otherwise 8-bit RGB.
#pragma once

#include <cstdint>
#include <vector>

#include "encoder/error.h"
#include "encoder/pixel_view.h"

namespace pelnoro::encoder {

// Numbered as the save options pass them.
enum class PngLevel : int {
  kNormal = 0,   // balanced
  kLow = 1,      // fastest
  kHighest = 2,  // smallest file, several trials
};

// PNG allows 2^31 - 1; one filtered row must also fit in an int.
inline constexpr int kPngMaxDimension = 0x7FFFFFFF / 4;

// Replaces `out` with a complete PNG file.
Error EncodePng(const PixelView& image, PngLevel level, std::vector<std::uint8_t>& out);

}  // namespace pelnoro::encoder
