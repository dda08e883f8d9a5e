#include "encoder/jpeg_kernels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "encoder/jpeg_encoder.h"

namespace pelnoro::encoder::jpeg {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Divisors as the encoder makes them (scaled DCT factors folded in) for a quality.
std::vector<float> Divisors(int table, int quality) {
  static const float kAan[8] = {1.0f, 1.387039845f, 1.306562965f, 1.175875602f,
                                1.0f, 0.785694958f, 0.541196100f, 0.275899379f};
  const auto quant = JpegQuantTable(table, quality);
  std::vector<float> d(64);
  for (int i = 0; i < 64; ++i)
    d[i] = 1.0f / (static_cast<float>(quant[i]) * kAan[i / 8] * kAan[i % 8] * 8.0f);
  return d;
}

struct Quantized {
  std::int16_t zigzag[64];
  std::uint64_t nonzero;
};

Quantized Quantize(const float* samples, std::ptrdiff_t stride,
                   const std::vector<float>& divisors) {
  Quantized q{};
  q.nonzero = QuantizeBlock(samples, stride, divisors.data(), q.zigzag);
  return q;
}

// A cosine of horizontal frequency u and vertical frequency v over the block: the
// transform must put it at natural position v * 8 + u and nowhere else.
TEST(JpegDct, EachFrequencyLandsAtItsZigzagPosition) {
  const std::vector<float> divisors = Divisors(0, 100);
  const int cases[][3] = {{1, 0, 1}, {0, 1, 2},  {2, 0, 5},  {0, 2, 3},  {1, 2, 8},
                          {2, 1, 7}, {7, 0, 28}, {0, 7, 35}, {7, 7, 63}, {3, 5, 38}};
  for (const auto& c : cases) {
    const int u = c[0], v = c[1], k = c[2];
    float samples[64];
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        samples[y * 8 + x] = static_cast<float>(60.0 * std::cos((2 * x + 1) * u * kPi / 16) *
                                                std::cos((2 * y + 1) * v * kPi / 16));
    const Quantized q = Quantize(samples, 8, divisors);
    EXPECT_EQ(q.nonzero, std::uint64_t{1} << k) << "u " << u << " v " << v;
    EXPECT_GT(std::abs(q.zigzag[k]), 10) << "u " << u << " v " << v;
  }
}

TEST(JpegDct, FlatBlockGivesItsMeanInTheDcTermOnly) {
  // DC = 8 * mean / quantiser, rounded half up.
  for (int quality : {50, 100}) {
    const std::vector<float> divisors = Divisors(0, quality);
    const int q0 = JpegQuantTable(0, quality)[0];
    for (float level : {-128.0f, -3.0f, 0.0f, 0.5f, 37.25f, 127.0f}) {
      std::vector<float> samples(64, level);
      const Quantized q = Quantize(samples.data(), 8, divisors);
      const int want = static_cast<int>(std::floor(8.0 * level / q0 + 0.5));
      EXPECT_EQ(q.zigzag[0], want) << level << " at quality " << quality;
      EXPECT_EQ(q.nonzero, want != 0 ? 1u : 0u);
      for (int k = 1; k < 64; ++k) ASSERT_EQ(q.zigzag[k], 0);
    }
  }
}

TEST(JpegDct, ValuesAreClampedToWhatHuffmanCodesCanCarry) {
  // Divisors far above any real table push every term past its limit.
  std::vector<float> divisors(64, 50.0f);
  float samples[64];
  for (int i = 0; i < 64; ++i) samples[i] = i % 2 ? 127.0f : -128.0f + i;
  const Quantized q = Quantize(samples, 8, divisors);
  for (int k = 0; k < 64; ++k) {
    EXPECT_LE(std::abs(q.zigzag[k]), k == 0 ? 2047 : 1023) << k;
    EXPECT_EQ((q.nonzero >> k & 1) != 0, q.zigzag[k] != 0) << k;
  }
  std::vector<float> flat(64, 127.0f);
  EXPECT_EQ(Quantize(flat.data(), 8, divisors).zigzag[0], 2047);
}

#if defined(__SSE2__)

// The SSE2 versions must give exactly the portable versions' bits: files must not
// depend on the machine.
TEST(JpegKernels, Sse2ConversionMatchesPortableBitForBit) {
  std::mt19937 random(5);
  for (int count = 2; count <= 48; count += 2) {
    for (int pattern = 0; pattern < 3; ++pattern) {
      std::vector<std::uint32_t> rows[2];
      for (auto& row : rows) {
        row.resize(static_cast<std::size_t>(count));
        for (auto& p : row) p = random();
      }
      if (pattern > 0) {
        // Repeated groups of eight, as on flat screens; the second time one pixel of the
        // lower row differs, which must not be mistaken for a repeat.
        for (int x = 8; x < count; ++x) {
          rows[0][x] = rows[0][x % 8];
          rows[1][x] = rows[1][x % 8];
        }
        if (pattern == 2 && count > 20) rows[1][19] ^= 0x000100;
      }
      std::vector<float> a(static_cast<std::size_t>(count) * 3), b(a.size());
      ConvertRowPairPortable(rows[0].data(), rows[1].data(), count, a.data(), a.data() + count,
                             a.data() + 2 * count, a.data() + 2 * count + count / 2);
      ConvertRowPairSse2(rows[0].data(), rows[1].data(), count, b.data(), b.data() + count,
                         b.data() + 2 * count, b.data() + 2 * count + count / 2);
      ASSERT_EQ(std::memcmp(a.data(), b.data(), a.size() * sizeof(float)), 0)
          << "count " << count << " pattern " << pattern;
    }
  }
}

TEST(JpegKernels, Sse2QuantizationMatchesPortableBitForBit) {
  std::mt19937 random(9);
  std::uniform_real_distribution<float> sample(-128.0f, 127.0f);
  const auto check = [](const float* samples, std::ptrdiff_t stride,
                        const std::vector<float>& divisors, const char* what) {
    Quantized portable{}, sse2{};
    portable.nonzero = QuantizeBlockPortable(samples, stride, divisors.data(), portable.zigzag);
    sse2.nonzero = QuantizeBlockSse2(samples, stride, divisors.data(), sse2.zigzag);
    ASSERT_EQ(std::memcmp(portable.zigzag, sse2.zigzag, sizeof portable.zigzag), 0) << what;
    ASSERT_EQ(portable.nonzero, sse2.nonzero) << what;
  };
  for (int quality : {1, 30, 75, 100})
    for (int table = 0; table < 2; ++table) {
      const std::vector<float> divisors = Divisors(table, quality);
      std::vector<float> plane(24 * 8);
      for (int round = 0; round < 200; ++round) {
        for (float& s : plane) s = sample(random);
        check(plane.data(), 24, divisors, "random");
        // Smooth blocks give the small values where rounding decides.
        for (int i = 0; i < 64; ++i) plane[i / 8 * 24 + i % 8] = 20.0f + 0.37f * i;
        check(plane.data(), 24, divisors, "smooth");
      }
      // Flat blocks take a shortcut; a block flat but for one sample must not.
      for (int level = -128; level <= 127; level += 5) {
        std::vector<float> flat(64, static_cast<float>(level) + 0.25f);
        check(flat.data(), 8, divisors, "flat");
        for (int i = 0; i < 64; ++i) {
          std::vector<float> almost = flat;
          almost[i] += 0.75f;
          check(almost.data(), 8, divisors, "almost flat");
        }
      }
    }
}

#endif  // __SSE2__

}  // namespace
}  // namespace pelnoro::encoder::jpeg
