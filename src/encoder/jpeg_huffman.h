// Huffman tables fitted to the symbol counts of one image (T.81 K.2).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace pelnoro::encoder {

using HuffmanCounts = std::array<std::uint32_t, 256>;

struct HuffmanCode {
  std::array<std::uint8_t, 17> counts{};  // counts[n]: codes of length n (1..16)
  std::vector<std::uint8_t> values;       // symbols by increasing code length
  std::array<std::uint16_t, 256> code{};
  std::array<std::uint8_t, 256> length{};
};

// Builds a length-limited code for the symbols with non-zero counts. Returns false when
// no symbol was counted (the table is then not needed).
bool BuildOptimalHuffman(const HuffmanCounts& counts, HuffmanCode& result);

}  // namespace pelnoro::encoder
