#include "encoder/jpeg_symbols.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace pelnoro::encoder::jpeg {
namespace {

struct Symbol {
  int slot, symbol;
  std::uint32_t extra;
  int extra_bits;
  bool operator==(const Symbol&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Symbol& s) {
  return os << "{slot " << s.slot << " symbol 0x" << std::hex << s.symbol << " extra 0x" << s.extra
            << std::dec << "/" << s.extra_bits << "}";
}

std::vector<Symbol> Entries(const SymbolBuffer& buffer) {
  std::vector<Symbol> out;
  for (const std::uint32_t* e = buffer.Begin(); e != buffer.End(); ++e) {
    const int slot = static_cast<int>(*e >> 8 & 7), symbol = static_cast<int>(*e & 0xFF);
    const int bits = slot == kRawSlot ? symbol : ExtraBitsOf(slot, symbol);
    // Only the low `bits` of an entry's extra are written.
    out.push_back({slot, symbol, *e >> 16 & ((1u << bits) - 1), bits});
  }
  return out;
}

struct Block {
  std::int16_t zigzag[64] = {};
  std::uint64_t Nonzero() const {
    std::uint64_t mask = 0;
    for (int k = 0; k < 64; ++k) mask |= static_cast<std::uint64_t>(zigzag[k] != 0) << k;
    return mask;
  }
};

std::vector<Symbol> Code(const Block& block, int& last_dc, int dc_slot = 0) {
  SymbolBuffer buffer;
  buffer.Clear();
  buffer.Reserve(kMaxBaselineBlockEntries);
  // The coder reads the coefficients in the transform's column order.
  std::int16_t columns[64];
  for (int k = 0; k < 64; ++k) columns[kColumnOrder[k]] = block.zigzag[k];
  CodeBaselineBlock(buffer, columns, block.Nonzero(), last_dc, dc_slot);
  return Entries(buffer);
}

constexpr int kDc = 0, kAc = 1;
constexpr Symbol kEob{kAc, 0x00, 0, 0};
constexpr Symbol kZrl{kAc, 0xF0, 0, 0};

TEST(JpegBaselineSymbols, DcDifferenceThenRunsAndSizesThenEndOfBlock) {
  Block b;
  b.zigzag[0] = 5;
  b.zigzag[1] = -1;
  b.zigzag[20] = 3;  // after 18 zeros: one run of 16, then run 2
  int last_dc = 2;
  EXPECT_EQ(Code(b, last_dc),
            (std::vector<Symbol>{
                {kDc, 2, 0b11, 2}, {kAc, 0x01, 0b0, 1}, kZrl, {kAc, 0x22, 0b11, 2}, kEob}));
  EXPECT_EQ(last_dc, 5);
}

TEST(JpegBaselineSymbols, NegativeValuesAreSentAsOnesComplement) {
  Block b;
  b.zigzag[0] = -3;
  b.zigzag[2] = -6;
  b.zigzag[3] = 1023;
  b.zigzag[4] = -1023;
  int last_dc = 5;  // difference -8
  EXPECT_EQ(Code(b, last_dc), (std::vector<Symbol>{{kDc, 4, 0b0111, 4},
                                                   {kAc, 0x13, 0b001, 3},
                                                   {kAc, 0x0A, 1023, 10},
                                                   {kAc, 0x0A, 0, 10},
                                                   kEob}));
}

TEST(JpegBaselineSymbols, RunsOfFifteenSixteenAndSixtyTwo) {
  Block fifteen, sixteen, last_only;
  fifteen.zigzag[16] = 1;
  sixteen.zigzag[17] = 1;
  last_only.zigzag[63] = 2;
  int last_dc = 0;
  EXPECT_EQ(Code(fifteen, last_dc), (std::vector<Symbol>{{kDc, 0, 0, 0}, {kAc, 0xF1, 1, 1}, kEob}));
  EXPECT_EQ(Code(sixteen, last_dc),
            (std::vector<Symbol>{{kDc, 0, 0, 0}, kZrl, {kAc, 0x01, 1, 1}, kEob}));
  // A value in the last position leaves no end-of-block.
  EXPECT_EQ(Code(last_only, last_dc),
            (std::vector<Symbol>{{kDc, 0, 0, 0}, kZrl, kZrl, kZrl, {kAc, 0xE2, 0b10, 2}}));
  // Chroma blocks use the chroma slots.
  Block empty;
  EXPECT_EQ(Code(empty, last_dc, 2), (std::vector<Symbol>{{2, 0, 0, 0}, {3, 0x00, 0, 0}}));
}

TEST(JpegMagnitudeMask, MarksNonzeroAndExactlyOneAfterTheShift) {
  std::mt19937 random(8);
  for (int round = 0; round < 500; ++round) {
    std::int16_t zigzag[64];
    for (auto& v : zigzag)
      v = static_cast<std::int16_t>(random() % 3 == 0 ? static_cast<int>(random() % 4095) - 2047
                                                      : static_cast<int>(random() % 7) - 3);
    for (int shift = 0; shift < 4; ++shift) {
      std::uint64_t nonzero = 0, ones = 0;
      for (int k = 0; k < 64; ++k) {
        const int m = (zigzag[k] < 0 ? -zigzag[k] : zigzag[k]) >> shift;
        nonzero |= static_cast<std::uint64_t>(m != 0) << k;
        ones |= static_cast<std::uint64_t>(m == 1) << k;
      }
      ASSERT_EQ(MagnitudeMask(zigzag, shift, false), nonzero) << "shift " << shift;
      ASSERT_EQ(MagnitudeMask(zigzag, shift, true), ones) << "shift " << shift;
    }
  }
}

// Reads the written bits back with the tables: the same symbols, extra bits and raw bits
// in the same order, and nothing after them but one-bits.
TEST(JpegWriteSymbols, BitsReadBackWithTheTables) {
  SymbolBuffer buffer;
  buffer.Clear();
  std::mt19937 random(4);
  for (int n = 0; n < 20000; ++n) {
    buffer.Reserve(2);
    const int slot = static_cast<int>(random() % 5);
    // Skewed symbols, so that codes of many lengths occur; DC symbols count their bits.
    const int symbol = slot == kRawSlot ? static_cast<int>(random() % 17)
                       : slot % 2 == 0  ? static_cast<int>(random() % 17 & random() % 17)
                                        : static_cast<int>(random() % 256 & random() % 256);
    const int bits = slot == kRawSlot ? symbol : ExtraBitsOf(slot, symbol);
    const std::uint32_t extra = bits == 0 ? 0 : static_cast<std::uint32_t>(random()) >> (32 - bits);
    if (slot == kRawSlot)
      buffer.PutRaw(extra, bits);
    else
      buffer.Put(slot, symbol, extra);
  }
  buffer.Tally();
  HuffmanCode codes[kCodedSlots];
  const HuffmanCode* tables[kCodedSlots];
  for (int slot = 0; slot < kCodedSlots; ++slot) {
    ASSERT_TRUE(BuildOptimalHuffman(buffer.Counts(slot), codes[slot]));
    tables[slot] = &codes[slot];
  }
  std::vector<std::uint8_t> out = {0xAB};
  WriteSymbols(buffer, tables, out);
  ASSERT_EQ(out[0], 0xAB);

  std::size_t pos = 1;
  int bit = 0;
  const auto read = [&](int count) {
    std::uint32_t v = 0;
    for (int i = 0; i < count; ++i) {
      if (pos >= out.size()) ADD_FAILURE() << "ran out of bits";
      if (pos >= out.size()) return v;
      v = v << 1 | (out[pos] >> (7 - bit) & 1);
      if (++bit == 8) {
        bit = 0;
        if (out[pos] == 0xFF) {
          EXPECT_EQ(out[pos + 1], 0) << "unstuffed 0xFF at " << pos;
          ++pos;
        }
        ++pos;
      }
    }
    return v;
  };
  for (const Symbol& want : Entries(buffer)) {
    if (want.slot != kRawSlot) {
      const HuffmanCode& code = codes[want.slot];
      const std::uint32_t got = read(code.length[want.symbol]);
      ASSERT_EQ(got, code.code[want.symbol]) << want;
    }
    ASSERT_EQ(read(want.extra_bits), want.extra) << want;
  }
  if (bit != 0) {
    const int left = 8 - bit;
    EXPECT_EQ(read(left), (1u << left) - 1) << "padding";
  }
  EXPECT_EQ(pos, out.size());
}

}  // namespace
}  // namespace pelnoro::encoder::jpeg
