#include "encoder/jpeg_kernels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "encoder/jpeg_encoder.h"

namespace pelnoro::encoder::jpeg {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Divisors as the encoder makes them (scaled DCT factors folded in, column order) for a
// quality.
std::vector<float> Divisors(int table, int quality) {
  static const float kAan[8] = {1.0f, 1.387039845f, 1.306562965f, 1.175875602f,
                                1.0f, 0.785694958f, 0.541196100f, 0.275899379f};
  const auto quant = JpegQuantTable(table, quality);
  std::vector<float> d(64);
  for (int u = 0; u < 8; ++u)
    for (int v = 0; v < 8; ++v)
      d[u * 8 + v] = 1.0f / (static_cast<float>(quant[v * 8 + u]) * kAan[v] * kAan[u] * 8.0f);
  return d;
}

// Every level this processor runs, the portable one first.
std::vector<KernelLevel> Levels() {
  std::vector<KernelLevel> levels;
  for (KernelLevel level : {KernelLevel::kPortable, KernelLevel::kSse2, KernelLevel::kAvx2})
    if (Runs(level)) levels.push_back(level);
  return levels;
}
const char* Name(KernelLevel level) {
  return level == KernelLevel::kPortable ? "portable"
         : level == KernelLevel::kSse2   ? "SSE2"
                                         : "AVX2";
}

struct Quantized {
  std::int16_t coefs[64];  // column order
  std::uint64_t nonzero;
  std::int16_t Zigzag(int k) const { return coefs[kColumnOrder[k]]; }
};

Quantized Quantize(KernelLevel level, const float* samples, std::ptrdiff_t stride,
                   const std::vector<float>& divisors) {
  Quantized q{};
  q.nonzero = KernelsOf(level).quantize_block(samples, stride, divisors.data(), q.coefs);
  return q;
}

TEST(JpegKernels, ThePortableLevelAlwaysRunsAndTheFastestRuns) {
  EXPECT_TRUE(Runs(KernelLevel::kPortable));
  EXPECT_TRUE(Runs(FastestLevel()));
#if defined(__SSE2__)
  EXPECT_TRUE(Runs(KernelLevel::kSse2));
  EXPECT_NE(FastestLevel(), KernelLevel::kPortable);
#endif
  if (!Runs(KernelLevel::kAvx2)) std::printf("note: no AVX2 here, its kernels are not tested\n");
}

// A cosine of horizontal frequency u and vertical frequency v over the block: the
// transform must put it at natural position v * 8 + u and nowhere else.
TEST(JpegDct, EachFrequencyLandsAtItsZigzagPosition) {
  const std::vector<float> divisors = Divisors(0, 100);
  const int cases[][3] = {{1, 0, 1}, {0, 1, 2},  {2, 0, 5},  {0, 2, 3},  {1, 2, 8},
                          {2, 1, 7}, {7, 0, 28}, {0, 7, 35}, {7, 7, 63}, {3, 5, 38}};
  for (KernelLevel level : Levels())
    for (const auto& c : cases) {
      const int u = c[0], v = c[1], k = c[2];
      float samples[64];
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
          samples[y * 8 + x] = static_cast<float>(60.0 * std::cos((2 * x + 1) * u * kPi / 16) *
                                                  std::cos((2 * y + 1) * v * kPi / 16));
      const Quantized q = Quantize(level, samples, 8, divisors);
      EXPECT_EQ(q.nonzero, std::uint64_t{1} << k) << Name(level) << " u " << u << " v " << v;
      EXPECT_GT(std::abs(q.Zigzag(k)), 10) << Name(level) << " u " << u << " v " << v;
      EXPECT_EQ(q.coefs[u * 8 + v], q.Zigzag(k)) << Name(level);
    }
}

TEST(JpegDct, FlatBlockGivesItsMeanInTheDcTermOnly) {
  // DC = 8 * mean / quantiser, rounded half up.
  for (KernelLevel level : Levels())
    for (int quality : {50, 100}) {
      const std::vector<float> divisors = Divisors(0, quality);
      const int q0 = JpegQuantTable(0, quality)[0];
      for (float value : {-128.0f, -3.0f, 0.0f, 0.5f, 37.25f, 127.0f}) {
        std::vector<float> samples(64, value);
        const Quantized q = Quantize(level, samples.data(), 8, divisors);
        const int want = static_cast<int>(std::floor(8.0 * value / q0 + 0.5));
        EXPECT_EQ(q.coefs[0], want) << Name(level) << " " << value << " at quality " << quality;
        EXPECT_EQ(q.nonzero, want != 0 ? 1u : 0u);
        for (int k = 1; k < 64; ++k) ASSERT_EQ(q.coefs[k], 0);
      }
    }
}

TEST(JpegDct, ValuesAreClampedToWhatHuffmanCodesCanCarry) {
  // Divisors far above any real table push every term past its limit.
  std::vector<float> divisors(64, 50.0f);
  float samples[64];
  for (int i = 0; i < 64; ++i) samples[i] = i % 2 ? 127.0f : -128.0f + i;
  std::vector<float> flat(64, 127.0f);
  for (KernelLevel level : Levels()) {
    const Quantized q = Quantize(level, samples, 8, divisors);
    for (int k = 0; k < 64; ++k) {
      EXPECT_LE(std::abs(q.Zigzag(k)), k == 0 ? 2047 : 1023) << Name(level) << " " << k;
      EXPECT_EQ((q.nonzero >> k & 1) != 0, q.Zigzag(k) != 0) << Name(level) << " " << k;
    }
    EXPECT_EQ(Quantize(level, flat.data(), 8, divisors).coefs[0], 2047) << Name(level);
  }
}

// The vector versions must give exactly the portable versions' bits: files must not
// depend on the machine.
TEST(JpegKernels, ConversionMatchesPortableBitForBit) {
  std::mt19937 random(5);
  for (int count = 2; count <= 72; count += 2) {
    for (int pattern = 0; pattern < 5; ++pattern) {
      std::vector<std::uint32_t> rows[2];
      for (auto& row : rows) {
        row.resize(static_cast<std::size_t>(count));
        for (auto& p : row) p = random();
      }
      if (pattern == 1 || pattern == 2) {
        // Repeated groups of 16, as on flat screens; the second time one pixel of the
        // lower row differs, which must not be mistaken for a repeat.
        for (int x = 16; x < count; ++x) {
          rows[0][x] = rows[0][x % 16];
          rows[1][x] = rows[1][x % 16];
        }
        if (pattern == 2 && count > 40) rows[1][37] ^= 0x000100;
      } else if (pattern == 3) {
        // The extremes: black, white, the primaries, and stray high bytes to ignore.
        const std::uint32_t extremes[] = {0x000000, 0xFFFFFF, 0x0000FF,   0x00FF00,
                                          0xFF0000, 0xFF00FF, 0xFFFFFFFF, 0x7F000000};
        for (auto& row : rows)
          for (auto& p : row) p = extremes[random() % 8];
      } else if (pattern == 4) {
        for (auto& row : rows) std::fill(row.begin(), row.end(), (count & 2) ? 0xFFFFFF : 0);
      }
      std::vector<float> want(static_cast<std::size_t>(count) * 3);
      const auto convert = [&](KernelLevel level, std::vector<float>& f) {
        KernelsOf(level).convert_row_pair(rows[0].data(), rows[1].data(), count, f.data(),
                                          f.data() + count, f.data() + 2 * count,
                                          f.data() + 2 * count + count / 2);
      };
      convert(KernelLevel::kPortable, want);
      for (KernelLevel level : Levels()) {
        std::vector<float> got(want.size(), -1.0f);
        convert(level, got);
        ASSERT_EQ(std::memcmp(want.data(), got.data(), want.size() * sizeof(float)), 0)
            << Name(level) << " count " << count << " pattern " << pattern;
      }
    }
  }
}

TEST(JpegKernels, QuantizationMatchesPortableBitForBit) {
  std::mt19937 random(9);
  std::uniform_real_distribution<float> sample(-128.0f, 127.0f);
  const auto check = [](const float* samples, std::ptrdiff_t stride,
                        const std::vector<float>& divisors, const char* what) {
    const Quantized want = Quantize(KernelLevel::kPortable, samples, stride, divisors);
    for (KernelLevel level : Levels()) {
      const Quantized got = Quantize(level, samples, stride, divisors);
      ASSERT_EQ(std::memcmp(want.coefs, got.coefs, sizeof want.coefs), 0)
          << Name(level) << " " << what;
      ASSERT_EQ(want.nonzero, got.nonzero) << Name(level) << " " << what;
    }
  };
  for (int quality : {1, 30, 75, 100})
    for (int table = 0; table < 2; ++table) {
      const std::vector<float> divisors = Divisors(table, quality);
      std::vector<float> plane(27 * 8);
      for (int round = 0; round < 200; ++round) {
        for (float& s : plane) s = sample(random);
        check(plane.data(), 27, divisors, "random");
        // Smooth blocks give the small values where rounding decides.
        for (int i = 0; i < 64; ++i) plane[i / 8 * 27 + i % 8] = 20.0f + 0.37f * i;
        check(plane.data(), 27, divisors, "smooth");
        // The extremes of the level-shifted range, as black and white edges give.
        for (int i = 0; i < 64; ++i) plane[i / 8 * 27 + i % 8] = random() % 2 ? 127.0f : -128.0f;
        check(plane.data(), 27, divisors, "extreme");
      }
      // Flat blocks take a shortcut; a block flat but for one sample must not.
      for (int value = -128; value <= 127; value += 5) {
        std::vector<float> flat(64, static_cast<float>(value) + 0.25f);
        check(flat.data(), 8, divisors, "flat");
        for (int i = 0; i < 64; ++i) {
          std::vector<float> almost = flat;
          almost[i] += 0.75f;
          check(almost.data(), 8, divisors, "almost flat");
        }
      }
    }
}

TEST(JpegKernels, WideningMatchesPortableAndReadsOnlyTheRow) {
  std::mt19937 random(3);
  for (int count = 1; count <= 70; ++count) {
    // Exactly the row's bytes, so that a read past them shows under AddressSanitizer.
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(count) * 3);
    for (auto& b : rgb) b = static_cast<std::uint8_t>(random());
    std::vector<std::uint32_t> want(static_cast<std::size_t>(count) + 1, 0xDEADBEEF);
    WidenRgbRowPortable(rgb.data(), count, want.data());
    for (int x = 0; x < count; ++x)
      ASSERT_EQ(want[x], rgb[3 * x] | rgb[3 * x + 1] << 8 |
                             static_cast<std::uint32_t>(rgb[3 * x + 2]) << 16);
    ASSERT_EQ(want[count], 0xDEADBEEF);
    for (KernelLevel level : Levels()) {
      std::vector<std::uint32_t> got(want.size(), 0xDEADBEEF);
      KernelsOf(level).widen_rgb_row(rgb.data(), count, got.data());
      ASSERT_EQ(got, want) << Name(level) << " count " << count;
    }
  }
}

}  // namespace
}  // namespace pelnoro::encoder::jpeg
