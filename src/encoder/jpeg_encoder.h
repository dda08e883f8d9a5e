// JPEG (JFIF) encoder: YCbCr 4:2:0, baseline or progressive, Huffman tables fitted to
// each image.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "encoder/error.h"
#include "encoder/pixel_view.h"

namespace pelnoro::encoder {

namespace jpeg {
enum class KernelLevel;  // jpeg_kernels.h
}

// JPEG's own size fields allow up to 65535; we stop a little short like other encoders.
inline constexpr int kJpegMaxDimension = 65500;

struct JpegOptions {
  int quality = 75;  // 0..100; 0 acts as 1, values above 100 as 100
  bool progressive = false;
  // 1: on the calling thread only; otherwise a large picture is also worked on by a
  // second thread where the processor has a second core. The file is the same.
  int threads = 0;
};

// The luminance (0) or chrominance (1) quantisation table for a quality, in natural
// (row-major) order: the Annex K tables scaled the usual way and clamped to 1..255 so
// every decoder accepts them as baseline tables.
std::array<std::uint16_t, 64> JpegQuantTable(int table, int quality);

// Replaces `out` with a complete JPEG file.
Error EncodeJpeg(const PixelView& image, const JpegOptions& options,
                 std::vector<std::uint8_t>& out);
Error EncodeJpegRgb(const RgbView& image, const JpegOptions& options,
                    std::vector<std::uint8_t>& out);

// The same with the kernels of `level` rather than the fastest this processor runs, for
// the tests and benchmarks that show a file does not depend on them. A level the
// processor does not run gives kBadArgument.
Error EncodeJpeg(const PixelView& image, const JpegOptions& options, jpeg::KernelLevel level,
                 std::vector<std::uint8_t>& out);
Error EncodeJpegRgb(const RgbView& image, const JpegOptions& options, jpeg::KernelLevel level,
                    std::vector<std::uint8_t>& out);

}  // namespace pelnoro::encoder
