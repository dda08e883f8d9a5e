#include "encoder/bmp_encoder.h"

#include <cstdint>
#include <limits>
#include <new>

#include "encoder/byte_writer.h"

namespace pelnoro::encoder {
namespace {

constexpr std::uint32_t kHeaderSize = 14 + 40;   // BITMAPFILEHEADER + BITMAPINFOHEADER
constexpr std::uint32_t kPixelsPerMetre = 3780;  // 96 dpi, the screen's usual density

}  // namespace

Error EncodeBmp(const PixelView& image, std::vector<std::uint8_t>& out) {
  out.clear();
  if (image.pixels == nullptr) return Error::kBadArgument;
  if (image.width < 1 || image.height < 1 || image.stride < image.width) return Error::kBadSize;
  const std::uint64_t row_bytes = (static_cast<std::uint64_t>(image.width) * 3 + 3) & ~3ull;
  const std::uint64_t image_bytes = row_bytes * static_cast<std::uint64_t>(image.height);
  // The file size field is 32 bits.
  if (image_bytes > std::numeric_limits<std::uint32_t>::max() - kHeaderSize)
    return Error::kTooLarge;
  try {
    out.resize(kHeaderSize + image_bytes);
  } catch (const std::bad_alloc&) {
    return Error::kOutOfMemory;
  }
  std::uint8_t* p = out.data();
  p[0] = 'B';
  p[1] = 'M';
  StoreLe32(p + 2, static_cast<std::uint32_t>(out.size()));
  StoreLe32(p + 6, 0);
  StoreLe32(p + 10, kHeaderSize);
  StoreLe32(p + 14, 40);
  StoreLe32(p + 18, static_cast<std::uint32_t>(image.width));
  StoreLe32(p + 22, static_cast<std::uint32_t>(image.height));  // positive: bottom-up
  StoreLe16(p + 26, 1);                                         // planes
  StoreLe16(p + 28, 24);                                        // bits per pixel
  StoreLe32(p + 30, 0);                                         // BI_RGB
  StoreLe32(p + 34, static_cast<std::uint32_t>(image_bytes));
  StoreLe32(p + 38, kPixelsPerMetre);
  StoreLe32(p + 42, kPixelsPerMetre);
  StoreLe32(p + 46, 0);
  StoreLe32(p + 50, 0);
  for (int y = 0; y < image.height; ++y) {
    const std::uint32_t* src = image.Row(image.height - 1 - y);
    std::uint8_t* dest = p + kHeaderSize + row_bytes * static_cast<std::uint64_t>(y);
    for (int x = 0; x < image.width; ++x) {
      dest[3 * x] = Blue(src[x]);
      dest[3 * x + 1] = Green(src[x]);
      dest[3 * x + 2] = Red(src[x]);
    }
    // Padding bytes are already zero from resize().
  }
  return Error::kOk;
}

}  // namespace pelnoro::encoder
