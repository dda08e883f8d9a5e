#include "encoder/jpeg_kernels.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "encoder/pixel_view.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pelnoro::encoder::jpeg {
namespace {

// The expressions below are written once and instantiated for float and for four floats
// in an SSE register, which is what keeps both versions bit for bit the same.
template <typename V>
V Splat(float c);
template <>
inline float Splat<float>(float c) {
  return c;
}
#if defined(__SSE2__)
template <>
inline __m128 Splat<__m128>(float c) {
  return _mm_set1_ps(c);
}
#endif

// JFIF's full-range YCbCr, Y shifted to be centred on zero for the DCT.
template <typename V>
inline void ToYCbCr(V r, V g, V b, V& y, V& cb, V& cr) {
  y = Splat<V>(0.299f) * r + Splat<V>(0.587f) * g + Splat<V>(0.114f) * b - Splat<V>(128.0f);
  cb = Splat<V>(-0.168735892f) * r - Splat<V>(0.331264108f) * g + Splat<V>(0.5f) * b;
  cr = Splat<V>(0.5f) * r - Splat<V>(0.418687589f) * g - Splat<V>(0.081312411f) * b;
}

// Mean of a 2x2 square: top-left, top-right, bottom-left, bottom-right.
template <typename V>
inline V Average4(V a, V b, V c, V d) {
  return Splat<V>(0.25f) * (a + b + c + d);
}

// One 8-point forward DCT after Arai, Agui and Nakajima. The outputs carry the factors
// of kAanScale (in the encoder), folded into the quantisation divisors.
template <typename V>
inline void Dct8(V& p0, V& p1, V& p2, V& p3, V& p4, V& p5, V& p6, V& p7) {
  const V tmp0 = p0 + p7, tmp7 = p0 - p7;
  const V tmp1 = p1 + p6, tmp6 = p1 - p6;
  const V tmp2 = p2 + p5, tmp5 = p2 - p5;
  const V tmp3 = p3 + p4, tmp4 = p3 - p4;

  V tmp10 = tmp0 + tmp3, tmp13 = tmp0 - tmp3;
  V tmp11 = tmp1 + tmp2, tmp12 = tmp1 - tmp2;
  p0 = tmp10 + tmp11;
  p4 = tmp10 - tmp11;
  const V z1 = (tmp12 + tmp13) * Splat<V>(0.707106781f);
  p2 = tmp13 + z1;
  p6 = tmp13 - z1;

  tmp10 = tmp4 + tmp5;
  tmp11 = tmp5 + tmp6;
  tmp12 = tmp6 + tmp7;
  const V z5 = (tmp10 - tmp12) * Splat<V>(0.382683433f);
  const V z2 = Splat<V>(0.541196100f) * tmp10 + z5;
  const V z4 = Splat<V>(1.306562965f) * tmp12 + z5;
  const V z3 = tmp11 * Splat<V>(0.707106781f);
  const V z11 = tmp7 + z3, z13 = tmp7 - z3;
  p5 = z13 + z2;
  p3 = z13 - z2;
  p1 = z11 + z4;
  p7 = z11 - z4;
}

// Round half up, as the reference encoder does; the offset keeps the truncation a floor.
inline int QuantizeValue(float coefficient, float divisor, int limit) {
  const int q = static_cast<int>(coefficient * divisor + 16384.5f) - 16384;
  return std::clamp(q, -limit, limit);
}

// DC values fit 11 bits, AC values 10.
constexpr int kDcLimit = 2047;
constexpr int kAcLimit = 1023;

void ConvertPairScalar(const std::uint32_t* row0, const std::uint32_t* row1, int x, float* y0,
                       float* y1, float* cb, float* cr) {
  const std::uint32_t px[4] = {row0[x], row0[x + 1], row1[x], row1[x + 1]};
  float* ys[4] = {&y0[x], &y0[x + 1], &y1[x], &y1[x + 1]};
  float cbs[4], crs[4];
  for (int i = 0; i < 4; ++i)
    ToYCbCr<float>(Red(px[i]), Green(px[i]), Blue(px[i]), *ys[i], cbs[i], crs[i]);
  cb[x / 2] = Average4(cbs[0], cbs[1], cbs[2], cbs[3]);
  cr[x / 2] = Average4(crs[0], crs[1], crs[2], crs[3]);
}

}  // namespace

void ConvertRowPairPortable(const std::uint32_t* row0, const std::uint32_t* row1, int count,
                            float* y0, float* y1, float* cb, float* cr) {
  for (int x = 0; x < count; x += 2) ConvertPairScalar(row0, row1, x, y0, y1, cb, cr);
}

std::uint64_t QuantizeBlockPortable(const float* samples, std::ptrdiff_t stride,
                                    const float* divisors, std::int16_t* zigzag) {
  float d[64];
  for (int r = 0; r < 8; ++r) std::memcpy(d + r * 8, samples + r * stride, 8 * sizeof(float));
  for (int r = 0; r < 8; ++r) {
    float* p = d + r * 8;
    Dct8(p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7]);
  }
  for (int c = 0; c < 8; ++c) {
    float* p = d + c;
    Dct8(p[0], p[8], p[16], p[24], p[32], p[40], p[48], p[56]);
  }
  std::uint64_t nonzero = 0;
  for (int k = 0; k < 64; ++k) {
    const int n = kNaturalOrder[k];
    const int q = QuantizeValue(d[n], divisors[n], k == 0 ? kDcLimit : kAcLimit);
    zigzag[k] = static_cast<std::int16_t>(q);
    nonzero |= static_cast<std::uint64_t>(q != 0) << k;
  }
  return nonzero;
}

#if defined(__SSE2__)

namespace {

// Zig-zag position of each natural (row-major) position.
constexpr auto kZigzagIndex = [] {
  std::array<std::uint8_t, 64> index{};
  for (int k = 0; k < 64; ++k) index[kNaturalOrder[k]] = static_cast<std::uint8_t>(k);
  return index;
}();

inline void Channels(__m128i px, __m128& r, __m128& g, __m128& b) {
  const __m128i mask = _mm_set1_epi32(0xFF);
  r = _mm_cvtepi32_ps(_mm_and_si128(px, mask));
  g = _mm_cvtepi32_ps(_mm_and_si128(_mm_srli_epi32(px, 8), mask));
  b = _mm_cvtepi32_ps(_mm_and_si128(_mm_srli_epi32(px, 16), mask));
}

}  // namespace

void ConvertRowPairSse2(const std::uint32_t* row0, const std::uint32_t* row1, int count, float* y0,
                        float* y1, float* cb, float* cr) {
  const std::uint32_t* rows[2] = {row0, row1};
  float* ys[2] = {y0, y1};
  // The last 2x8 pixels and what they gave: screen pictures repeat them along flat areas.
  __m128i seen[2][2] = {};
  __m128 seen_y[2][2] = {}, seen_cb = _mm_setzero_ps(), seen_cr = _mm_setzero_ps();
  int x = 0;
  for (; x + 8 <= count; x += 8) {
    __m128i px[2][2];
    __m128i same = _mm_set1_epi32(-1);
    for (int row = 0; row < 2; ++row)
      for (int half = 0; half < 2; ++half) {
        px[row][half] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[row] + x + 4 * half));
        same = _mm_and_si128(same, _mm_cmpeq_epi32(px[row][half], seen[row][half]));
      }
    if (x == 0 || _mm_movemask_epi8(same) != 0xFFFF) {
      // cbs[row][half]: Cb of pixels x..x+3 (half 0) and x+4..x+7 (half 1).
      __m128 cbs[2][2], crs[2][2];
      for (int row = 0; row < 2; ++row)
        for (int half = 0; half < 2; ++half) {
          __m128 r, g, b;
          Channels(px[row][half], r, g, b);
          ToYCbCr(r, g, b, seen_y[row][half], cbs[row][half], crs[row][half]);
          seen[row][half] = px[row][half];
        }
      // Even and odd pixels apart, so that each lane holds one 2x2 square.
      const auto even = [](__m128 a, __m128 b) {
        return _mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0));
      };
      const auto odd = [](__m128 a, __m128 b) {
        return _mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1));
      };
      seen_cb = Average4(even(cbs[0][0], cbs[0][1]), odd(cbs[0][0], cbs[0][1]),
                         even(cbs[1][0], cbs[1][1]), odd(cbs[1][0], cbs[1][1]));
      seen_cr = Average4(even(crs[0][0], crs[0][1]), odd(crs[0][0], crs[0][1]),
                         even(crs[1][0], crs[1][1]), odd(crs[1][0], crs[1][1]));
    }
    for (int row = 0; row < 2; ++row)
      for (int half = 0; half < 2; ++half) _mm_storeu_ps(ys[row] + x + 4 * half, seen_y[row][half]);
    _mm_storeu_ps(cb + x / 2, seen_cb);
    _mm_storeu_ps(cr + x / 2, seen_cr);
  }
  for (; x < count; x += 2) ConvertPairScalar(row0, row1, x, y0, y1, cb, cr);
}

std::uint64_t QuantizeBlockSse2(const float* samples, std::ptrdiff_t stride, const float* divisors,
                                std::int16_t* zigzag) {
  // l[r], h[r]: columns 0-3 and 4-7 of row r.
  __m128 l[8], h[8];
  for (int r = 0; r < 8; ++r) {
    l[r] = _mm_loadu_ps(samples + r * stride);
    h[r] = _mm_loadu_ps(samples + r * stride + 4);
  }

  // Flat blocks (most of a screen picture) need no transform: the DCT of a constant is
  // exactly 64 times it in the DC term and exact zeros elsewhere.
  // The first row decides most blocks of a photograph at once.
  const __m128 first = _mm_set1_ps(samples[0]);
  __m128 same = _mm_and_ps(_mm_cmpeq_ps(l[0], first), _mm_cmpeq_ps(h[0], first));
  if (_mm_movemask_ps(same) == 0xF) {
    for (int r = 1; r < 8; ++r)
      same = _mm_and_ps(same, _mm_and_ps(_mm_cmpeq_ps(l[r], first), _mm_cmpeq_ps(h[r], first)));
  }
  if (_mm_movemask_ps(same) == 0xF) {
    const int dc = QuantizeValue(samples[0] * 64.0f, divisors[0], kDcLimit);
    std::memset(zigzag, 0, 64 * sizeof(std::int16_t));
    zigzag[0] = static_cast<std::int16_t>(dc);
    return dc != 0 ? 1 : 0;
  }

  // Rows first, as the portable version: transposed, each lane holds one row.
  _MM_TRANSPOSE4_PS(l[0], l[1], l[2], l[3]);
  _MM_TRANSPOSE4_PS(h[0], h[1], h[2], h[3]);
  _MM_TRANSPOSE4_PS(l[4], l[5], l[6], l[7]);
  _MM_TRANSPOSE4_PS(h[4], h[5], h[6], h[7]);
  Dct8(l[0], l[1], l[2], l[3], h[0], h[1], h[2], h[3]);
  Dct8(l[4], l[5], l[6], l[7], h[4], h[5], h[6], h[7]);
  _MM_TRANSPOSE4_PS(l[0], l[1], l[2], l[3]);
  _MM_TRANSPOSE4_PS(h[0], h[1], h[2], h[3]);
  _MM_TRANSPOSE4_PS(l[4], l[5], l[6], l[7]);
  _MM_TRANSPOSE4_PS(h[4], h[5], h[6], h[7]);
  // Then columns, each lane one column.
  Dct8(l[0], l[1], l[2], l[3], l[4], l[5], l[6], l[7]);
  Dct8(h[0], h[1], h[2], h[3], h[4], h[5], h[6], h[7]);

  alignas(16) std::int16_t natural[64];
  const __m128 half = _mm_set1_ps(16384.5f);
  const __m128i offset = _mm_set1_epi32(16384);
  const __m128i ac_limit = _mm_set1_epi16(kAcLimit);
  const __m128i zero = _mm_setzero_si128();
  __m128i rows[8];
  for (int r = 0; r < 8; ++r) {
    const __m128 dl = _mm_load_ps(divisors + r * 8), dh = _mm_load_ps(divisors + r * 8 + 4);
    const __m128i ql =
        _mm_sub_epi32(_mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(l[r], dl), half)), offset);
    const __m128i qh =
        _mm_sub_epi32(_mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(h[r], dh), half)), offset);
    const __m128i limit = r == 0 ? _mm_insert_epi16(ac_limit, kDcLimit, 0) : ac_limit;
    rows[r] =
        _mm_max_epi16(_mm_min_epi16(_mm_packs_epi32(ql, qh), limit), _mm_sub_epi16(zero, limit));
    _mm_store_si128(reinterpret_cast<__m128i*>(natural + r * 8), rows[r]);
  }
  // Two rows per mask: values within +-2047 stay non-zero when saturated to bytes.
  std::uint64_t zero_mask = 0;
  for (int r = 0; r < 8; r += 2) {
    const __m128i bytes = _mm_packs_epi16(rows[r], rows[r + 1]);
    zero_mask |= static_cast<std::uint64_t>(
                     static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, zero))))
                 << (8 * r);
  }

  // Only the non-zero values need moving into zig-zag order.
  for (int i = 0; i < 64; i += 8) _mm_storeu_si128(reinterpret_cast<__m128i*>(zigzag + i), zero);
  std::uint64_t nonzero = 0;
  for (std::uint64_t left = ~zero_mask; left != 0; left &= left - 1) {
    const int n = std::countr_zero(left);
    const int k = kZigzagIndex[n];
    zigzag[k] = natural[n];
    nonzero |= std::uint64_t{1} << k;
  }
  return nonzero;
}

#endif  // __SSE2__

}  // namespace pelnoro::encoder::jpeg
