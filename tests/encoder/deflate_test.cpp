#include "encoder/deflate.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "encoder/deflate_blocks.h"

namespace pelnoro::encoder::deflate {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr Effort kEfforts[] = {Effort::kRuns,     Effort::kGreedy,   Effort::kLazy,
                               Effort::kLazyLong, Effort::kLazyDeep, Effort::kOptimal};

// zlib's raw inflate; fails the test on any error or on bytes after the final block.
Bytes Inflate(const BitStream& stream, std::size_t expected) {
  z_stream z{};
  EXPECT_EQ(inflateInit2(&z, -15), Z_OK);
  Bytes out(expected + 16);
  z.next_in = const_cast<Bytef*>(stream.bytes.data());
  z.avail_in = static_cast<uInt>(stream.bytes.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END);
  EXPECT_EQ(z.avail_in, 0u) << "bytes after the final block";
  out.resize(z.total_out);
  inflateEnd(&z);
  return out;
}

BitStream Compressed(const Bytes& data, Effort effort) {
  BitStream out;
  Compress(data, 0, effort, true, out);
  EXPECT_EQ(out.bytes.size(), (out.bits + 7) / 8);
  return out;
}

Bytes Random(std::size_t size, unsigned seed, int alphabet = 256) {
  std::mt19937 random(seed);
  Bytes b(size);
  for (auto& x : b) x = static_cast<std::uint8_t>(random() % alphabet);
  return b;
}

// Inputs that reach the edges: matches of every length up to 258 and beyond, distances
// up to the window's end, runs of one byte, incompressible stretches (stored blocks) and
// rows of three-byte pixels as PNG gives them.
std::vector<std::pair<std::string, Bytes>> Inputs() {
  std::vector<std::pair<std::string, Bytes>> inputs;
  inputs.push_back({"empty", {}});
  inputs.push_back({"one byte", {42}});
  inputs.push_back({"two bytes", {7, 7}});
  inputs.push_back({"three equal", {9, 9, 9}});
  inputs.push_back({"run", Bytes(100000, 'a')});
  inputs.push_back({"noise", Random(200000, 1)});
  inputs.push_back({"four letters", Random(150000, 2, 4)});
  Bytes far = Random(40000, 3);
  // The same 300 bytes 32767 and 32768 back: only one of them is in reach.
  Bytes copy(far.begin(), far.begin() + 300);
  far.insert(far.end() - 7000, copy.begin(), copy.end());
  far.insert(far.end(), far.begin() + 1, far.begin() + 301);
  inputs.push_back({"far repeats", far});
  Bytes lengths;
  std::mt19937 random(4);
  const Bytes unit = Random(600, 5);
  for (int length = 1; length <= 300; ++length) {
    lengths.insert(lengths.end(), unit.begin(), unit.begin() + length);
    lengths.push_back(static_cast<std::uint8_t>(random()));
  }
  inputs.push_back({"every length", lengths});
  Bytes rows;
  for (int y = 0; y < 300; ++y) {
    rows.push_back(0);
    for (int x = 0; x < 400; ++x)
      for (int c = 0; c < 3; ++c)
        rows.push_back(static_cast<std::uint8_t>((x / 7 + y / 5) % 3 == 0 ? 40 * c : x % 13 + y));
  }
  inputs.push_back({"rows", rows});
  Bytes mixed = Random(70000, 6);
  const Bytes flat(70000, 200);
  mixed.insert(mixed.end(), flat.begin(), flat.end());
  mixed.insert(mixed.end(), rows.begin(), rows.end());
  inputs.push_back({"noise then flat then rows", mixed});
  // A piece that starts mid-byte and holds a stored block (the noise after the words).
  Bytes words;
  for (int i = 0; i < 4000; ++i) {
    const char* w[] = {"deflate ", "block ", "match ", "a "};
    words.insert(words.end(), w[i * 7 % 4], w[i * 7 % 4] + std::strlen(w[i * 7 % 4]));
  }
  const Bytes noise = Random(80000, 10);
  words.insert(words.end(), noise.begin(), noise.end());
  inputs.push_back({"words then noise", words});
  return inputs;
}

TEST(Deflate, EveryEffortInflatesToTheInput) {
  for (const auto& [name, data] : Inputs())
    for (Effort effort : kEfforts) {
      const BitStream stream = Compressed(data, effort);
      ASSERT_EQ(Inflate(stream, data.size()), data)
          << name << ", effort " << static_cast<int>(effort);
      // Never much more than the input: incompressible parts are stored.
      EXPECT_LE(stream.bytes.size(), data.size() + data.size() / 1000 + 8) << name;
    }
}

TEST(Deflate, PiecesWithHistoryJoinIntoOneStream) {
  const auto inputs = Inputs();
  for (const auto& [name, data] : inputs)
    for (Effort effort : kEfforts) {
      if (data.size() < 3) continue;
      // Cut where the history is shorter and longer than the window.
      for (std::size_t cut : {data.size() / 3, data.size() - 1}) {
        BitStream joined;
        Compress(std::span(data).first(cut), 0, effort, false, joined);
        BitStream second;
        Compress(data, cut, effort, true, second);
        {
          BitWriter writer(joined);
          writer.Append(second);
          writer.Finish();
        }
        ASSERT_EQ(Inflate(joined, data.size()), data)
            << name << " cut at " << cut << ", effort " << static_cast<int>(effort);
      }
    }
}

TEST(Deflate, HarderEffortsCompressBetter) {
  // Text-like: words from a small vocabulary, so matches of many lengths and distances.
  std::mt19937 random(8);
  std::vector<std::string> words;
  for (int i = 0; i < 400; ++i) {
    std::string w;
    for (int n = 2 + static_cast<int>(random() % 8); n > 0; --n)
      w.push_back(static_cast<char>('a' + random() % 26));
    words.push_back(w);
  }
  Bytes text;
  while (text.size() < 300000) {
    const std::string& w = words[std::min(random() % 400, random() % 400)];
    text.insert(text.end(), w.begin(), w.end());
    text.push_back(' ');
  }
  std::vector<std::size_t> sizes;
  for (Effort effort : {Effort::kGreedy, Effort::kLazy, Effort::kOptimal})
    sizes.push_back(Compressed(text, effort).bytes.size());
  uLongf zlib9 = compressBound(static_cast<uLong>(text.size()));
  Bytes z(zlib9);
  ASSERT_EQ(compress2(z.data(), &zlib9, text.data(), static_cast<uLong>(text.size()), 9), Z_OK);
  EXPECT_LT(sizes[1], sizes[0]);
  EXPECT_LT(sizes[2], sizes[1]);
  EXPECT_LT(sizes[2] + sizes[2] / 25, zlib9 - 6) << "optimal parsing should beat zlib 9 by 4 %";
}

// Frequencies that make an unlimited Huffman code deeper than the limit.
TEST(DeflateCodes, LengthsAreCompleteWithinTheLimitAndOptimal) {
  struct Case {
    std::vector<std::uint32_t> frequencies;
    int limit;
  };
  std::vector<std::uint32_t> fibonacci = {1, 1};
  while (fibonacci.size() < 30) fibonacci.push_back(fibonacci.end()[-1] + fibonacci.end()[-2]);
  std::vector<std::uint32_t> flat(286, 5), sparse(30, 0);
  sparse[3] = 10;
  sparse[17] = 1;
  std::vector<std::uint32_t> with_zeros = fibonacci;
  with_zeros.insert(with_zeros.begin() + 5, 0);
  const Case cases[] = {{fibonacci, 15}, {fibonacci, 7},  {flat, 15},
                        {sparse, 15},    {with_zeros, 9}, {{3, 1, 1, 1, 1, 1, 1, 1}, 3}};
  for (const Case& c : cases) {
    std::vector<std::uint8_t> lengths(c.frequencies.size());
    CodeLengths(c.frequencies, c.limit, lengths);
    double kraft = 0;
    std::uint64_t cost = 0;
    for (std::size_t s = 0; s < lengths.size(); ++s) {
      EXPECT_EQ(lengths[s] == 0, c.frequencies[s] == 0) << "symbol " << s;
      EXPECT_LE(lengths[s], c.limit);
      if (lengths[s]) kraft += 1.0 / (1u << lengths[s]);
      cost += static_cast<std::uint64_t>(c.frequencies[s]) * lengths[s];
    }
    EXPECT_DOUBLE_EQ(kraft, 1.0) << c.frequencies.size() << " symbols, limit " << c.limit;
    if (c.limit == 3) {
      EXPECT_EQ(cost, 3u * 10);  // eight symbols in three bits: all of them
    }
  }
  // Without a binding limit, the cost is the Huffman cost: the sum of the merged weights.
  std::vector<std::uint32_t> f = {40, 1, 7, 7, 3, 19, 2, 2, 90};
  std::vector<std::uint64_t> heap(f.begin(), f.end());
  std::uint64_t huffman = 0;
  while (heap.size() > 1) {
    std::sort(heap.begin(), heap.end());
    const std::uint64_t merged = heap[0] + heap[1];
    huffman += merged;
    heap.erase(heap.begin(), heap.begin() + 2);
    heap.push_back(merged);
  }
  std::vector<std::uint8_t> lengths(f.size());
  CodeLengths(f, 15, lengths);
  std::uint64_t cost = 0;
  for (std::size_t s = 0; s < f.size(); ++s) cost += f[s] * lengths[s];
  EXPECT_EQ(cost, huffman);
}

TEST(DeflateCodes, LengthAndDistanceSymbolsCoverTheirRanges) {
  // Every length and distance falls in its symbol's range: base <= value < base + 2^extra.
  const LengthCodes& lengths = Lengths();
  for (int l = kMinMatch; l <= kMaxMatch; ++l) {
    EXPECT_LT(lengths.extra_value[l], 1u << lengths.extra_bits[l]) << l;
    if (l > kMinMatch && l < kMaxMatch) {
      EXPECT_GE(lengths.symbol[l], lengths.symbol[l - 1]) << l;
    }
  }
  EXPECT_EQ(lengths.symbol[3], 257);
  EXPECT_EQ(lengths.symbol[227], 284);
  EXPECT_EQ(lengths.symbol[257], 284);
  EXPECT_EQ(lengths.symbol[258], 285);
  for (int d = 1; d <= kMaxDistance; ++d) {
    const int s = DistanceSymbol(d);
    ASSERT_GE(d, DistanceBase(s)) << d;
    ASSERT_LT(d - DistanceBase(s), 1 << DistanceExtraBits(s)) << d;
  }
  EXPECT_EQ(DistanceSymbol(kMaxDistance), 29);
}

}  // namespace
}  // namespace pelnoro::encoder::deflate
