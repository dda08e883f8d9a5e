#include "encoder/deflate_match.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace pelnoro::encoder::deflate {
namespace {

static_assert(std::endian::native == std::endian::little, "match lengths count from the low byte");

// One short of deflate's window: history slots are reused every 32768 positions.
constexpr std::uint32_t kMaxDist = kMaxDistance - 1;
constexpr std::uint32_t kSlots = 32768;
// Positions are kept with this added, so that the tables' initial zeros lie out of reach.
constexpr std::uint32_t kBias = 65536;

inline std::uint32_t Load32(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
inline std::uint64_t Load64(const std::uint8_t* p) {
  std::uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}

// Bytes a and b have in common from the start, at most `limit`.
inline int MatchLength(const std::uint8_t* a, const std::uint8_t* b, int limit) {
  int n = 0;
  while (n + 8 <= limit) {
    const std::uint64_t x = Load64(a + n) ^ Load64(b + n);
    if (x != 0) return n + std::countr_zero(x) / 8;
    n += 8;
  }
  while (n < limit && a[n] == b[n]) ++n;
  return n;
}

constexpr int kGreedyHashBits = 15;
constexpr std::size_t kMissesPerStep = 32;
inline std::uint32_t Hash4(std::uint32_t v) {
  return (v * 2654435761u) >> (32 - kGreedyHashBits);
}

constexpr int kChainHashBits = 15;
// A three-byte match this far back costs about as much as its literals.
constexpr std::uint32_t kFarForThree = 4096;
constexpr int kTreeHashBits = 16;
// Matches kept a position: bounds the memory a parse holds, whatever the data.
constexpr int kMaxFound = 32;
template <int kBits>
inline std::uint32_t Hash3(const std::uint8_t* p) {
  const std::uint32_t v = static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                          static_cast<std::uint32_t>(p[2]) << 16;
  return (v * 2654435761u) >> (32 - kBits);
}

inline std::uint32_t Pos(std::size_t pos) {
  return static_cast<std::uint32_t>(pos) + kBias;
}

}  // namespace

void RunParser::Parse(const std::uint8_t* base, std::size_t from, std::size_t to,
                      std::vector<Symbol>& out) {
  std::size_t p = from;
  // The first byte has a byte before it only after some history.
  if (p == 0 && p < to) out.push_back(Literal(base[p++]));
  while (p < to) {
    const int limit = static_cast<int>(std::min<std::size_t>(kMaxMatch, to - p));
    const int length = MatchLength(base + p, base + p - 1, limit);
    if (length >= kMinMatch) {
      out.push_back(Match(length, 1));
      p += static_cast<std::size_t>(length);
    } else {
      out.push_back(Literal(base[p++]));
    }
  }
}

GreedyParser::GreedyParser() : table_(std::size_t{1} << kGreedyHashBits, 0) {}

void GreedyParser::Prime(const std::uint8_t* base, std::size_t from, std::size_t to) {
  for (std::size_t p = from; p + 4 <= to; ++p) table_[Hash4(Load32(base + p))] = Pos(p);
}

void GreedyParser::Parse(const std::uint8_t* base, std::size_t from, std::size_t to,
                         std::vector<Symbol>& out) {
  std::size_t p = from;
  // Where nothing has matched for a while (noise), positions are probed ever more
  // sparsely; the bytes between are literals all the same.
  std::size_t misses = 0;
  while (p + 4 <= to) {
    const std::uint32_t v = Load32(base + p);
    std::uint32_t& slot = table_[Hash4(v)];
    const std::uint32_t distance = Pos(p) - slot;
    const std::size_t candidate = slot - kBias;
    slot = Pos(p);
    if (distance > kMaxDist || Load32(base + candidate) != v) {
      const std::size_t step = std::min<std::size_t>(1 + misses++ / kMissesPerStep, to - 3 - p);
      for (std::size_t i = 0; i < step; ++i) out.push_back(Literal(base[p++]));
      continue;
    }
    misses = 0;
    const int limit = static_cast<int>(std::min<std::size_t>(kMaxMatch, to - p));
    const int length = 4 + MatchLength(base + p + 4, base + candidate + 4, limit - 4);
    out.push_back(Match(length, static_cast<int>(distance)));
    // The match's last positions start repeats of what follows it.
    const std::size_t end = p + static_cast<std::size_t>(length);
    if (end + 2 <= to && length > 4) table_[Hash4(Load32(base + end - 2))] = Pos(end - 2);
    p = end;
  }
  for (; p < to; ++p) out.push_back(Literal(base[p]));
}

LazyParser::LazyParser(int max_chain, int nice_length, int shortest)
    : max_chain_(max_chain),
      nice_(nice_length),
      shortest_(shortest),
      head_(std::size_t{1} << kChainHashBits, 0),
      prev_(kSlots, 0) {}

std::uint32_t LazyParser::Hash(const std::uint8_t* p) const {
  // Matches of four bytes or more need only chains of positions that share four.
  return shortest_ >= 4 ? Hash4(Load32(p)) : Hash3<kChainHashBits>(p);
}

void LazyParser::Insert(const std::uint8_t* base, std::size_t pos) {
  std::uint32_t& head = head_[Hash(base + pos)];
  prev_[pos & (kSlots - 1)] = head;
  head = Pos(pos);
}

void LazyParser::Prime(const std::uint8_t* base, std::size_t from, std::size_t to) {
  for (std::size_t p = from; p + 4 <= to; ++p) Insert(base, p);
}

int LazyParser::Longest(const std::uint8_t* base, std::size_t pos, int limit, int better_than,
                        int& distance) const {
  int best = better_than;
  if (best >= limit) return 0;
  std::uint32_t node = head_[Hash(base + pos)];
  const std::uint8_t* here = base + pos;
  for (int chain = max_chain_; chain > 0; --chain) {
    const std::uint32_t d = Pos(pos) - node;
    if (d > kMaxDist) break;
    const std::uint8_t* there = here - d;
    // The byte that would make it longer decides most candidates at once.
    if (there[best] == here[best] && there[0] == here[0] && there[1] == here[1]) {
      const int length = MatchLength(here, there, limit);
      if (length > best && (length > kMinMatch || d <= kFarForThree)) {
        best = length;
        distance = static_cast<int>(d);
        if (length >= nice_ || length >= limit) break;
      }
    }
    node = prev_[(node - kBias) & (kSlots - 1)];
  }
  return best > better_than ? best : 0;
}

void LazyParser::Parse(const std::uint8_t* base, std::size_t from, std::size_t to,
                       std::vector<Symbol>& out) {
  // A position's match is held back while the next position is tried.
  bool pending = false;
  int pending_length = 0, pending_distance = 0;
  std::size_t p = from;
  while (p < to) {
    const int limit = static_cast<int>(std::min<std::size_t>(kMaxMatch, to - p));
    int length = 0, distance = 0;
    if (limit >= 4) {
      if (!pending || pending_length < nice_)
        length = Longest(base, p, limit, std::max(pending ? pending_length : 0, shortest_ - 1),
                         distance);
      Insert(base, p);
    }
    if (pending && pending_length >= kMinMatch && length <= pending_length) {
      out.push_back(Match(pending_length, pending_distance));
      const std::size_t end = p - 1 + static_cast<std::size_t>(pending_length);
      for (std::size_t q = p + 1; q < end && q + 4 <= to; ++q) Insert(base, q);
      p = end;
      pending = false;
      continue;
    }
    if (pending) out.push_back(Literal(base[p - 1]));
    pending = true;
    pending_length = length;
    pending_distance = distance;
    ++p;
  }
  if (pending) out.push_back(Literal(base[to - 1]));
}

OptimalParser::OptimalParser(OptimalSettings settings)
    : settings_(settings),
      head_(std::size_t{1} << kTreeHashBits, 0),
      children_(2 * static_cast<std::size_t>(kSlots), 0) {}

void OptimalParser::Prime(const std::uint8_t* base, std::size_t from, std::size_t to) {
  Found unused[kMaxFound];
  for (std::size_t p = from; p + kMaxMatch <= to; ++p) Search(base, p, false, unused);
}

// A binary tree of the earlier positions with the same hash, ordered by the bytes that
// follow them. Walking it from the root to where the new position belongs passes the
// positions whose strings are nearest to it; the new position becomes the root. Every
// comparison runs to kMaxMatch bytes at most, and positions are only inserted while that
// many bytes follow, so the shared prefix the walk carries along stays true.
int OptimalParser::Search(const std::uint8_t* base, std::size_t pos, bool record, Found* found) {
  std::uint32_t& head = head_[Hash3<kTreeHashBits>(base + pos)];
  std::uint32_t node = head;
  head = Pos(pos);
  std::uint32_t* lesser = &children_[2 * (pos & (kSlots - 1))];
  std::uint32_t* greater = lesser + 1;
  int lesser_length = 0, greater_length = 0, best = kMinMatch - 1, n = 0;
  const std::uint8_t* here = base + pos;
  for (int depth = settings_.max_depth;; --depth) {
    const std::uint32_t d = Pos(pos) - node;
    if (d > kMaxDist || depth == 0) {
      *lesser = *greater = 0;
      return n;
    }
    const std::uint8_t* there = here - d;
    int length = std::min(lesser_length, greater_length);
    length += MatchLength(here + length, there + length, kMaxMatch - length);
    if (record && length > best) {
      best = length;
      // Past the limit the longest takes the last place: a shorter length can use a
      // longer match's distance, so only some cheaper distances are lost.
      n = std::min(n, kMaxFound - 1);
      found[n++] = {static_cast<std::uint16_t>(length), static_cast<std::uint16_t>(d)};
    }
    std::uint32_t* pair = &children_[2 * ((node - kBias) & (kSlots - 1))];
    if (length == kMaxMatch) {
      // The same string: the new position takes the old one's place.
      *lesser = pair[0];
      *greater = pair[1];
      return n;
    }
    if (there[length] < here[length]) {
      *lesser = node;
      lesser = pair + 1;
      lesser_length = length;
      node = *lesser;
    } else {
      *greater = node;
      greater = pair;
      greater_length = length;
      node = *greater;
    }
  }
}

int OptimalParser::SearchNearEnd(const std::uint8_t* base, std::size_t pos, std::size_t to,
                                 Found* found) const {
  const int limit = static_cast<int>(to - pos);
  if (limit < kMinMatch) return 0;
  std::uint32_t node = head_[Hash3<kTreeHashBits>(base + pos)];
  const std::uint8_t* here = base + pos;
  int best = kMinMatch - 1, n = 0;
  for (int depth = settings_.max_depth; depth > 0; --depth) {
    const std::uint32_t d = Pos(pos) - node;
    if (d > kMaxDist) break;
    const std::uint8_t* there = here - d;
    const int length = MatchLength(here, there, limit);
    if (length > best) {
      best = length;
      n = std::min(n, kMaxFound - 1);
      found[n++] = {static_cast<std::uint16_t>(length), static_cast<std::uint16_t>(d)};
    }
    if (length == limit) break;
    const std::uint32_t* pair = &children_[2 * ((node - kBias) & (kSlots - 1))];
    node = there[length] < here[length] ? pair[1] : pair[0];
  }
  return n;
}

namespace {

// Bits each choice costs under a set of code lengths; a symbol the codes lack costs more
// than any they have, so that a pass tries it only where it pays well.
struct Costs {
  std::uint32_t literal[256];
  std::uint32_t length[kMaxMatch + 1];
  std::uint32_t distance_symbol[kDistSymbols];

  std::uint32_t Distance(int distance) const { return distance_symbol[DistanceSymbol(distance)]; }
};

Costs CostsOf(const Histogram& histogram) {
  const CodeLengthSet code = DynamicLengths(histogram);
  const auto missing = [](const auto& lengths) {
    return static_cast<std::uint32_t>(*std::max_element(lengths.begin(), lengths.end())) + 1;
  };
  const std::uint32_t no_litlen = missing(code.litlen), no_dist = missing(code.dist);
  Costs c;
  for (int b = 0; b < 256; ++b) c.literal[b] = code.litlen[b] ? code.litlen[b] : no_litlen;
  const LengthCodes& lengths = Lengths();
  for (int l = kMinMatch; l <= kMaxMatch; ++l) {
    const int s = lengths.symbol[l];
    c.length[l] = (code.litlen[s] ? code.litlen[s] : no_litlen) + lengths.extra_bits[l];
  }
  for (int s = 0; s < kDistSymbols; ++s)
    c.distance_symbol[s] = (code.dist[s] ? code.dist[s] : no_dist) + DistanceExtraBits(s);
  return c;
}

}  // namespace

void OptimalParser::Parse(const std::uint8_t* base, std::size_t from, std::size_t to,
                          std::vector<Symbol>& out) {
  const std::size_t n = to - from;
  found_.clear();
  found_at_.resize(n + 1);
  Found buffer[kMaxFound];
  for (std::size_t i = 0; i < n;) {
    const std::size_t pos = from + i;
    found_at_[i] = static_cast<std::uint32_t>(found_.size());
    const int k = pos + kMaxMatch <= to ? Search(base, pos, true, buffer)
                                        : SearchNearEnd(base, pos, to, buffer);
    found_.insert(found_.end(), buffer, buffer + k);
    if (k > 0 && buffer[k - 1].length >= settings_.skip_after) {
      // Still inserted: later repeats of this stretch need its every position.
      const std::size_t covered = buffer[k - 1].length;
      for (std::size_t j = 1; j < covered; ++j) {
        found_at_[i + j] = static_cast<std::uint32_t>(found_.size());
        if (pos + j + kMaxMatch <= to) Search(base, pos + j, false, buffer);
      }
      i += covered;
      continue;
    }
    ++i;
  }
  found_at_[n] = static_cast<std::uint32_t>(found_.size());

  // The first cost model: literals as the bytes' own frequencies make them, every length
  // and distance as dear as the rarest literal. Far from the final codes, but it lets
  // matches in only where they clearly pay, which suits noise-like data as well as
  // screens, whose long matches pay anyway.
  Histogram histogram;
  for (std::size_t i = 0; i < n; ++i) histogram.Add(Literal(base[from + i]));

  cost_.resize(n + 1);
  step_.resize(n + 1);
  std::vector<Symbol> path, best_path;
  std::uint64_t best_bits = std::numeric_limits<std::uint64_t>::max();
  for (int pass = 0; pass < settings_.passes; ++pass) {
    const Costs costs = CostsOf(histogram);
    std::fill(cost_.begin() + 1, cost_.end(), std::numeric_limits<std::uint32_t>::max());
    cost_[0] = 0;
    for (std::size_t i = 0; i < n; ++i) {
      const std::uint32_t c = cost_[i];
      const std::uint32_t literal = c + costs.literal[base[from + i]];
      if (literal < cost_[i + 1]) {
        cost_[i + 1] = literal;
        step_[i + 1] = {1, 0};
      }
      const std::size_t room = n - i;
      int length = kMinMatch;
      for (std::uint32_t m = found_at_[i]; m < found_at_[i + 1]; ++m) {
        const int longest = static_cast<int>(std::min<std::size_t>(found_[m].length, room));
        const std::uint32_t base_cost = c + costs.Distance(found_[m].distance);
        for (; length <= longest; ++length) {
          const std::uint32_t total = base_cost + costs.length[length];
          if (total < cost_[i + length]) {
            cost_[i + length] = total;
            step_[i + length] = {static_cast<std::uint16_t>(length), found_[m].distance};
          }
        }
      }
    }
    path.clear();
    for (std::size_t i = n; i > 0;) {
      const Found s = step_[i];
      if (s.distance == 0) {
        path.push_back(Literal(base[from + i - 1]));
        i -= 1;
      } else {
        path.push_back(Match(s.length, s.distance));
        i -= s.length;
      }
    }
    std::reverse(path.begin(), path.end());
    histogram = Histogram{};
    for (const Symbol s : path) histogram.Add(s);
    const std::uint64_t bits = DynamicBlockBits(histogram);
    if (bits < best_bits) {
      best_bits = bits;
      best_path.swap(path);
    }
  }
  out.insert(out.end(), best_path.begin(), best_path.end());
}

}  // namespace pelnoro::encoder::deflate
