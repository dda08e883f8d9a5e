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

#define PELNORO_JPEG_TARGET
#include "encoder/jpeg_kernel_math.inc"
#undef PELNORO_JPEG_TARGET

#if defined(__SSE2__)
template <>
inline __m128 Splat<__m128>(float c) {
  return _mm_set1_ps(c);
}
#endif

void ConvertPairScalar(const std::uint32_t* row0, const std::uint32_t* row1, int x, float* y0,
                       float* y1, float* cb, float* cr) {
  const std::uint32_t px[4] = {row0[x], row0[x + 1], row1[x], row1[x + 1]};
  float* ys[4] = {&y0[x], &y0[x + 1], &y1[x], &y1[x + 1]};
  float r[4], g[4], b[4];
  for (int i = 0; i < 4; ++i) {
    r[i] = Red(px[i]);
    g[i] = Green(px[i]);
    b[i] = Blue(px[i]);
    *ys[i] = Luma(r[i], g[i], b[i]);
  }
  Chroma(Average4(r[0], r[1], r[2], r[3]), Average4(g[0], g[1], g[2], g[3]),
         Average4(b[0], b[1], b[2], b[3]), cb[x / 2], cr[x / 2]);
}

}  // namespace

void ConvertRowPairPortable(const std::uint32_t* row0, const std::uint32_t* row1, int count,
                            float* y0, float* y1, float* cb, float* cr) {
  for (int x = 0; x < count; x += 2) ConvertPairScalar(row0, row1, x, y0, y1, cb, cr);
}

std::uint64_t QuantizeBlockPortable(const float* samples, std::ptrdiff_t stride,
                                    const float* divisors, std::int16_t* coefs) {
  float d[64];
  for (int r = 0; r < 8; ++r) std::memcpy(d + r * 8, samples + r * stride, 8 * sizeof(float));
  // Columns first, then rows: the order the vector versions find cheapest.
  for (int c = 0; c < 8; ++c) {
    float* p = d + c;
    Dct8(p[0], p[8], p[16], p[24], p[32], p[40], p[48], p[56]);
  }
  for (int r = 0; r < 8; ++r) {
    float* p = d + r * 8;
    Dct8(p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7]);
  }
  for (int u = 0; u < 8; ++u)
    for (int v = 0; v < 8; ++v) {
      const int i = u * 8 + v;
      coefs[i] = static_cast<std::int16_t>(
          QuantizeValue(d[v * 8 + u], divisors[i], i == 0 ? kDcLimit : kAcLimit));
    }
  std::uint64_t nonzero = 0;
  for (int k = 0; k < 64; ++k)
    nonzero |= static_cast<std::uint64_t>(coefs[kColumnOrder[k]] != 0) << k;
  return nonzero;
}

void WidenRgbRowPortable(const std::uint8_t* rgb, int count, std::uint32_t* out) {
  for (int x = 0; x < count; ++x, rgb += 3)
    out[x] =
        rgb[0] | static_cast<std::uint32_t>(rgb[1]) << 8 | static_cast<std::uint32_t>(rgb[2]) << 16;
}

#if defined(__SSE2__)

namespace {

// Zig-zag position of each column-order position.
constexpr auto kZigzagOfColumn = [] {
  std::array<std::uint8_t, 64> index{};
  for (int k = 0; k < 64; ++k) index[kColumnOrder[k]] = static_cast<std::uint8_t>(k);
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
      // c[row][half][channel]: pixels x..x+3 (half 0) and x+4..x+7 (half 1).
      __m128 c[2][2][3];
      for (int row = 0; row < 2; ++row)
        for (int half = 0; half < 2; ++half) {
          Channels(px[row][half], c[row][half][0], c[row][half][1], c[row][half][2]);
          seen_y[row][half] = Luma(c[row][half][0], c[row][half][1], c[row][half][2]);
          seen[row][half] = px[row][half];
        }
      // Even and odd pixels apart, so that each lane holds one 2x2 square.
      __m128 mean[3];
      for (int i = 0; i < 3; ++i) {
        const auto even = [&](int row) {
          return _mm_shuffle_ps(c[row][0][i], c[row][1][i], _MM_SHUFFLE(2, 0, 2, 0));
        };
        const auto odd = [&](int row) {
          return _mm_shuffle_ps(c[row][0][i], c[row][1][i], _MM_SHUFFLE(3, 1, 3, 1));
        };
        mean[i] = Average4(even(0), odd(0), even(1), odd(1));
      }
      Chroma(mean[0], mean[1], mean[2], seen_cb, seen_cr);
    }
    for (int row = 0; row < 2; ++row)
      for (int half = 0; half < 2; ++half) _mm_storeu_ps(ys[row] + x + 4 * half, seen_y[row][half]);
    _mm_storeu_ps(cb + x / 2, seen_cb);
    _mm_storeu_ps(cr + x / 2, seen_cr);
  }
  for (; x < count; x += 2) ConvertPairScalar(row0, row1, x, y0, y1, cb, cr);
}

std::uint64_t QuantizeBlockSse2(const float* samples, std::ptrdiff_t stride, const float* divisors,
                                std::int16_t* coefs) {
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
    std::memset(coefs, 0, 64 * sizeof(std::int16_t));
    coefs[0] = static_cast<std::int16_t>(dc);
    return dc != 0 ? 1 : 0;
  }

  // Columns first, each lane one column; then, transposed, each lane one row, which
  // leaves register u holding horizontal frequency u: the column order, as it is stored.
  Dct8(l[0], l[1], l[2], l[3], l[4], l[5], l[6], l[7]);
  Dct8(h[0], h[1], h[2], h[3], h[4], h[5], h[6], h[7]);
  _MM_TRANSPOSE4_PS(l[0], l[1], l[2], l[3]);
  _MM_TRANSPOSE4_PS(h[0], h[1], h[2], h[3]);
  _MM_TRANSPOSE4_PS(l[4], l[5], l[6], l[7]);
  _MM_TRANSPOSE4_PS(h[4], h[5], h[6], h[7]);
  // top[u]: frequency u of rows 0-3, bottom[u]: of rows 4-7.
  __m128* top[8] = {&l[0], &l[1], &l[2], &l[3], &h[0], &h[1], &h[2], &h[3]};
  __m128* bottom[8] = {&l[4], &l[5], &l[6], &l[7], &h[4], &h[5], &h[6], &h[7]};
  Dct8(*top[0], *top[1], *top[2], *top[3], *top[4], *top[5], *top[6], *top[7]);
  Dct8(*bottom[0], *bottom[1], *bottom[2], *bottom[3], *bottom[4], *bottom[5], *bottom[6],
       *bottom[7]);

  const __m128 half = _mm_set1_ps(16384.5f);
  const __m128i offset = _mm_set1_epi32(16384);
  const __m128i ac_limit = _mm_set1_epi16(kAcLimit);
  const __m128i zero = _mm_setzero_si128();
  __m128i columns[8];
  for (int u = 0; u < 8; ++u) {
    const __m128 dt = _mm_loadu_ps(divisors + u * 8), db = _mm_loadu_ps(divisors + u * 8 + 4);
    const __m128i qt =
        _mm_sub_epi32(_mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(*top[u], dt), half)), offset);
    const __m128i qb =
        _mm_sub_epi32(_mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(*bottom[u], db), half)), offset);
    const __m128i limit = u == 0 ? _mm_insert_epi16(ac_limit, kDcLimit, 0) : ac_limit;
    columns[u] =
        _mm_max_epi16(_mm_min_epi16(_mm_packs_epi32(qt, qb), limit), _mm_sub_epi16(zero, limit));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(coefs + u * 8), columns[u]);
  }
  // Two columns per mask: values within +-2047 stay non-zero when saturated to bytes.
  std::uint64_t zero_mask = 0;
  for (int u = 0; u < 8; u += 2) {
    const __m128i bytes = _mm_packs_epi16(columns[u], columns[u + 1]);
    zero_mask |= static_cast<std::uint64_t>(
                     static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, zero))))
                 << (8 * u);
  }
  std::uint64_t nonzero = 0;
  for (std::uint64_t left = ~zero_mask; left != 0; left &= left - 1)
    nonzero |= std::uint64_t{1} << kZigzagOfColumn[std::countr_zero(left)];
  return nonzero;
}

void WidenRgbRowSse2(const std::uint8_t* rgb, int count, std::uint32_t* out) {
  // Four bytes read for three, so the last pixel, whose fourth byte may lie past the
  // row, goes alone.
  int x = 0;
  for (; x + 1 < count; ++x, rgb += 3) {
    std::uint32_t v;
    std::memcpy(&v, rgb, 4);
    out[x] = v & 0xFFFFFF;
  }
  if (x < count) WidenRgbRowPortable(rgb, count - x, out + x);
}

#endif  // __SSE2__

namespace {

constexpr Kernels kKernels[] = {
    {ConvertRowPairPortable, QuantizeBlockPortable, WidenRgbRowPortable},
#if defined(__SSE2__)
    {ConvertRowPairSse2, QuantizeBlockSse2, WidenRgbRowSse2},
    {ConvertRowPairAvx2, QuantizeBlockAvx2, WidenRgbRowAvx2},
#endif
};

}  // namespace

bool Runs(KernelLevel level) {
  switch (level) {
    case KernelLevel::kPortable:
      return true;
#if defined(__SSE2__)
    case KernelLevel::kSse2:
      return true;
    case KernelLevel::kAvx2:
      // Also false where the system does not save the 256-bit registers. The init is
      // cheap once done, and makes the answer right however early this is asked.
      __builtin_cpu_init();
      return __builtin_cpu_supports("avx2");
#endif
    default:
      return false;
  }
}

KernelLevel FastestLevel() {
  static const KernelLevel fastest = Runs(KernelLevel::kAvx2)   ? KernelLevel::kAvx2
                                     : Runs(KernelLevel::kSse2) ? KernelLevel::kSse2
                                                                : KernelLevel::kPortable;
  return fastest;
}

const Kernels& KernelsOf(KernelLevel level) {
  return kKernels[static_cast<int>(level)];
}

}  // namespace pelnoro::encoder::jpeg
