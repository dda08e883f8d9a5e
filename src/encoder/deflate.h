// Our own deflate compressor (RFC 1951): raw deflate blocks from bytes, at three efforts.
// Output depends on the input and the effort alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "encoder/deflate_bits.h"

namespace pelnoro::encoder::deflate {

enum class Effort {
  kRuns,      // repeats of the byte before only: for noise-like data such as photographs'
              // filtered rows, where far matches cost more than they save
  kGreedy,    // one hash probe a position; blocks of a fixed size
  kLazy,      // hash chains with lazy matching; blocks split by their statistics
  kLazyLong,  // the same with matches of six bytes or more: for filtered rows with some
              // noise, whose short repeats are chance and cost more than their literals
  kLazyDeep,  // lazy matching with a long search, for small inputs
  kOptimal,   // the cheapest parse under iterated cost models; blocks split likewise
};

// Appends to `out` the deflate blocks of data[start, end), where the bytes of data before
// `start` (the last 32 KiB of them) are history that matches may refer to. The last
// block is marked final when `final`.
void Compress(std::span<const std::uint8_t> data, std::size_t start, Effort effort, bool final,
              BitStream& out);

}  // namespace pelnoro::encoder::deflate
