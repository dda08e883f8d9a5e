// libFuzzer target: the command-line tool's PPM reader, then every encoder on what it read.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "encoder/bmp_encoder.h"
#include "encoder/jpeg_encoder.h"
#include "encoder/png_encoder.h"
#include "ppm_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pelnoro::tools::PpmImage image;
  if (!pelnoro::tools::ParsePpm({data, size}, image).empty()) return 0;
  if (static_cast<long>(image.width) * image.height > 1 << 16) return 0;  // keep runs quick
  const pelnoro::encoder::PixelView view{image.pixels.data(), image.width, image.height,
                                         image.width};
  std::vector<std::uint8_t> out;
  pelnoro::encoder::EncodeJpeg(view, {50, true}, out);
  pelnoro::encoder::EncodePng(view, pelnoro::encoder::PngLevel::kLow, out);
  pelnoro::encoder::EncodeBmp(view, out);
  return 0;
}
