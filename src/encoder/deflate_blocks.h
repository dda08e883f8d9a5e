// Deflate blocks (RFC 1951): symbols, their Huffman codes and the three kinds of block.
// Whatever makes the symbols, the block is written in the kind that costs fewest bits.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "encoder/deflate_bits.h"

namespace pelnoro::encoder::deflate {

inline constexpr int kMinMatch = 3;
inline constexpr int kMaxMatch = 258;
inline constexpr int kMaxDistance = 32768;
inline constexpr int kLitLenSymbols = 286;  // 0-255 literals, 256 end of block, 257-285 lengths
inline constexpr int kDistSymbols = 30;
inline constexpr int kEndOfBlock = 256;

// A literal byte (distance 0) or a match of `length` bytes `distance` back.
struct Symbol {
  std::uint16_t length_or_literal;
  std::uint16_t distance;
};

inline Symbol Literal(std::uint8_t byte) {
  return {byte, 0};
}
inline Symbol Match(int length, int distance) {
  return {static_cast<std::uint16_t>(length), static_cast<std::uint16_t>(distance)};
}

struct LengthCodes {
  std::array<std::uint16_t, kMaxMatch + 1> symbol{};  // by length: 257..285
  std::array<std::uint8_t, kMaxMatch + 1> extra_bits{};
  std::array<std::uint16_t, kMaxMatch + 1> extra_value{};
};
const LengthCodes& Lengths();

// Distance code of a distance 1..32768: 0..29.
inline int DistanceSymbol(int distance) {
  const unsigned x = static_cast<unsigned>(distance - 1);
  if (x < 4) return static_cast<int>(x);
  const int n = 31 - __builtin_clz(x);  // 2..14
  return 2 * n + static_cast<int>((x >> (n - 1)) & 1);
}
inline int DistanceExtraBits(int symbol) {
  return symbol < 4 ? 0 : symbol / 2 - 1;
}
inline int DistanceBase(int symbol) {
  if (symbol < 4) return symbol + 1;
  const int extra = DistanceExtraBits(symbol);
  return 1 + ((2 + (symbol & 1)) << extra);
}

struct Histogram {
  std::array<std::uint32_t, kLitLenSymbols> litlen{};
  std::array<std::uint32_t, kDistSymbols> dist{};

  void Add(Symbol s) {
    if (s.distance == 0) {
      ++litlen[s.length_or_literal];
    } else {
      ++litlen[Lengths().symbol[s.length_or_literal]];
      ++dist[DistanceSymbol(s.distance)];
    }
  }
  void Add(const Histogram& other) {
    for (int i = 0; i < kLitLenSymbols; ++i) litlen[i] += other.litlen[i];
    for (int i = 0; i < kDistSymbols; ++i) dist[i] += other.dist[i];
  }
};

// Lengths of an optimal prefix code for `frequencies` with no code longer than `limit`
// bits (package-merge). Unused symbols get 0; when fewer than two are used, two get length
// 1 so that every decoder sees a complete code.
void CodeLengths(std::span<const std::uint32_t> frequencies, int limit,
                 std::span<std::uint8_t> lengths);

// The code lengths a dynamic block would use for a histogram (the end of block counted
// once), as a cost model for choosing symbols.
struct CodeLengthSet {
  std::array<std::uint8_t, kLitLenSymbols> litlen{};
  std::array<std::uint8_t, kDistSymbols> dist{};
};
CodeLengthSet DynamicLengths(const Histogram& histogram);

// Bits of a dynamic block with the histogram's own codes, header included.
std::uint64_t DynamicBlockBits(const Histogram& histogram);

// Writes `symbols` as one block of whichever kind is smallest: dynamic codes, the fixed
// codes, or stored (`raw` is the input the symbols stand for).
void WriteBlock(std::span<const Symbol> symbols, std::span<const std::uint8_t> raw, bool final,
                BitWriter& out);

// Symbols split into blocks by their statistics: a block ends where starting a new one
// with codes of its own costs less than carrying on. Writes them, the last one final when
// `final`.
void WriteBlocks(std::span<const Symbol> symbols, std::span<const std::uint8_t> raw, bool final,
                 BitWriter& out);

}  // namespace pelnoro::encoder::deflate
