// libFuzzer target: the encoders on arbitrary sizes, strides, options and pixels.
// Byte 0-1 width, 2-3 height (both 1..256), 4 stride slack, 5 quality, 6 flags; the rest
// are pixels, repeated to fill the picture.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "encoder/bmp_encoder.h"
#include "encoder/jpeg_encoder.h"
#include "encoder/png_encoder.h"

using namespace pelnoro::encoder;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 8) return 0;
  const int width = 1 + ((data[0] | data[1] << 8) % 256);
  const int height = 1 + ((data[2] | data[3] << 8) % 256);
  const int stride = width + data[4] % 8;
  const int quality = data[5] % 101;
  const std::uint8_t flags = data[6];
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(stride) * height);
  const std::uint8_t* p = data + 7;
  const std::size_t n = size - 7;
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    // Few distinct bytes give few colours, so palettes of every depth come up.
    const std::size_t k = (i * 3) % n;
    pixels[i] = p[k] | p[(k + 1) % n] << 8 | static_cast<std::uint32_t>(p[(k + 2) % n]) << 16;
  }
  const PixelView view{pixels.data(), width, height, stride};
  std::vector<std::uint8_t> out;
  if (EncodeJpeg(view, {quality, (flags & 1) != 0}, out) != Error::kOk || out.size() < 4 ||
      out[0] != 0xFF || out[1] != 0xD8 || out[out.size() - 2] != 0xFF || out.back() != 0xD9)
    std::abort();
  if (EncodePng(view, static_cast<PngLevel>((flags >> 1) % 3), out) != Error::kOk) std::abort();
  if (EncodeBmp(view, out) != Error::kOk) std::abort();
  return 0;
}
