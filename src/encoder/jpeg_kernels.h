// The arithmetic of the JPEG encoder: colour conversion with 4:2:0 down-sampling, and
// the quantised forward DCT. Each has a portable version and, on x86, an SSE2 one; both
// evaluate the same float expressions in the same order, so they give the same bits and
// a file never depends on the machine that wrote it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pelnoro::encoder::jpeg {

// Position in the 8x8 block (row-major) of the k-th coefficient in zig-zag order.
inline constexpr std::uint8_t kNaturalOrder[64] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// Two picture rows of `count` pixels (count even) to level-shifted Y for both rows and
// Cb, Cr averaged over each 2x2 square (count / 2 values each).
void ConvertRowPairPortable(const std::uint32_t* row0, const std::uint32_t* row1, int count,
                            float* y0, float* y1, float* cb, float* cr);

// Forward DCT of the 8x8 samples at `samples` (rows `stride` floats apart), quantised by
// multiplying with `divisors` (natural order, DCT scaling folded in, 16-byte aligned) and
// written to
// `zigzag`. Returns the block's non-zero pattern: bit k set when zigzag[k] != 0.
std::uint64_t QuantizeBlockPortable(const float* samples, std::ptrdiff_t stride,
                                    const float* divisors, std::int16_t* zigzag);

#if defined(__SSE2__)
// Eight pixels at a time; any even count.
void ConvertRowPairSse2(const std::uint32_t* row0, const std::uint32_t* row1, int count, float* y0,
                        float* y1, float* cb, float* cr);
std::uint64_t QuantizeBlockSse2(const float* samples, std::ptrdiff_t stride, const float* divisors,
                                std::int16_t* zigzag);
#endif

inline void ConvertRowPair(const std::uint32_t* row0, const std::uint32_t* row1, int count,
                           float* y0, float* y1, float* cb, float* cr) {
#if defined(__SSE2__)
  ConvertRowPairSse2(row0, row1, count, y0, y1, cb, cr);
#else
  ConvertRowPairPortable(row0, row1, count, y0, y1, cb, cr);
#endif
}

inline std::uint64_t QuantizeBlock(const float* samples, std::ptrdiff_t stride,
                                   const float* divisors, std::int16_t* zigzag) {
#if defined(__SSE2__)
  return QuantizeBlockSse2(samples, stride, divisors, zigzag);
#else
  return QuantizeBlockPortable(samples, stride, divisors, zigzag);
#endif
}

}  // namespace pelnoro::encoder::jpeg
