// The arithmetic of the JPEG encoder: colour conversion with 4:2:0 down-sampling, the
// quantised forward DCT, and packed RGB rows widened to 32-bit pixels. Each has a
// portable version and, on x86, SSE2 and AVX2 ones; all evaluate the same float
// expressions in the same order, so they give the same bits and a file never depends on
// the machine that wrote it. Which one runs is decided once, by what the processor has.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace pelnoro::encoder::jpeg {

// Position in the 8x8 block (row-major) of the k-th coefficient in zig-zag order.
inline constexpr std::uint8_t kNaturalOrder[64] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// The transform leaves its coefficients column by column: position u * 8 + v holds
// horizontal frequency u, vertical frequency v (the row-major block transposed), which
// spares the vector kernels a transposition. The k-th zig-zag coefficient sits at
// kColumnOrder[k].
inline constexpr std::array<std::uint8_t, 64> kColumnOrder = [] {
  std::array<std::uint8_t, 64> order{};
  for (int k = 0; k < 64; ++k)
    order[k] = static_cast<std::uint8_t>(kNaturalOrder[k] % 8 * 8 + kNaturalOrder[k] / 8);
  return order;
}();

// Two picture rows of `count` pixels (count even) to level-shifted Y for both rows and
// Cb, Cr averaged over each 2x2 square (count / 2 values each).
using ConvertRowPairFn = void (*)(const std::uint32_t* row0, const std::uint32_t* row1, int count,
                                  float* y0, float* y1, float* cb, float* cr);

// Forward DCT of the 8x8 samples at `samples` (rows `stride` floats apart), quantised by
// multiplying with `divisors` (column order, DCT scaling folded in) and written to
// `coefs` (column order). Returns the block's non-zero
// pattern in zig-zag order: bit k set when coefs[kColumnOrder[k]] != 0.
using QuantizeBlockFn = std::uint64_t (*)(const float* samples, std::ptrdiff_t stride,
                                          const float* divisors, std::int16_t* coefs);

// `count` pixels packed as R, G, B bytes to 0x00BBGGRR.
using WidenRgbRowFn = void (*)(const std::uint8_t* rgb, int count, std::uint32_t* out);

void ConvertRowPairPortable(const std::uint32_t* row0, const std::uint32_t* row1, int count,
                            float* y0, float* y1, float* cb, float* cr);
std::uint64_t QuantizeBlockPortable(const float* samples, std::ptrdiff_t stride,
                                    const float* divisors, std::int16_t* coefs);
void WidenRgbRowPortable(const std::uint8_t* rgb, int count, std::uint32_t* out);

#if defined(__SSE2__)
// Eight pixels at a time; any even count.
void ConvertRowPairSse2(const std::uint32_t* row0, const std::uint32_t* row1, int count, float* y0,
                        float* y1, float* cb, float* cr);
std::uint64_t QuantizeBlockSse2(const float* samples, std::ptrdiff_t stride, const float* divisors,
                                std::int16_t* coefs);
void WidenRgbRowSse2(const std::uint8_t* rgb, int count, std::uint32_t* out);
// Sixteen pixels at a time; any even count. Only where the processor has AVX2.
void ConvertRowPairAvx2(const std::uint32_t* row0, const std::uint32_t* row1, int count, float* y0,
                        float* y1, float* cb, float* cr);
std::uint64_t QuantizeBlockAvx2(const float* samples, std::ptrdiff_t stride, const float* divisors,
                                std::int16_t* coefs);
void WidenRgbRowAvx2(const std::uint8_t* rgb, int count, std::uint32_t* out);
#endif

enum class KernelLevel { kPortable, kSse2, kAvx2 };

struct Kernels {
  ConvertRowPairFn convert_row_pair;
  QuantizeBlockFn quantize_block;
  WidenRgbRowFn widen_rgb_row;
};

// Whether this processor, and the system's saving of its registers, runs a level.
bool Runs(KernelLevel level);
// The fastest level this processor runs, found once.
KernelLevel FastestLevel();
// The kernels of a level that Runs().
const Kernels& KernelsOf(KernelLevel level);

}  // namespace pelnoro::encoder::jpeg
