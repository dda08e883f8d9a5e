#include "encoder/image_file.h"

#include <vector>

#include "encoder/bmp_encoder.h"

namespace pelnoro::encoder {
namespace fs = std::filesystem;

Error SaveJpegFile(const PixelView& image, const JpegOptions& options, const fs::path& target) {
  std::vector<std::uint8_t> bytes;
  const Error e = EncodeJpeg(image, options, bytes);
  return e != Error::kOk ? e : WriteFileReplacing(target.native(), bytes);
}

Error SaveJpegRgbFile(const RgbView& image, const JpegOptions& options, const fs::path& target) {
  std::vector<std::uint8_t> bytes;
  const Error e = EncodeJpegRgb(image, options, bytes);
  return e != Error::kOk ? e : WriteFileReplacing(target.native(), bytes);
}

Error SavePngFile(const PixelView& image, PngLevel level, const fs::path& target) {
  std::vector<std::uint8_t> bytes;
  const Error e = EncodePng(image, level, bytes);
  return e != Error::kOk ? e : WriteFileReplacing(target.native(), bytes);
}

Error SaveBmpFile(const PixelView& image, const fs::path& target) {
  std::vector<std::uint8_t> bytes;
  const Error e = EncodeBmp(image, bytes);
  return e != Error::kOk ? e : WriteFileReplacing(target.native(), bytes);
}

}  // namespace pelnoro::encoder
