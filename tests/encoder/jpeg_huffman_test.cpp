#include "encoder/jpeg_huffman.h"

#include <gtest/gtest.h>

#include <queue>
#include <random>
#include <string>

namespace pelnoro::encoder {
namespace {

// Total bits of an unlimited optimal code for `counts`, by the textbook merge, and how
// deep its tree is.
std::uint64_t OptimalBits(const std::vector<std::uint64_t>& counts, int* depth = nullptr) {
  using Node = std::pair<std::uint64_t, int>;  // weight, depth
  std::priority_queue<Node, std::vector<Node>, std::greater<>> queue;
  for (std::uint64_t c : counts)
    if (c != 0) queue.push({c, 0});
  if (depth) *depth = 1;
  if (queue.size() == 1) return queue.top().first;  // a lone symbol still takes one bit
  std::uint64_t bits = 0;
  while (queue.size() > 1) {
    const Node a = queue.top();
    queue.pop();
    const Node b = queue.top();
    queue.pop();
    bits += a.first + b.first;
    queue.push({a.first + b.first, std::max(a.second, b.second) + 1});
  }
  if (depth) *depth = queue.top().second;
  return bits;
}

// Checks what every decoder relies on: lengths 1..16 matching the counts, canonical codes
// that are prefix-free, the all-ones code of each length unused, every counted symbol
// coded and no other; returns the bits the counts cost.
std::uint64_t CheckCode(const HuffmanCounts& counts, const HuffmanCode& code,
                        const std::string& what) {
  int per_length[17] = {};
  std::uint64_t bits = 0;
  std::size_t coded = 0;
  for (int s = 0; s < 256; ++s) {
    EXPECT_EQ(counts[s] != 0, code.length[s] != 0) << what << " symbol " << s;
    if (code.length[s] == 0) continue;
    EXPECT_LE(code.length[s], 16) << what;
    ++per_length[code.length[s]];
    ++coded;
    bits += std::uint64_t{counts[s]} * code.length[s];
    EXPECT_NE(code.code[s], (1u << code.length[s]) - 1) << what << ": all-ones code used";
    for (int t = 0; t < s; ++t) {
      if (code.length[t] == 0) continue;
      const int shorter = std::min(code.length[s], code.length[t]);
      EXPECT_NE(code.code[s] >> (code.length[s] - shorter),
                code.code[t] >> (code.length[t] - shorter))
          << what << ": " << s << " and " << t << " share a prefix";
    }
  }
  for (int n = 1; n <= 16; ++n) EXPECT_EQ(code.counts[n], per_length[n]) << what << " length " << n;
  EXPECT_EQ(code.values.size(), coded) << what;
  for (std::size_t i = 1; i < code.values.size(); ++i)
    EXPECT_LE(code.length[code.values[i - 1]], code.length[code.values[i]]) << what;
  return bits;
}

TEST(JpegHuffman, FittedCodesAreValidAndWithinOneReservedCodeOfOptimal) {
  std::mt19937 random(11);
  int unlimited = 0;
  for (int round = 0; round < 300; ++round) {
    HuffmanCounts counts{};
    const int used = round < 20 ? round + 1 : static_cast<int>(random() % 256) + 1;
    // Skewed like real symbol statistics: a few common, many rare, many equal.
    for (int i = 0; i < used; ++i)
      counts[random() % 256] += round % 3 == 0 ? 7 : 1 + (random() % 1000) * (random() % 50);
    HuffmanCode code;
    ASSERT_TRUE(BuildOptimalHuffman(counts, code));
    const std::string what = "round " + std::to_string(round);
    const std::uint64_t bits = CheckCode(counts, code, what);
    std::vector<std::uint64_t> plain(counts.begin(), counts.end()), reserved = plain;
    reserved.push_back(1);  // the pseudo-symbol that keeps the all-ones code free
    EXPECT_GE(bits, OptimalBits(plain)) << what;
    // Where 16 bits are enough, the code is optimal but for the reserved code's share.
    int depth = 0;
    const std::uint64_t with_reserved = OptimalBits(reserved, &depth);
    if (depth <= 16) {
      ++unlimited;
      EXPECT_LE(bits, with_reserved) << what;
    }
  }
  EXPECT_GT(unlimited, 150);
}

TEST(JpegHuffman, FibonacciCountsAreLimitedToSixteenBits) {
  // Fibonacci counts make an unlimited code 40 bits deep; over 32 the counts get flattened.
  for (int symbols : {18, 25, 40}) {
    HuffmanCounts counts{};
    std::uint64_t a = 1, b = 1;
    for (int s = 0; s < symbols; ++s) {
      counts[s * 5] = static_cast<std::uint32_t>(std::min<std::uint64_t>(a, 0xFFFFFFFFu));
      const std::uint64_t next = a + b;
      a = b;
      b = next;
    }
    HuffmanCode code;
    ASSERT_TRUE(BuildOptimalHuffman(counts, code));
    CheckCode(counts, code, std::to_string(symbols) + " symbols");
  }
}

TEST(JpegHuffman, NoCountsNeedNoTableAndOneSymbolGetsOneBit) {
  HuffmanCounts counts{};
  HuffmanCode code;
  EXPECT_FALSE(BuildOptimalHuffman(counts, code));
  counts[0xF0] = 1000;
  ASSERT_TRUE(BuildOptimalHuffman(counts, code));
  EXPECT_EQ(code.length[0xF0], 1);
  EXPECT_EQ(code.code[0xF0], 0);
}

}  // namespace
}  // namespace pelnoro::encoder
