#include "encoder/deflate.h"

#include <algorithm>
#include <vector>

#include "encoder/deflate_blocks.h"
#include "encoder/deflate_match.h"

namespace pelnoro::encoder::deflate {
namespace {

constexpr std::size_t kHistory = 32768;
// Parsers count positions in 32 bits: longer inputs are taken in spans of this size.
constexpr std::size_t kSpan = std::size_t{1} << 30;
// Input parsed at a time: bounds the symbols held, and gives each optimal parse a cost
// model of its own part of the picture.
constexpr std::size_t kSegment[] = {1 << 20, 1 << 20, 1 << 20, 1 << 20, 1 << 20, 1 << 18};
constexpr int kLongMatch = 6;
// Greedy blocks end after this many symbols, without weighing where.
constexpr std::size_t kGreedyBlockSymbols = 1 << 15;

void WriteEvenBlocks(std::span<const Symbol> symbols, std::span<const std::uint8_t> raw, bool final,
                     BitWriter& out) {
  std::size_t first = 0, raw_from = 0;
  do {
    const std::size_t last = std::min(symbols.size(), first + kGreedyBlockSymbols);
    std::size_t raw_to = raw_from;
    for (std::size_t i = first; i < last; ++i)
      raw_to += symbols[i].distance == 0 ? 1 : symbols[i].length_or_literal;
    WriteBlock(symbols.subspan(first, last - first), raw.subspan(raw_from, raw_to - raw_from),
               final && last == symbols.size(), out);
    first = last;
    raw_from = raw_to;
  } while (first < symbols.size());
}

template <typename Parser>
void CompressSpan(Parser& parser, Effort effort, const std::uint8_t* base, std::size_t from,
                  std::size_t to, bool final, BitWriter& out) {
  parser.Prime(base, 0, from);
  std::vector<Symbol> symbols;
  const std::size_t segment = kSegment[static_cast<int>(effort)];
  // No more symbols than bytes: one allocation, not a series of growing ones.
  symbols.reserve(std::min(segment, to - from));
  for (std::size_t s = from; s < to; s += segment) {
    const std::size_t e = std::min(to, s + segment);
    symbols.clear();
    parser.Parse(base, s, e, symbols);
    const std::span<const std::uint8_t> raw(base + s, e - s);
    if (effort == Effort::kGreedy || effort == Effort::kRuns)
      WriteEvenBlocks(symbols, raw, final && e == to, out);
    else
      WriteBlocks(symbols, raw, final && e == to, out);
  }
}

}  // namespace

void Compress(std::span<const std::uint8_t> data, std::size_t start, Effort effort, bool final,
              BitStream& out) {
  BitWriter writer(out);
  if (start >= data.size() && final) WriteBlock({}, {}, true, writer);
  for (std::size_t pos = start; pos < data.size();) {
    const std::size_t origin = pos - std::min(pos, kHistory);
    const std::size_t end = std::min(data.size(), pos + kSpan);
    const std::uint8_t* base = data.data() + origin;
    const bool last = final && end == data.size();
    switch (effort) {
      case Effort::kRuns: {
        RunParser parser;
        CompressSpan(parser, effort, base, pos - origin, end - origin, last, writer);
        break;
      }
      case Effort::kGreedy: {
        GreedyParser parser;
        CompressSpan(parser, effort, base, pos - origin, end - origin, last, writer);
        break;
      }
      case Effort::kLazy:
      case Effort::kLazyLong:
      case Effort::kLazyDeep: {
        // Chance repeats in noise make long chains; long matches are found early.
        LazyParser parser = effort == Effort::kLazyDeep   ? LazyParser(256, kMaxMatch, kMinMatch)
                            : effort == Effort::kLazyLong ? LazyParser(8, 128, kLongMatch)
                                                          : LazyParser(32, 128, kMinMatch);
        CompressSpan(parser, effort, base, pos - origin, end - origin, last, writer);
        break;
      }
      default: {
        OptimalParser parser({128, 3, 192});
        CompressSpan(parser, effort, base, pos - origin, end - origin, last, writer);
        break;
      }
    }
    pos = end;
  }
  writer.Finish();
}

}  // namespace pelnoro::encoder::deflate
