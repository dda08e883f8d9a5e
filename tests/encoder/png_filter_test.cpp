#include "encoder/png_filter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <set>
#include <vector>

namespace pelnoro::encoder::png {
namespace {

using Bytes = std::vector<std::uint8_t>;

// What a decoder does with a filtered row.
Bytes Unfilter(const Bytes& filtered, const Bytes& prior, int bpp) {
  const std::size_t length = filtered.size() - 1;
  Bytes row(length);
  for (std::size_t i = 0; i < length; ++i) {
    const int a = i >= static_cast<std::size_t>(bpp) ? row[i - bpp] : 0;
    const int b = prior[i];
    const int c = i >= static_cast<std::size_t>(bpp) ? prior[i - bpp] : 0;
    int predicted = 0;
    switch (filtered[0]) {
      case 1:
        predicted = a;
        break;
      case 2:
        predicted = b;
        break;
      case 3:
        predicted = (a + b) / 2;
        break;
      case 4: {
        const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
        predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
        break;
      }
    }
    row[i] = static_cast<std::uint8_t>(filtered[i + 1] + predicted);
  }
  return row;
}

// Rows each filter wins on: flat, a ramp along the row, a copy of the row above, a mix
// of both, diagonal texture, and noise.
Bytes MakeRow(int kind, const Bytes& prior, std::mt19937& random) {
  Bytes row(prior.size());
  for (std::size_t i = 0; i < row.size(); ++i) {
    const auto noise = static_cast<std::uint8_t>(random() % 3);
    switch (kind) {
      case 0:
        row[i] = 77;
        break;
      case 1:
        row[i] = static_cast<std::uint8_t>(i * 7 + noise);
        break;
      case 2:
        row[i] = static_cast<std::uint8_t>(prior[i] + noise);
        break;
      case 3:
        row[i] = static_cast<std::uint8_t>((prior[i] + (i >= 3 ? row[i - 3] : 0)) / 2 + noise);
        break;
      case 4:
        row[i] = static_cast<std::uint8_t>(i >= 3 ? prior[i - 3] + noise : noise);
        break;
      default:
        row[i] = static_cast<std::uint8_t>(random());
        break;
    }
  }
  return row;
}

TEST(PngFilter, RowsComeBackExactlyAndBothVersionsAgree) {
  std::mt19937 random(21);
  std::set<int> chosen;
  for (int bpp : {1, 3})
    for (std::size_t length : {1, 2, 3, 15, 16, 17, 31, 32, 33, 47, 48, 64, 100, 1000}) {
      Bytes prior(length, 0);
      for (int y = 0; y < 60; ++y) {
        const Bytes row = MakeRow(y % 6, prior, random);
        Bytes portable(length + 1);
        const int type =
            FilterRowPortable(row.data(), prior.data(), length, bpp, y == 0, portable.data());
        ASSERT_EQ(portable[0], type);
        if (y == 0) {
          EXPECT_LE(type, 1) << "only None and Sub against the zero row";
        }
        ASSERT_EQ(Unfilter(portable, prior, bpp), row) << "type " << type << " length " << length;
        if (length >= 16) chosen.insert(type);
#if defined(__SSE2__)
        Bytes sse2(length + 1);
        FilterRowSse2(row.data(), prior.data(), length, bpp, y == 0, sse2.data());
        ASSERT_EQ(sse2, portable) << "bpp " << bpp << " length " << length << " row " << y;
#endif
        // Each type forced, as one filter for the whole picture does.
        for (int forced = 0; forced < 5; ++forced) {
          Bytes with(length + 1);
          FilterRowWithPortable(forced, row.data(), prior.data(), length, bpp, with.data());
          ASSERT_EQ(with[0], forced);
          ASSERT_EQ(Unfilter(with, prior, bpp), row) << "forced " << forced << " length " << length;
#if defined(__SSE2__)
          Bytes with_sse2(length + 1);
          FilterRowWithSse2(forced, row.data(), prior.data(), length, bpp, with_sse2.data());
          ASSERT_EQ(with_sse2, with) << "forced " << forced << " length " << length;
#endif
        }
        prior = row;
      }
    }
  EXPECT_EQ(chosen, (std::set<int>{0, 1, 2, 3, 4})) << "some filter was never exercised";
}

TEST(PngFilter, PicksTheSmallestSumOfSignedResiduals) {
  Bytes out(41);
  // One more than an uneven row above: Up leaves 1 per byte, which Paeth at best ties.
  Bytes prior(40), row(40);
  for (std::size_t i = 0; i < 40; ++i) {
    prior[i] = static_cast<std::uint8_t>(i * 37);
    row[i] = static_cast<std::uint8_t>(prior[i] + 1);
  }
  EXPECT_EQ(FilterRow(row.data(), prior.data(), 40, 3, false, out.data()), 2);
  // 2 and -2 alternating over zeros: 2 per byte unfiltered, 4 as differences.
  const Bytes zeros(40, 0);
  for (std::size_t i = 0; i < 40; ++i) row[i] = i % 2 ? 254 : 2;
  EXPECT_EQ(FilterRow(row.data(), zeros.data(), 40, 1, false, out.data()), 0);
  // A ramp: Sub leaves 1 per byte.
  for (std::size_t i = 0; i < 40; ++i) row[i] = static_cast<std::uint8_t>(100 + i);
  EXPECT_EQ(FilterRow(row.data(), zeros.data(), 40, 1, true, out.data()), 1);
}

}  // namespace
}  // namespace pelnoro::encoder::png
