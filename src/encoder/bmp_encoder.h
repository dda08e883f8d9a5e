// 24-bit uncompressed Windows bitmap, the variant every viewer reads.
#pragma once

#include <cstdint>
#include <vector>

#include "encoder/error.h"
#include "encoder/pixel_view.h"

namespace pelnoro::encoder {

// Replaces `out` with a complete BMP file (bottom-up rows, each padded to 4 bytes).
Error EncodeBmp(const PixelView& image, std::vector<std::uint8_t>& out);

}  // namespace pelnoro::encoder
