#include "encoder/deflate_blocks.h"

#include <algorithm>
#include <cmath>

namespace pelnoro::encoder::deflate {
namespace {

constexpr int kMaxCodeBits = 15;
constexpr int kMaxCodeLengthBits = 7;
constexpr int kCodeLengthSymbols = 19;
// The order in which a dynamic header lists the code-length code's lengths.
constexpr int kCodeLengthOrder[kCodeLengthSymbols] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                      11, 4,  12, 3, 13, 2, 14, 1, 15};
constexpr int kStoredMax = 65535;

// Extra bits of the length symbols 257..285.
constexpr int LengthSymbolExtraBits(int symbol) {
  return symbol < 265 || symbol == 285 ? 0 : (symbol - 261) / 4;
}

LengthCodes MakeLengthCodes() {
  LengthCodes t;
  for (int length = kMinMatch; length <= kMaxMatch; ++length) {
    const int x = length - kMinMatch;
    int symbol, base;
    if (length == kMaxMatch) {
      symbol = 285;
      base = kMaxMatch;
    } else if (x < 8) {
      symbol = 257 + x;
      base = length;
    } else {
      const int n = 31 - __builtin_clz(static_cast<unsigned>(x));  // 3..7
      const int extra = n - 2;
      symbol = 257 + 4 * (n - 1) + ((x >> extra) & 3);
      base = kMinMatch + ((4 + ((x >> extra) & 3)) << extra);
    }
    t.symbol[length] = static_cast<std::uint16_t>(symbol);
    t.extra_bits[length] = static_cast<std::uint8_t>(LengthSymbolExtraBits(symbol));
    t.extra_value[length] = static_cast<std::uint16_t>(length - base);
  }
  return t;
}

// Codes of canonical Huffman code lengths, bit-reversed as deflate sends them.
template <std::size_t N>
void CanonicalCodes(const std::array<std::uint8_t, N>& lengths,
                    std::array<std::uint16_t, N>& codes) {
  int count[kMaxCodeBits + 1] = {};
  for (std::uint8_t l : lengths) ++count[l];
  count[0] = 0;
  int next[kMaxCodeBits + 2] = {};
  for (int bits = 1; bits <= kMaxCodeBits; ++bits) next[bits + 1] = (next[bits] + count[bits]) << 1;
  for (std::size_t s = 0; s < N; ++s) {
    const int l = lengths[s];
    if (l == 0) continue;
    unsigned code = static_cast<unsigned>(next[l]++), reversed = 0;
    for (int i = 0; i < l; ++i, code >>= 1) reversed = reversed << 1 | (code & 1);
    codes[s] = static_cast<std::uint16_t>(reversed);
  }
}

// The code lengths of both trees, run-length coded as a dynamic header carries them.
struct HeaderPlan {
  int hlit = 257, hdist = 1, hclen = 4;
  std::vector<std::uint8_t> symbols;  // code-length symbols 0..18
  std::vector<std::uint8_t> extras;   // their repeat counts, for 16, 17 and 18
  std::array<std::uint32_t, kCodeLengthSymbols> frequencies{};
  std::array<std::uint8_t, kCodeLengthSymbols> lengths{};
};

HeaderPlan PlanHeader(const CodeLengthSet& code) {
  HeaderPlan plan;
  plan.hlit = kLitLenSymbols;
  while (plan.hlit > 257 && code.litlen[plan.hlit - 1] == 0) --plan.hlit;
  plan.hdist = kDistSymbols;
  while (plan.hdist > 1 && code.dist[plan.hdist - 1] == 0) --plan.hdist;
  std::vector<std::uint8_t> all(code.litlen.begin(), code.litlen.begin() + plan.hlit);
  all.insert(all.end(), code.dist.begin(), code.dist.begin() + plan.hdist);
  const auto emit = [&plan](int symbol, int extra) {
    plan.symbols.push_back(static_cast<std::uint8_t>(symbol));
    plan.extras.push_back(static_cast<std::uint8_t>(extra));
    ++plan.frequencies[symbol];
  };
  for (std::size_t i = 0; i < all.size();) {
    const int value = all[i];
    std::size_t run = 1;
    while (i + run < all.size() && all[i + run] == value) ++run;
    std::size_t left = run;
    if (value == 0) {
      while (left >= 11) {
        const std::size_t n = std::min<std::size_t>(left, 138);
        emit(18, static_cast<int>(n - 11));
        left -= n;
      }
      if (left >= 3) {
        emit(17, static_cast<int>(left - 3));
        left = 0;
      }
    } else {
      emit(value, 0);
      --left;
      while (left >= 3) {
        const std::size_t n = std::min<std::size_t>(left, 6);
        emit(16, static_cast<int>(n - 3));
        left -= n;
      }
    }
    for (; left > 0; --left) emit(value, 0);
    i += run;
  }
  CodeLengths(plan.frequencies, kMaxCodeLengthBits, plan.lengths);
  plan.hclen = kCodeLengthSymbols;
  while (plan.hclen > 4 && plan.lengths[kCodeLengthOrder[plan.hclen - 1]] == 0) --plan.hclen;
  return plan;
}

std::uint64_t HeaderBits(const HeaderPlan& plan) {
  std::uint64_t bits = 5 + 5 + 4 + 3 * static_cast<std::uint64_t>(plan.hclen);
  for (int s = 0; s < kCodeLengthSymbols; ++s) {
    const int extra = s == 16 ? 2 : s == 17 ? 3 : s == 18 ? 7 : 0;
    bits += static_cast<std::uint64_t>(plan.frequencies[s]) * (plan.lengths[s] + extra);
  }
  return bits;
}

// Bits of the symbols themselves with the given lengths, extra bits included.
std::uint64_t DataBits(const Histogram& h, const std::uint8_t* litlen, const std::uint8_t* dist) {
  std::uint64_t bits = 0;
  for (int s = 0; s < kLitLenSymbols; ++s)
    bits += static_cast<std::uint64_t>(h.litlen[s]) *
            (litlen[s] + (s > kEndOfBlock ? LengthSymbolExtraBits(s) : 0));
  for (int s = 0; s < kDistSymbols; ++s)
    bits += static_cast<std::uint64_t>(h.dist[s]) * (dist[s] + DistanceExtraBits(s));
  return bits;
}

Histogram WithEnd(const Histogram& h) {
  Histogram with = h;
  with.litlen[kEndOfBlock] = 1;
  return with;
}

struct FixedCode {
  std::array<std::uint8_t, 288> litlen{};
  std::array<std::uint8_t, kDistSymbols> dist{};
  std::array<std::uint16_t, 288> litlen_codes{};
  std::array<std::uint16_t, kDistSymbols> dist_codes{};
};

const FixedCode& Fixed() {
  static const FixedCode code = [] {
    FixedCode c;
    for (int s = 0; s < 288; ++s) c.litlen[s] = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
    c.dist.fill(5);
    CanonicalCodes(c.litlen, c.litlen_codes);
    CanonicalCodes(c.dist, c.dist_codes);
    return c;
  }();
  return code;
}

void WriteSymbols(std::span<const Symbol> symbols, const std::uint8_t* litlen,
                  const std::uint16_t* litlen_codes, const std::uint8_t* dist,
                  const std::uint16_t* dist_codes, BitWriter& out) {
  const LengthCodes& lengths = Lengths();
  for (const Symbol s : symbols) {
    if (s.distance == 0) {
      out.Put(litlen_codes[s.length_or_literal], litlen[s.length_or_literal]);
      continue;
    }
    const int length = s.length_or_literal;
    const int ls = lengths.symbol[length];
    out.Put(litlen_codes[ls] | static_cast<std::uint32_t>(lengths.extra_value[length])
                                   << litlen[ls],
            litlen[ls] + lengths.extra_bits[length]);
    const int ds = DistanceSymbol(s.distance);
    out.Put(dist_codes[ds] | static_cast<std::uint32_t>(s.distance - DistanceBase(ds)) << dist[ds],
            dist[ds] + DistanceExtraBits(ds));
  }
  out.Put(litlen_codes[kEndOfBlock], litlen[kEndOfBlock]);
}

std::uint64_t StoredBits(std::size_t bytes, int bit_offset) {
  const std::uint64_t chunks = std::max<std::uint64_t>(1, (bytes + kStoredMax - 1) / kStoredMax);
  // The first header pads to a byte; the later ones start on one, so pad 5 bits.
  const std::uint64_t first_pad = (8 - (bit_offset + 3) % 8) % 8;
  return 3 + first_pad + 32 + (chunks - 1) * (8 + 32) + 8 * static_cast<std::uint64_t>(bytes);
}

void WriteStored(std::span<const std::uint8_t> raw, bool final, BitWriter& out) {
  out.HoldsStored();
  std::size_t pos = 0;
  do {
    const std::size_t n = std::min<std::size_t>(kStoredMax, raw.size() - pos);
    const bool last = pos + n == raw.size();
    out.Put(final && last ? 1 : 0, 1);
    out.Put(0, 2);
    out.AlignToByte();
    out.Put(static_cast<std::uint32_t>(n), 16);
    out.Put(static_cast<std::uint32_t>(n) ^ 0xFFFF, 16);
    out.PutBytes(raw.data() + pos, n);
    pos += n;
  } while (pos < raw.size());
}

// Estimated bits of a block for the histogram: the entropy of its symbols, their extra
// bits and a rough header. Cheap enough to weigh many places to split.
double EstimatedBits(const Histogram& h) {
  double bits = 0;
  std::uint64_t total = 1, used = 0;
  for (std::uint32_t f : h.litlen) total += f;
  const auto add = [&](std::uint32_t f, std::uint64_t sum) {
    if (f == 0) return;
    ++used;
    bits += static_cast<double>(f) * std::log2(static_cast<double>(sum) / f);
  };
  for (int s = 0; s < kLitLenSymbols; ++s) {
    add(h.litlen[s], total);
    if (s > kEndOfBlock) bits += static_cast<double>(h.litlen[s]) * LengthSymbolExtraBits(s);
  }
  std::uint64_t dist_total = 0;
  for (std::uint32_t f : h.dist) dist_total += f;
  for (int s = 0; s < kDistSymbols; ++s) {
    add(h.dist[s], dist_total);
    bits += static_cast<double>(h.dist[s]) * DistanceExtraBits(s);
  }
  // About four bits a used code length, and the fixed fields.
  return bits + 4.0 * static_cast<double>(used) + 60;
}

Histogram Difference(const Histogram& to, const Histogram& from) {
  Histogram d;
  for (int i = 0; i < kLitLenSymbols; ++i) d.litlen[i] = to.litlen[i] - from.litlen[i];
  for (int i = 0; i < kDistSymbols; ++i) d.dist[i] = to.dist[i] - from.dist[i];
  return d;
}

// Symbols per step at which a block may end.
constexpr std::size_t kSplitStep = 1024;
// A split must save at least this many bits to be worth its risk of misestimating.
constexpr double kSplitGain = 64;

// Splits steps [from, to) where two blocks cost less than one, recursively.
void Split(const std::vector<Histogram>& prefix, std::size_t from, std::size_t to,
           std::vector<std::size_t>& ends) {
  const double whole = EstimatedBits(Difference(prefix[to], prefix[from]));
  double best = whole;
  std::size_t at = 0;
  for (std::size_t k = from + 1; k < to; ++k) {
    const double two = EstimatedBits(Difference(prefix[k], prefix[from])) +
                       EstimatedBits(Difference(prefix[to], prefix[k]));
    if (two < best) {
      best = two;
      at = k;
    }
  }
  if (at == 0 || best + kSplitGain >= whole) {
    ends.push_back(to);
    return;
  }
  Split(prefix, from, at, ends);
  Split(prefix, at, to, ends);
}

}  // namespace

const LengthCodes& Lengths() {
  static const LengthCodes codes = MakeLengthCodes();
  return codes;
}

void CodeLengths(std::span<const std::uint32_t> frequencies, int limit,
                 std::span<std::uint8_t> lengths) {
  constexpr int kMaxSymbols = 288;
  std::fill(lengths.begin(), lengths.end(), 0);
  std::array<int, kMaxSymbols> order;
  int m = 0;
  for (std::size_t s = 0; s < frequencies.size(); ++s)
    if (frequencies[s] != 0) order[m++] = static_cast<int>(s);
  if (m < 2) {
    const int a = m == 1 ? order[0] : 0;
    lengths[a] = 1;
    lengths[a == 0 ? 1 : 0] = 1;
    return;
  }
  std::sort(order.begin(), order.begin() + m, [&](int a, int b) {
    return frequencies[a] != frequencies[b] ? frequencies[a] < frequencies[b] : a < b;
  });
  // Package-merge: each level's list merges the leaves with pairs of the level below.
  // Only the leaves' places matter afterwards, as the leaves taken from any list's
  // beginning are always the lightest ones.
  std::array<std::uint64_t, 2 * kMaxSymbols> below{}, level{};
  std::array<std::array<bool, 2 * kMaxSymbols>, kMaxCodeBits> is_leaf{};
  std::array<int, kMaxCodeBits> sizes{};
  for (int j = 0; j < m; ++j) {
    below[j] = frequencies[order[j]];
    is_leaf[0][j] = true;
  }
  sizes[0] = m;
  for (int l = 1; l < limit; ++l) {
    const int packages = sizes[l - 1] / 2;
    int leaf = 0, package = 0, n = 0;
    while (leaf < m || package < packages) {
      const std::uint64_t pw =
          package < packages ? below[2 * package] + below[2 * package + 1] : ~std::uint64_t{0};
      if (leaf < m && frequencies[order[leaf]] <= pw) {
        level[n] = frequencies[order[leaf++]];
        is_leaf[l][n++] = true;
      } else {
        level[n] = pw;
        is_leaf[l][n++] = false;
        ++package;
      }
    }
    sizes[l] = n;
    below = level;
  }
  int take = 2 * m - 2;
  for (int l = limit - 1; l >= 0 && take > 0; --l) {
    int leaves = 0;
    for (int i = 0; i < take; ++i) leaves += is_leaf[l][i];
    for (int j = 0; j < leaves; ++j) ++lengths[order[j]];
    take = 2 * (take - leaves);
  }
}

CodeLengthSet DynamicLengths(const Histogram& histogram) {
  const Histogram h = WithEnd(histogram);
  CodeLengthSet code;
  CodeLengths(h.litlen, kMaxCodeBits, code.litlen);
  CodeLengths(h.dist, kMaxCodeBits, code.dist);
  return code;
}

std::uint64_t DynamicBlockBits(const Histogram& histogram) {
  const CodeLengthSet code = DynamicLengths(histogram);
  return 3 + HeaderBits(PlanHeader(code)) +
         DataBits(WithEnd(histogram), code.litlen.data(), code.dist.data());
}

void WriteBlock(std::span<const Symbol> symbols, std::span<const std::uint8_t> raw, bool final,
                BitWriter& out) {
  Histogram histogram;
  for (const Symbol s : symbols) histogram.Add(s);
  const Histogram with_end = WithEnd(histogram);
  const CodeLengthSet code = DynamicLengths(histogram);
  const HeaderPlan plan = PlanHeader(code);
  const std::uint64_t data_bits = DataBits(with_end, code.litlen.data(), code.dist.data());
  const std::uint64_t dynamic_bits = 3 + HeaderBits(plan) + data_bits;
  const FixedCode& fixed = Fixed();
  const std::uint64_t fixed_bits = 3 + DataBits(with_end, fixed.litlen.data(), fixed.dist.data());
  const std::uint64_t stored_bits = StoredBits(raw.size(), out.BitOffset());

  if (stored_bits < dynamic_bits && stored_bits < fixed_bits) {
    WriteStored(raw, final, out);
  } else if (fixed_bits <= dynamic_bits) {
    out.Put(final ? 1 : 0, 1);
    out.Put(1, 2);
    WriteSymbols(symbols, fixed.litlen.data(), fixed.litlen_codes.data(), fixed.dist.data(),
                 fixed.dist_codes.data(), out);
  } else {
    out.Put(final ? 1 : 0, 1);
    out.Put(2, 2);
    out.Put(static_cast<std::uint32_t>(plan.hlit - 257), 5);
    out.Put(static_cast<std::uint32_t>(plan.hdist - 1), 5);
    out.Put(static_cast<std::uint32_t>(plan.hclen - 4), 4);
    for (int i = 0; i < plan.hclen; ++i) out.Put(plan.lengths[kCodeLengthOrder[i]], 3);
    std::array<std::uint16_t, kCodeLengthSymbols> cl_codes{};
    CanonicalCodes(plan.lengths, cl_codes);
    for (std::size_t i = 0; i < plan.symbols.size(); ++i) {
      const int s = plan.symbols[i];
      out.Put(cl_codes[s], plan.lengths[s]);
      if (s == 16) out.Put(plan.extras[i], 2);
      if (s == 17) out.Put(plan.extras[i], 3);
      if (s == 18) out.Put(plan.extras[i], 7);
    }
    std::array<std::uint16_t, kLitLenSymbols> litlen_codes{};
    std::array<std::uint16_t, kDistSymbols> dist_codes{};
    CanonicalCodes(code.litlen, litlen_codes);
    CanonicalCodes(code.dist, dist_codes);
    WriteSymbols(symbols, code.litlen.data(), litlen_codes.data(), code.dist.data(),
                 dist_codes.data(), out);
  }
}

void WriteBlocks(std::span<const Symbol> symbols, std::span<const std::uint8_t> raw, bool final,
                 BitWriter& out) {
  const std::size_t steps =
      std::max<std::size_t>(1, (symbols.size() + kSplitStep - 1) / kSplitStep);
  std::vector<Histogram> prefix(steps + 1);
  // Where each step starts in the input, to give stored blocks their bytes.
  std::vector<std::size_t> raw_at(steps + 1, 0);
  std::size_t pos = 0;
  for (std::size_t k = 0; k < steps; ++k) {
    prefix[k + 1] = prefix[k];
    raw_at[k] = pos;
    const std::size_t end = std::min(symbols.size(), (k + 1) * kSplitStep);
    for (std::size_t i = k * kSplitStep; i < end; ++i) {
      prefix[k + 1].Add(symbols[i]);
      pos += symbols[i].distance == 0 ? 1 : symbols[i].length_or_literal;
    }
  }
  raw_at[steps] = pos;
  std::vector<std::size_t> ends;
  Split(prefix, 0, steps, ends);
  std::size_t from = 0;
  for (std::size_t e : ends) {
    const std::size_t first = from * kSplitStep, last = std::min(symbols.size(), e * kSplitStep);
    WriteBlock(symbols.subspan(first, last - first),
               raw.subspan(raw_at[from], raw_at[e] - raw_at[from]), final && e == steps, out);
    from = e;
  }
}

}  // namespace pelnoro::encoder::deflate
