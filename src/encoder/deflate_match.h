// Turning bytes into deflate symbols, four ways from quick to thorough:
// - runs: repeats of the previous byte only;
// - greedy: one hash probe a position, the first match taken;
// - lazy: hash chains, a match kept only when the next position has no longer one;
// - optimal: every useful match from a binary tree, then the cheapest path through them
//   under a cost model taken from the previous pass's Huffman codes, a few passes over.
// Each parser keeps its history across calls, so consecutive ranges of one buffer refer
// back into each other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "encoder/deflate_blocks.h"

namespace pelnoro::encoder::deflate {

// Positions are offsets into one buffer `base`, which holds at most 2^31 bytes.
class RunParser {
 public:
  void Prime(const std::uint8_t*, std::size_t, std::size_t) {}
  void Parse(const std::uint8_t* base, std::size_t from, std::size_t to, std::vector<Symbol>& out);
};

class GreedyParser {
 public:
  GreedyParser();
  // Lets matches refer to base[from, to) without coding it.
  void Prime(const std::uint8_t* base, std::size_t from, std::size_t to);
  // Appends symbols for base[from, to); matches end by `to`.
  void Parse(const std::uint8_t* base, std::size_t from, std::size_t to, std::vector<Symbol>& out);

 private:
  std::vector<std::uint32_t> table_;
};

class LazyParser {
 public:
  LazyParser(int max_chain, int nice_length, int shortest);
  void Prime(const std::uint8_t* base, std::size_t from, std::size_t to);
  void Parse(const std::uint8_t* base, std::size_t from, std::size_t to, std::vector<Symbol>& out);

 private:
  std::uint32_t Hash(const std::uint8_t* p) const;
  // Needs four bytes at `pos`.
  void Insert(const std::uint8_t* base, std::size_t pos);
  // Longest match at `pos` no longer than `limit`, at least `better_than` + 1 long.
  int Longest(const std::uint8_t* base, std::size_t pos, int limit, int better_than,
              int& distance) const;

  int max_chain_;
  int nice_;
  int shortest_;
  std::vector<std::uint32_t> head_;
  std::vector<std::uint32_t> prev_;
};

struct OptimalSettings {
  int max_depth;   // tree nodes visited a position
  int passes;      // parses, each with costs from the one before
  int skip_after;  // a match this long is taken as found: the positions it covers offer
                   // no matches of their own
};

class OptimalParser {
 public:
  explicit OptimalParser(OptimalSettings settings);
  void Prime(const std::uint8_t* base, std::size_t from, std::size_t to);
  void Parse(const std::uint8_t* base, std::size_t from, std::size_t to, std::vector<Symbol>& out);

 private:
  struct Found {
    std::uint16_t length;
    std::uint16_t distance;
  };
  // Records in `found` (room for 32) the matches at `pos` of rising length (each the nearest
  // the tree gives for its length) and returns how many; `record` false only inserts. Needs
  // kMaxMatch bytes from `pos` on.
  int Search(const std::uint8_t* base, std::size_t pos, bool record, Found* found);
  // Without the tree, for the last positions before `to`, where its comparisons would be cut.
  int SearchNearEnd(const std::uint8_t* base, std::size_t pos, std::size_t to, Found* found) const;

  OptimalSettings settings_;
  std::vector<std::uint32_t> head_;
  std::vector<std::uint32_t> children_;
  // Per parse: the matches of each position and the path search's tables.
  std::vector<Found> found_;
  std::vector<std::uint32_t> found_at_;
  std::vector<std::uint32_t> cost_;
  std::vector<Found> step_;
};

}  // namespace pelnoro::encoder::deflate
