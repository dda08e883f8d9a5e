#include "encoder/jpeg_huffman.h"

namespace pelnoro::encoder {

namespace {

// Huffman code lengths (T.81 K.2, figure K.1); false if a code would exceed 32 bits.
bool CodeSizes(const HuffmanCounts& counts, int (&code_size)[257]) {
  // One extra pseudo-symbol keeps the all-ones code unused, as T.81 requires.
  std::uint64_t freq[257];
  bool any = false;
  for (int i = 0; i < 256; ++i) {
    freq[i] = counts[i];
    any = any || counts[i] != 0;
  }
  if (!any) return false;
  freq[256] = 1;

  for (int& size : code_size) size = 0;
  int others[257];
  for (int& o : others) o = -1;
  for (;;) {
    // The two least frequent live entries; ties go to the larger symbol value.
    int c1 = -1, c2 = -1;
    std::uint64_t v = UINT64_MAX;
    for (int i = 0; i <= 256; ++i)
      if (freq[i] != 0 && freq[i] <= v) {
        v = freq[i];
        c1 = i;
      }
    v = UINT64_MAX;
    for (int i = 0; i <= 256; ++i)
      if (freq[i] != 0 && freq[i] <= v && i != c1) {
        v = freq[i];
        c2 = i;
      }
    if (c2 < 0) break;
    freq[c1] += freq[c2];
    freq[c2] = 0;
    ++code_size[c1];
    while (others[c1] >= 0) {
      c1 = others[c1];
      ++code_size[c1];
    }
    others[c1] = c2;
    ++code_size[c2];
    while (others[c2] >= 0) {
      c2 = others[c2];
      ++code_size[c2];
    }
  }

  for (int size : code_size)
    if (size > 32) return false;
  return true;
}

}  // namespace

bool BuildOptimalHuffman(const HuffmanCounts& counts, HuffmanCode& result) {
  result = HuffmanCode{};
  bool any = false;
  for (std::uint32_t c : counts) any = any || c != 0;
  if (!any) return false;
  int code_size[257];
  HuffmanCounts flatter = counts;
  // Only a freakish (Fibonacci-like) spread of counts makes codes that long: flatten it.
  while (!CodeSizes(flatter, code_size))
    for (std::uint32_t& c : flatter) c = c == 0 ? 0 : c / 2 + 1;

  int bits[33] = {};
  for (int i = 0; i <= 256; ++i)
    if (code_size[i] > 0) ++bits[code_size[i]];
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

  for (int size = 1; size <= 32; ++size)
    for (int s = 0; s < 256; ++s)
      if (code_size[s] == size) result.values.push_back(static_cast<std::uint8_t>(s));

  // Canonical codes (T.81 C.2): consecutive values per length.
  std::uint32_t code = 0;
  std::size_t k = 0;
  for (int len = 1; len <= 16; ++len) {
    for (int n = 0; n < result.counts[len]; ++n) {
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
