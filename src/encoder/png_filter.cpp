#include "encoder/png_filter.h"

#include <cstdlib>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pelnoro::encoder::png {
namespace {

constexpr int kNone = 0, kSub = 1, kUp = 2, kAverage = 3, kPaeth = 4;

inline int PaethPredictor(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}

inline std::uint8_t Residual(int type, const std::uint8_t* row, const std::uint8_t* prior,
                             std::size_t i, std::size_t bpp) {
  const int x = row[i];
  const int a = i >= bpp ? row[i - bpp] : 0;
  const int b = prior[i];
  const int c = i >= bpp ? prior[i - bpp] : 0;
  int predicted = 0;
  switch (type) {
    case kSub:
      predicted = a;
      break;
    case kUp:
      predicted = b;
      break;
    case kAverage:
      predicted = (a + b) >> 1;
      break;
    case kPaeth:
      predicted = PaethPredictor(a, b, c);
      break;
    default:
      break;
  }
  return static_cast<std::uint8_t>(x - predicted);
}

// A residual taken as a signed byte, by its size.
inline unsigned Cost(std::uint8_t r) {
  return r < 128 ? r : 256u - r;
}

// Up, Average and Paeth against the zero row above the first row are no better than
// None or Sub.
inline int FilterCount(bool first_row) {
  return first_row ? 2 : 5;
}

inline int Cheapest(const std::uint64_t (&cost)[5], int count) {
  int best = 0;
  for (int type = 1; type < count; ++type)
    if (cost[type] < cost[best]) best = type;
  return best;
}

void AddCosts(const std::uint8_t* row, const std::uint8_t* prior, std::size_t from, std::size_t to,
              std::size_t bpp, int count, std::uint64_t (&cost)[5]) {
  for (std::size_t i = from; i < to; ++i)
    for (int type = 0; type < count; ++type) cost[type] += Cost(Residual(type, row, prior, i, bpp));
}

void WriteResiduals(int type, const std::uint8_t* row, const std::uint8_t* prior, std::size_t from,
                    std::size_t to, std::size_t bpp, std::uint8_t* out) {
  for (std::size_t i = from; i < to; ++i) out[i] = Residual(type, row, prior, i, bpp);
}

}  // namespace

int FilterRowPortable(const std::uint8_t* row, const std::uint8_t* prior, std::size_t length,
                      int bpp, bool first_row, std::uint8_t* out) {
  const auto step = static_cast<std::size_t>(bpp);
  std::uint64_t cost[5] = {};
  AddCosts(row, prior, 0, length, step, FilterCount(first_row), cost);
  const int type = Cheapest(cost, FilterCount(first_row));
  out[0] = static_cast<std::uint8_t>(type);
  WriteResiduals(type, row, prior, 0, length, step, out + 1);
  return type;
}

void FilterRowWithPortable(int type, const std::uint8_t* row, const std::uint8_t* prior,
                           std::size_t length, int bpp, std::uint8_t* out) {
  out[0] = static_cast<std::uint8_t>(type);
  WriteResiduals(type, row, prior, 0, length, static_cast<std::size_t>(bpp), out + 1);
}

#if defined(__SSE2__)

namespace {

// Sixteen bytes from position i on, with the pixel to the left and the row above.
struct Neighbours {
  __m128i x, a, b, c;
};

inline Neighbours Load(const std::uint8_t* row, const std::uint8_t* prior, std::size_t i,
                       std::size_t bpp) {
  const auto at = [](const std::uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  };
  return {at(row + i), at(row + i - bpp), at(prior + i), at(prior + i - bpp)};
}

inline __m128i Abs16(__m128i v) {
  return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v));
}

// The Paeth predictor for eight bytes widened to 16 bits.
inline __m128i Paeth16(__m128i a, __m128i b, __m128i c) {
  const __m128i pa = Abs16(_mm_sub_epi16(b, c));
  const __m128i pb = Abs16(_mm_sub_epi16(a, c));
  const __m128i pc = Abs16(_mm_add_epi16(_mm_sub_epi16(b, c), _mm_sub_epi16(a, c)));
  const __m128i not_a = _mm_or_si128(_mm_cmpgt_epi16(pa, pb), _mm_cmpgt_epi16(pa, pc));
  const __m128i not_b = _mm_cmpgt_epi16(pb, pc);
  const __m128i b_or_c = _mm_or_si128(_mm_and_si128(not_b, c), _mm_andnot_si128(not_b, b));
  return _mm_or_si128(_mm_and_si128(not_a, b_or_c), _mm_andnot_si128(not_a, a));
}

template <int kType>
inline __m128i ResidualVector(const Neighbours& n) {
  if constexpr (kType == kNone) {
    return n.x;
  } else if constexpr (kType == kSub) {
    return _mm_sub_epi8(n.x, n.a);
  } else if constexpr (kType == kUp) {
    return _mm_sub_epi8(n.x, n.b);
  } else if constexpr (kType == kAverage) {
    // avg_epu8 rounds up; the filter rounds down.
    const __m128i up = _mm_and_si128(_mm_xor_si128(n.a, n.b), _mm_set1_epi8(1));
    return _mm_sub_epi8(n.x, _mm_sub_epi8(_mm_avg_epu8(n.a, n.b), up));
  } else {
    const __m128i zero = _mm_setzero_si128();
    const __m128i low = Paeth16(_mm_unpacklo_epi8(n.a, zero), _mm_unpacklo_epi8(n.b, zero),
                                _mm_unpacklo_epi8(n.c, zero));
    const __m128i high = Paeth16(_mm_unpackhi_epi8(n.a, zero), _mm_unpackhi_epi8(n.b, zero),
                                 _mm_unpackhi_epi8(n.c, zero));
    return _mm_sub_epi8(n.x, _mm_packus_epi16(low, high));
  }
}

// Sums of the signed sizes of sixteen residuals, in two 64-bit lanes.
inline __m128i CostVector(__m128i r) {
  const __m128i zero = _mm_setzero_si128();
  return _mm_sad_epu8(_mm_min_epu8(r, _mm_sub_epi8(zero, r)), zero);
}

inline std::uint64_t Total(__m128i sums) {
  alignas(16) std::uint64_t lanes[2];
  _mm_store_si128(reinterpret_cast<__m128i*>(lanes), sums);
  return lanes[0] + lanes[1];
}

template <int kType>
void WriteVectors(const std::uint8_t* row, const std::uint8_t* prior, std::size_t from,
                  std::size_t to, std::size_t bpp, std::uint8_t* out) {
  for (std::size_t i = from; i < to; i += 16)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                     ResidualVector<kType>(Load(row, prior, i, bpp)));
}

// The filter type and the residuals of a whole row.
void WriteRow(int type, const std::uint8_t* row, const std::uint8_t* prior, std::size_t length,
              std::size_t step, std::uint8_t* out) {
  const std::size_t head = length < 16 ? length : 16;
  const std::size_t body_end = head + (length - head) / 16 * 16;
  out[0] = static_cast<std::uint8_t>(type);
  std::uint8_t* residuals = out + 1;
  WriteResiduals(type, row, prior, 0, head, step, residuals);
  WriteResiduals(type, row, prior, body_end, length, step, residuals);
  switch (type) {
    case kNone:
      WriteVectors<kNone>(row, prior, head, body_end, step, residuals);
      break;
    case kSub:
      WriteVectors<kSub>(row, prior, head, body_end, step, residuals);
      break;
    case kUp:
      WriteVectors<kUp>(row, prior, head, body_end, step, residuals);
      break;
    case kAverage:
      WriteVectors<kAverage>(row, prior, head, body_end, step, residuals);
      break;
    default:
      WriteVectors<kPaeth>(row, prior, head, body_end, step, residuals);
      break;
  }
}

}  // namespace

int FilterRowSse2(const std::uint8_t* row, const std::uint8_t* prior, std::size_t length, int bpp,
                  bool first_row, std::uint8_t* out) {
  const auto step = static_cast<std::size_t>(bpp);
  const int count = FilterCount(first_row);
  // The first 16 bytes, whose left neighbours may lie before the row, and the bytes after
  // the last whole vector go the portable way; the costs are sums, so the order is free.
  const std::size_t head = length < 16 ? length : 16;
  const std::size_t body_end = head + (length - head) / 16 * 16;
  std::uint64_t cost[5] = {};
  AddCosts(row, prior, 0, head, step, count, cost);
  AddCosts(row, prior, body_end, length, step, count, cost);
  __m128i sums[5] = {};
  for (std::size_t i = head; i < body_end; i += 16) {
    const Neighbours n = Load(row, prior, i, step);
    sums[kNone] = _mm_add_epi64(sums[kNone], CostVector(ResidualVector<kNone>(n)));
    sums[kSub] = _mm_add_epi64(sums[kSub], CostVector(ResidualVector<kSub>(n)));
    if (count > 2) {
      sums[kUp] = _mm_add_epi64(sums[kUp], CostVector(ResidualVector<kUp>(n)));
      sums[kAverage] = _mm_add_epi64(sums[kAverage], CostVector(ResidualVector<kAverage>(n)));
      sums[kPaeth] = _mm_add_epi64(sums[kPaeth], CostVector(ResidualVector<kPaeth>(n)));
    }
  }
  for (int type = 0; type < count; ++type) cost[type] += Total(sums[type]);
  const int type = Cheapest(cost, count);

  WriteRow(type, row, prior, length, step, out);
  return type;
}

void FilterRowWithSse2(int type, const std::uint8_t* row, const std::uint8_t* prior,
                       std::size_t length, int bpp, std::uint8_t* out) {
  WriteRow(type, row, prior, length, static_cast<std::size_t>(bpp), out);
}

#endif  // __SSE2__

}  // namespace pelnoro::encoder::png
