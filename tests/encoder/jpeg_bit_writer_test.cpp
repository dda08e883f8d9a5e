#include "encoder/jpeg_bit_writer.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace pelnoro::encoder {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The plain way: one bit at a time, a zero after each 0xFF, ones to fill the last byte.
Bytes Reference(const std::vector<std::pair<std::uint32_t, int>>& puts) {
  Bytes out;
  int byte = 0, filled = 0;
  const auto bit = [&](int b) {
    byte = byte << 1 | b;
    if (++filled == 8) {
      out.push_back(static_cast<std::uint8_t>(byte));
      if (byte == 0xFF) out.push_back(0);
      byte = filled = 0;
    }
  };
  for (auto [bits, count] : puts)
    for (int i = count - 1; i >= 0; --i) bit(static_cast<int>(bits >> i & 1));
  while (filled != 0) bit(1);
  return out;
}

Bytes Written(const std::vector<std::pair<std::uint32_t, int>>& puts) {
  std::size_t total = 0;
  for (auto [bits, count] : puts) total += static_cast<std::size_t>(count);
  // The room the encoder gives the writer, and a guard past it.
  Bytes out((total + 7) / 8 * 2 + 8 + 16, 0xA5);
  BitWriter writer(out.data());
  for (auto [bits, count] : puts) writer.Put(bits, count);
  const std::size_t used = static_cast<std::size_t>(writer.Finish() - out.data());
  for (std::size_t i = out.size() - 16; i < out.size(); ++i) EXPECT_EQ(out[i], 0xA5) << "overrun";
  out.resize(used);
  return out;
}

TEST(JpegBitWriter, MatchesBitByBitPackingForAnyMixOfLengths) {
  std::mt19937 random(11);
  for (int round = 0; round < 300; ++round) {
    // Mostly ones in some rounds, so that 0xFF bytes land on every position of the
    // eight-byte word the writer sends at once.
    const bool ones = round % 2 == 0;
    std::vector<std::pair<std::uint32_t, int>> puts;
    const int n = static_cast<int>(random() % 200);
    for (int i = 0; i < n; ++i) {
      const int count = static_cast<int>(random() % 33);
      std::uint32_t bits = ones ? 0xFFFFFFFFu ^ (random() % 50 == 0 ? 1u << (random() % 32) : 0)
                                : static_cast<std::uint32_t>(random());
      bits = count == 32 ? bits : bits & ((1u << count) - 1);
      puts.push_back({bits, count});
    }
    ASSERT_EQ(Written(puts), Reference(puts)) << "round " << round;
  }
}

TEST(JpegBitWriter, PadsWithOnesAndStuffsAfterEveryFF) {
  EXPECT_EQ(Written({}), Bytes{});
  EXPECT_EQ(Written({{0b101, 3}}), Bytes{0xBF});
  EXPECT_EQ(Written({{0xFF, 8}}), (Bytes{0xFF, 0x00}));
  // Seven ones padded to a whole 0xFF byte need the zero too.
  EXPECT_EQ(Written({{0x7F, 7}}), (Bytes{0xFF, 0x00}));
  // Exactly 64 bits: one full word, nothing left to pad.
  EXPECT_EQ(Written({{0x01234567, 32}, {0x89ABCDEF, 32}}),
            (Bytes{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}));
  EXPECT_EQ(Written({{0xFFFFFFFF, 32}, {0, 32}}),
            (Bytes{0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0, 0, 0, 0}));
}

}  // namespace
}  // namespace pelnoro::encoder
