// The AVX2 versions of the JPEG kernels. Only these functions carry the AVX2 target: the
// build stays plain x86-64, and they run only where the processor has AVX2.
#include "encoder/jpeg_kernels.h"

#if defined(__SSE2__)

#include <immintrin.h>

#include <cstring>

namespace pelnoro::encoder::jpeg {
namespace {

#define PELNORO_JPEG_TARGET __attribute__((target("avx2")))
#include "encoder/jpeg_kernel_math.inc"

template <>
PELNORO_JPEG_TARGET inline __m256 Splat<__m256>(float c) {
  return _mm256_set1_ps(c);
}

PELNORO_JPEG_TARGET inline void Channels(__m256i px, __m256& r, __m256& g, __m256& b) {
  const __m256i mask = _mm256_set1_epi32(0xFF);
  r = _mm256_cvtepi32_ps(_mm256_and_si256(px, mask));
  g = _mm256_cvtepi32_ps(_mm256_and_si256(_mm256_srli_epi32(px, 8), mask));
  b = _mm256_cvtepi32_ps(_mm256_and_si256(_mm256_srli_epi32(px, 16), mask));
}

// An 8x8 transposition: r[i] lane j to r[j] lane i.
PELNORO_JPEG_TARGET inline void Transpose8(__m256 (&r)[8]) {
  __m256 t[8], s[8];
  for (int i = 0; i < 8; i += 2) {
    t[i] = _mm256_unpacklo_ps(r[i], r[i + 1]);
    t[i + 1] = _mm256_unpackhi_ps(r[i], r[i + 1]);
  }
  for (int i = 0; i < 8; i += 4) {
    s[i] = _mm256_shuffle_ps(t[i], t[i + 2], _MM_SHUFFLE(1, 0, 1, 0));
    s[i + 1] = _mm256_shuffle_ps(t[i], t[i + 2], _MM_SHUFFLE(3, 2, 3, 2));
    s[i + 2] = _mm256_shuffle_ps(t[i + 1], t[i + 3], _MM_SHUFFLE(1, 0, 1, 0));
    s[i + 3] = _mm256_shuffle_ps(t[i + 1], t[i + 3], _MM_SHUFFLE(3, 2, 3, 2));
  }
  for (int i = 0; i < 4; ++i) {
    r[i] = _mm256_permute2f128_ps(s[i], s[i + 4], 0x20);
    r[i + 4] = _mm256_permute2f128_ps(s[i], s[i + 4], 0x31);
  }
}

// For each 16-byte quarter q of 64 bytes in column order, the shuffle that puts its bytes
// where zig-zag order wants them in the first (0) or second (1) 32 output bytes, and
// zero elsewhere.
struct alignas(32) ZigzagShuffles {
  std::uint8_t control[2][4][32];
};
constexpr ZigzagShuffles kZigzagShuffles = [] {
  ZigzagShuffles s{};
  for (int half = 0; half < 2; ++half)
    for (int q = 0; q < 4; ++q)
      for (int i = 0; i < 32; ++i) {
        const int from = kColumnOrder[half * 32 + i];
        s.control[half][q][i] = from / 16 == q ? static_cast<std::uint8_t>(from % 16) : 0x80;
      }
  return s;
}();

// Even and odd pixels apart, so that each lane holds one 2x2 square. The shuffles work
// within 128-bit lanes, so the squares come out as 0-1 4-5 | 2-3 6-7, and InOrder puts
// them right.
PELNORO_JPEG_TARGET inline __m256 Even(__m256 a, __m256 b) {
  return _mm256_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0));
}
PELNORO_JPEG_TARGET inline __m256 Odd(__m256 a, __m256 b) {
  return _mm256_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1));
}
PELNORO_JPEG_TARGET inline __m256 InOrder(__m256 v) {
  return _mm256_castpd_ps(_mm256_permute4x64_pd(_mm256_castps_pd(v), _MM_SHUFFLE(3, 1, 2, 0)));
}

}  // namespace

PELNORO_JPEG_TARGET void ConvertRowPairAvx2(const std::uint32_t* row0, const std::uint32_t* row1,
                                            int count, float* y0, float* y1, float* cb, float* cr) {
  const std::uint32_t* rows[2] = {row0, row1};
  float* ys[2] = {y0, y1};
  // The last 2x16 pixels and what they gave: screen pictures repeat them along flat areas.
  __m256i seen[2][2] = {};
  __m256 seen_y[2][2] = {}, seen_cb = _mm256_setzero_ps(), seen_cr = _mm256_setzero_ps();
  int x = 0;
  for (; x + 16 <= count; x += 16) {
    __m256i px[2][2];
    __m256i same = _mm256_set1_epi32(-1);
    for (int row = 0; row < 2; ++row)
      for (int half = 0; half < 2; ++half) {
        px[row][half] =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[row] + x + 8 * half));
        same = _mm256_and_si256(same, _mm256_cmpeq_epi32(px[row][half], seen[row][half]));
      }
    if (x == 0 || _mm256_movemask_epi8(same) != -1) {
      // c[row][half][channel]: pixels x..x+7 (half 0) and x+8..x+15 (half 1).
      __m256 c[2][2][3];
      for (int row = 0; row < 2; ++row)
        for (int half = 0; half < 2; ++half) {
          Channels(px[row][half], c[row][half][0], c[row][half][1], c[row][half][2]);
          seen_y[row][half] = Luma(c[row][half][0], c[row][half][1], c[row][half][2]);
          seen[row][half] = px[row][half];
        }
      __m256 mean[3];
      for (int i = 0; i < 3; ++i)
        mean[i] = Average4(Even(c[0][0][i], c[0][1][i]), Odd(c[0][0][i], c[0][1][i]),
                           Even(c[1][0][i], c[1][1][i]), Odd(c[1][0][i], c[1][1][i]));
      Chroma(mean[0], mean[1], mean[2], seen_cb, seen_cr);
      seen_cb = InOrder(seen_cb);
      seen_cr = InOrder(seen_cr);
    }
    for (int row = 0; row < 2; ++row)
      for (int half = 0; half < 2; ++half)
        _mm256_storeu_ps(ys[row] + x + 8 * half, seen_y[row][half]);
    _mm256_storeu_ps(cb + x / 2, seen_cb);
    _mm256_storeu_ps(cr + x / 2, seen_cr);
  }
  if (x < count)
    ConvertRowPairPortable(row0 + x, row1 + x, count - x, y0 + x, y1 + x, cb + x / 2, cr + x / 2);
}

PELNORO_JPEG_TARGET std::uint64_t QuantizeBlockAvx2(const float* samples, std::ptrdiff_t stride,
                                                    const float* divisors, std::int16_t* coefs) {
  __m256 r[8];
  for (int i = 0; i < 8; ++i) r[i] = _mm256_loadu_ps(samples + i * stride);
  // Flat blocks (most of a screen picture) need no transform: the DCT of a constant is
  // exactly 64 times it in the DC term and exact zeros elsewhere. The first row decides
  // most blocks of a photograph at once.
  const __m256 first = _mm256_set1_ps(samples[0]);
  __m256 same = _mm256_cmp_ps(r[0], first, _CMP_EQ_OQ);
  if (_mm256_movemask_ps(same) == 0xFF) {
    for (int i = 1; i < 8; ++i) same = _mm256_and_ps(same, _mm256_cmp_ps(r[i], first, _CMP_EQ_OQ));
    if (_mm256_movemask_ps(same) == 0xFF) {
      const int dc = QuantizeValue(samples[0] * 64.0f, divisors[0], kDcLimit);
      std::memset(coefs, 0, 64 * sizeof(std::int16_t));
      coefs[0] = static_cast<std::int16_t>(dc);
      return dc != 0 ? 1 : 0;
    }
  }

  // Columns first, each lane one column; then, transposed, each lane one row, which
  // leaves register u holding horizontal frequency u: the column order, as it is stored.
  Dct8(r[0], r[1], r[2], r[3], r[4], r[5], r[6], r[7]);
  Transpose8(r);
  Dct8(r[0], r[1], r[2], r[3], r[4], r[5], r[6], r[7]);

  // Rounded as QuantizeValue does; the offset is taken off after packing to 16 bits,
  // where it still fits (16384 +- 2047), sixteen values at a time.
  const __m256 half = _mm256_set1_ps(16384.5f);
  const __m256i offset = _mm256_set1_epi16(16384);
  const __m256i zero = _mm256_setzero_si256();
  const __m256i ac_high = _mm256_set1_epi16(16384 + kAcLimit);
  const __m256i ac_low = _mm256_set1_epi16(16384 - kAcLimit);
  __m256i zeros[4];
  for (int u = 0; u < 8; u += 2) {
    __m256i q[2];
    for (int i = 0; i < 2; ++i)
      q[i] = _mm256_cvttps_epi32(
          _mm256_add_ps(_mm256_mul_ps(r[u + i], _mm256_loadu_ps(divisors + (u + i) * 8)), half));
    // packs works within 128-bit lanes: 0-3 of u, 0-3 of u+1, 4-7 of u, 4-7 of u+1.
    __m256i packed =
        _mm256_permute4x64_epi64(_mm256_packs_epi32(q[0], q[1]), _MM_SHUFFLE(3, 1, 2, 0));
    const __m256i high = u == 0 ? _mm256_insert_epi16(ac_high, 16384 + kDcLimit, 0) : ac_high;
    const __m256i low = u == 0 ? _mm256_insert_epi16(ac_low, 16384 - kDcLimit, 0) : ac_low;
    packed = _mm256_sub_epi16(_mm256_max_epi16(_mm256_min_epi16(packed, high), low), offset);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(coefs + u * 8), packed);
    zeros[u / 2] = _mm256_cmpeq_epi16(packed, zero);
  }
  // One byte per coefficient, 0xFF where it is zero, in column order ...
  const __m256i bytes[2] = {
      _mm256_permute4x64_epi64(_mm256_packs_epi16(zeros[0], zeros[1]), _MM_SHUFFLE(3, 1, 2, 0)),
      _mm256_permute4x64_epi64(_mm256_packs_epi16(zeros[2], zeros[3]), _MM_SHUFFLE(3, 1, 2, 0))};
  // ... then moved into zig-zag order, each quarter shuffled to where its bytes go.
  __m256i quarters[4];
  for (int q = 0; q < 4; ++q) {
    const __m128i part = q % 2 == 0 ? _mm256_castsi256_si128(bytes[q / 2])
                                    : _mm256_extracti128_si256(bytes[q / 2], 1);
    quarters[q] = _mm256_broadcastsi128_si256(part);
  }
  std::uint64_t zero_mask = 0;
  for (int h = 0; h < 2; ++h) {
    __m256i zigzag = zero;
    for (int q = 0; q < 4; ++q)
      zigzag = _mm256_or_si256(
          zigzag,
          _mm256_shuffle_epi8(quarters[q], _mm256_load_si256(reinterpret_cast<const __m256i*>(
                                               kZigzagShuffles.control[h][q]))));
    zero_mask |=
        static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(zigzag)))
        << (32 * h);
  }
  return ~zero_mask;
}

PELNORO_JPEG_TARGET void WidenRgbRowAvx2(const std::uint8_t* rgb, int count, std::uint32_t* out) {
  // 24 bytes make 8 pixels: the first 12 to the low lane, the next 12 to the high one,
  // then each lane spread to four bytes a pixel. Each step reads 32 bytes, so the last
  // ones, which could reach past the row, go the short way.
  const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 0, 3, 4, 5, 0);
  const __m256i spread = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1, 0,
                                          1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
  int x = 0;
  for (; x + 11 <= count; x += 8, rgb += 24) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rgb));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x),
                        _mm256_shuffle_epi8(_mm256_permutevar8x32_epi32(v, lanes), spread));
  }
  if (x < count) WidenRgbRowPortable(rgb, count - x, out + x);
}

}  // namespace pelnoro::encoder::jpeg

#endif  // __SSE2__
