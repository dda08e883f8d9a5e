// Writing encoded pictures to disk without ever leaving a damaged file behind.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

#include "encoder/error.h"
#include "encoder/jpeg_encoder.h"
#include "encoder/pixel_view.h"
#include "encoder/png_encoder.h"

namespace pelnoro::encoder {

// Writes `bytes` to a temporary file in the target's folder and renames it over the
// target only when everything was written, so a failure leaves any existing file as it
// was and no partial file. A read-only target is refused, as Windows would refuse it.
Error WriteFileReplacing(const std::filesystem::path& target, std::span<const std::uint8_t> bytes);

Error SaveJpegFile(const PixelView& image, const JpegOptions& options,
                   const std::filesystem::path& target);
Error SaveJpegRgbFile(const RgbView& image, const JpegOptions& options,
                      const std::filesystem::path& target);
Error SavePngFile(const PixelView& image, PngLevel level, const std::filesystem::path& target);
Error SaveBmpFile(const PixelView& image, const std::filesystem::path& target);

}  // namespace pelnoro::encoder
