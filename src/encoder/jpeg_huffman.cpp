#include "encoder/jpeg_huffman.h"

#include <algorithm>

namespace pelnoro::encoder {

namespace {

// Huffman code lengths (T.81 K.2, figure K.1) of `n` symbols with the frequencies
// `freq` (ascending symbol values, the last being the pseudo-symbol); false if a code
// would exceed 32 bits. The figure scans every symbol for each merge; a heap ordered as
// that scan chooses (the least frequency, and of equals the largest symbol) gives the
// same lengths with far less work, which small pictures notice.
bool CodeSizes(const std::uint64_t* freq, int n, int* code_size) {
  struct Node {
    std::uint64_t freq;
    int index;
  };
  // Whether a is taken after b.
  const auto later = [](const Node& a, const Node& b) {
    return a.freq != b.freq ? a.freq > b.freq : a.index < b.index;
  };
  Node heap[257];
  int others[257];
  for (int i = 0; i < n; ++i) {
    heap[i] = {freq[i], i};
    code_size[i] = 0;
    others[i] = -1;
  }
  int live = n;
  std::make_heap(heap, heap + live, later);
  while (live > 1) {
    std::pop_heap(heap, heap + live, later);
    Node c1 = heap[--live];
    std::pop_heap(heap, heap + live, later);
    const Node c2 = heap[--live];
    // c2's tree joins c1's: every symbol in both gets one bit longer.
    int i = c1.index;
    ++code_size[i];
    while (others[i] >= 0) {
      i = others[i];
      ++code_size[i];
    }
    others[i] = c2.index;
    for (i = c2.index; i >= 0; i = others[i]) ++code_size[i];
    c1.freq += c2.freq;
    heap[live++] = c1;
    std::push_heap(heap, heap + live, later);
  }
  for (int i = 0; i < n; ++i)
    if (code_size[i] > 32) return false;
  return true;
}

}  // namespace

bool BuildOptimalHuffman(const HuffmanCounts& counts, HuffmanCode& result) {
  result = HuffmanCode{};
  // Only the symbols that occur take part; one extra pseudo-symbol after them keeps the
  // all-ones code unused, as T.81 requires.
  std::uint8_t symbols[256];
  std::uint64_t freq[257];
  int n = 0;
  for (int s = 0; s < 256; ++s)
    if (counts[s] != 0) {
      symbols[n] = static_cast<std::uint8_t>(s);
      freq[n++] = counts[s];
    }
  if (n == 0) return false;
  freq[n] = 1;
  int code_size[257];
  // Only a freakish (Fibonacci-like) spread of counts makes codes that long: flatten it.
  while (!CodeSizes(freq, n + 1, code_size))
    for (int i = 0; i < n; ++i) freq[i] = freq[i] / 2 + 1;

  int bits[33] = {};
  for (int i = 0; i <= n; ++i) ++bits[code_size[i]];
  // Limit the code lengths to 16 bits (K.3's adjustment).
  for (int i = 32; i > 16; --i) {
    while (bits[i] > 0) {
      int j = i - 2;
      while (bits[j] == 0) --j;
      bits[i] -= 2;
      bits[i - 1] += 1;
      bits[j + 1] += 2;
      bits[j] -= 1;
    }
  }
  int longest = 16;
  while (bits[longest] == 0) --longest;
  bits[longest] -= 1;  // drop the pseudo-symbol's code
  for (int i = 1; i <= 16; ++i) result.counts[i] = static_cast<std::uint8_t>(bits[i]);

  // Symbols by their unlimited length, and by value within a length; the limited lengths
  // are then handed out in that order.
  int first[34] = {};
  for (int i = 0; i < n; ++i) ++first[code_size[i] + 1];
  for (int size = 1; size <= 33; ++size) first[size] += first[size - 1];
  result.values.resize(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i)
    result.values[static_cast<std::size_t>(first[code_size[i]]++)] = symbols[i];

  // Canonical codes (T.81 C.2): consecutive values per length.
  std::uint32_t code = 0;
  std::size_t k = 0;
  for (int len = 1; len <= 16; ++len) {
    for (int c = 0; c < result.counts[len]; ++c) {
      const std::uint8_t symbol = result.values[k++];
      result.code[symbol] = static_cast<std::uint16_t>(code);
      result.length[symbol] = static_cast<std::uint8_t>(len);
      ++code;
    }
    code <<= 1;
  }
  return true;
}

}  // namespace pelnoro::encoder
