// libFuzzer target: the encoders on arbitrary sizes, strides, options and pixels.
// Byte 0-1 width, 2-3 height (both 1..256), 4 stride slack, 5 quality, 6 flags; the rest
// are pixels, repeated to fill the picture.
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "encoder/bmp_encoder.h"
#include "encoder/jpeg_encoder.h"
#include "encoder/jpeg_kernels.h"
#include "encoder/png_encoder.h"
#include "encoder/png_filter.h"

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
  {
    // libpng must read back exactly the pixels.
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, out.data(), out.size())) std::abort();
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (static_cast<int>(image.width) != width || static_cast<int>(image.height) != height ||
        !png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr))
      std::abort();
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const std::uint32_t c = view.Row(y)[x];
        const std::uint8_t* got = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
        if (got[0] != Red(c) || got[1] != Green(c) || got[2] != Blue(c)) std::abort();
      }
  }
  if (EncodeBmp(view, out) != Error::kOk) std::abort();

  // Every JPEG kernel level this processor runs must give the portable kernels' bits on
  // any input, and a file from packed RGB must be the file from 32-bit pixels.
  for (jpeg::KernelLevel level : {jpeg::KernelLevel::kSse2, jpeg::KernelLevel::kAvx2}) {
    if (!jpeg::Runs(level)) continue;
    const jpeg::Kernels& kernels = jpeg::KernelsOf(level);
    const jpeg::Kernels& portable = jpeg::KernelsOf(jpeg::KernelLevel::kPortable);
    if (width >= 2 && height >= 2) {
      const int count = width & ~1;
      std::vector<float> a(static_cast<std::size_t>(count) * 3), b(a.size());
      const auto convert = [&](jpeg::ConvertRowPairFn kernel, std::vector<float>& f) {
        kernel(view.Row(0), view.Row(1), count, f.data(), f.data() + count, f.data() + 2 * count,
               f.data() + 2 * count + count / 2);
      };
      convert(portable.convert_row_pair, a);
      convert(kernels.convert_row_pair, b);
      if (std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) != 0) std::abort();
    }
    {
      // Samples with fractions, as colour conversion makes them; divisors of the quality.
      float samples[64];
      for (int i = 0; i < 64; ++i)
        samples[i] = static_cast<float>(p[(7 * i) % n]) * 0.75f - 96.0f + (flags >> 4) * 0.125f;
      const auto quant = JpegQuantTable((flags >> 3) & 1, quality);
      float divisors[64];
      for (int i = 0; i < 64; ++i)
        divisors[i] = 1.0f / (quant[i] * 8.0f) * (1.0f + (i % 8) * 0.03f);
      std::int16_t x[64], y[64];
      if (portable.quantize_block(samples, 8, divisors, x) !=
              kernels.quantize_block(samples, 8, divisors, y) ||
          std::memcmp(x, y, sizeof x) != 0)
        std::abort();
    }
    {
      // Exactly the row's bytes: a read past them shows under AddressSanitizer.
      const int count = static_cast<int>(std::min<std::size_t>(n / 3, 300));
      std::vector<std::uint8_t> row(p, p + 3 * count);
      std::vector<std::uint32_t> a(static_cast<std::size_t>(count)), b(a.size());
      portable.widen_rgb_row(row.data(), count, a.data());
      kernels.widen_rgb_row(row.data(), count, b.data());
      if (a != b) std::abort();
    }
  }
  {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3), from_rgb;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const std::uint32_t c = view.Row(y)[x];
        std::uint8_t* q = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
        q[0] = Red(c);
        q[1] = Green(c);
        q[2] = Blue(c);
      }
    EncodeJpeg(view, {quality, (flags & 1) != 0}, out);
    if (EncodeJpegRgb({rgb.data(), width, height, 3 * width}, {quality, (flags & 1) != 0},
                      from_rgb) != Error::kOk ||
        from_rgb != out)
      std::abort();
  }

#if defined(__SSE2__)
  {
    const std::size_t length = n / 2;
    std::vector<std::uint8_t> a(length + 1), b(length + 1);
    for (int bpp : {1, 3})
      for (bool first : {false, true}) {
        png::FilterRowPortable(p + length, p, length, bpp, first, a.data());
        png::FilterRowSse2(p + length, p, length, bpp, first, b.data());
        if (a != b) std::abort();
      }
    for (int type = 0; type < 5; ++type) {
      png::FilterRowWithPortable(type, p + length, p, length, 3, a.data());
      png::FilterRowWithSse2(type, p + length, p, length, 3, b.data());
      if (a != b) std::abort();
    }
  }
#endif
  return 0;
}
