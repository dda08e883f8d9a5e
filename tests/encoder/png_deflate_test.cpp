#include "encoder/png_deflate.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <atomic>
#include <random>
#include <vector>

namespace pelnoro::encoder::png {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Inflate(const Bytes& stream, std::size_t size) {
  Bytes out(size + 1);
  uLongf length = static_cast<uLongf>(out.size());
  EXPECT_EQ(uncompress(out.data(), &length, stream.data(), static_cast<uLong>(stream.size())),
            Z_OK);
  out.resize(length);
  return out;
}

Bytes Compressed(const Bytes& data, DeflateSettings settings, int pieces) {
  Bytes out;
  EXPECT_EQ(ZlibCompress(data, settings, pieces, out), Error::kOk);
  return out;
}

// A random 20 KB stretch repeated: only matches reaching back across a cut keep the
// pieces after the first from coding it afresh.
Bytes Repeating(std::size_t size) {
  std::mt19937 random(2);
  Bytes unit(20000);
  for (auto& b : unit) b = static_cast<std::uint8_t>(random());
  Bytes data(size);
  for (std::size_t i = 0; i < size; ++i) data[i] = unit[i % unit.size()];
  return data;
}

TEST(PngDeflate, PiecesMakeOneValidStreamOfTheWholeData) {
  std::mt19937 random(6);
  Bytes noise(300000);
  for (auto& b : noise) b = static_cast<std::uint8_t>(random());
  for (const Bytes& data : {Repeating(1000), Repeating(150000), Repeating(700001), noise})
    for (int pieces : {1, 2, 3})
      for (DeflateSettings settings : {DeflateSettings{1, Z_DEFAULT_STRATEGY},
                                       DeflateSettings{9, Z_FILTERED}, DeflateSettings{6, Z_RLE}}) {
        const Bytes stream = Compressed(data, settings, pieces);
        ASSERT_EQ(Inflate(stream, data.size()), data)
            << data.size() << " bytes in " << pieces << " pieces, level " << settings.level;
        // The header's level field says what zlib itself would say.
        const int expected_flags = settings.strategy == Z_RLE || settings.level < 2 ? 0
                                   : settings.level == 9                            ? 3
                                                                                    : 2;
        EXPECT_EQ(stream[1] >> 6, expected_flags);
      }
}

TEST(PngDeflate, CutsCostOnlyAFewBytes) {
  const Bytes data = Repeating(700000);
  for (int level : {1, 9}) {
    const std::size_t whole = Compressed(data, {level, Z_DEFAULT_STRATEGY}, 1).size();
    const std::size_t cut = Compressed(data, {level, Z_DEFAULT_STRATEGY}, 2).size();
    EXPECT_LE(cut, whole + 64) << "level " << level;
  }
}

TEST(PngDeflate, EveryJobRunsOnce) {
  std::vector<std::atomic<int>> runs(50);
  std::vector<std::function<void()>> jobs;
  for (auto& r : runs) jobs.emplace_back([&r] { ++r; });
  RunJobs(jobs);
  for (const auto& r : runs) EXPECT_EQ(r.load(), 1);
  RunJobs({});
}

}  // namespace
}  // namespace pelnoro::encoder::png
