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

Bytes Compressed(const Bytes& data, deflate::Effort effort, int pieces, int level_field = 2) {
  Bytes out;
  EXPECT_EQ(ZlibCompress(data, effort, pieces, level_field, out), Error::kOk);
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
      for (deflate::Effort effort :
           {deflate::Effort::kGreedy, deflate::Effort::kLazy, deflate::Effort::kOptimal}) {
        const int level_field = pieces;  // any of 0..3, as the caller says
        const Bytes stream = Compressed(data, effort, pieces, level_field);
        ASSERT_EQ(Inflate(stream, data.size()), data)
            << data.size() << " bytes in " << pieces << " pieces, effort "
            << static_cast<int>(effort);
        EXPECT_EQ(stream[1] >> 6, level_field);
      }
}

TEST(PngDeflate, CutsCostOnlyAFewBytes) {
  const Bytes data = Repeating(700000);
  for (deflate::Effort effort : {deflate::Effort::kGreedy, deflate::Effort::kOptimal}) {
    const std::size_t whole = Compressed(data, effort, 1).size();
    const std::size_t cut = Compressed(data, effort, 2).size();
    // A piece starts blocks of its own, whose codes are sent again.
    EXPECT_LE(cut, whole + whole / 100) << "effort " << static_cast<int>(effort);
  }
}

TEST(PngDeflate, Adler32IsZlibs) {
  // All 255s make the largest sums between reductions; odd sizes leave a tail of bytes.
  std::mt19937 random(9);
  for (std::size_t size : {0, 1, 15, 16, 17, 5551, 5552, 5553, 5568, 100003, 2000000})
    for (int fill : {-1, 255}) {
      Bytes data(size, 255);
      if (fill < 0)
        for (auto& b : data) b = static_cast<std::uint8_t>(random());
      const uLong expected =
          adler32(adler32(0, nullptr, 0), data.data(), static_cast<uInt>(data.size()));
      EXPECT_EQ(Adler32(data), expected) << size << " bytes";
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
