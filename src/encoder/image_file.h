// Writing encoded pictures to disk without ever leaving a damaged file behind.
#pragma once

#include <filesystem>

#include "encoder/error.h"
#include "encoder/file_writer.h"
#include "encoder/jpeg_encoder.h"
#include "encoder/pixel_view.h"
#include "encoder/png_encoder.h"

namespace pelnoro::encoder {

// Each encodes and writes through WriteFileReplacing: a failure keeps any old file.
Error SaveJpegFile(const PixelView& image, const JpegOptions& options,
                   const std::filesystem::path& target);
Error SaveJpegRgbFile(const RgbView& image, const JpegOptions& options,
                      const std::filesystem::path& target);
Error SavePngFile(const PixelView& image, PngLevel level, const std::filesystem::path& target);
Error SaveBmpFile(const PixelView& image, const std::filesystem::path& target);

}  // namespace pelnoro::encoder
