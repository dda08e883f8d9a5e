// zlib streams for PNG, made by our own deflate: sizes for comparing choices, and one
// stream compressed in pieces on both cores.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "encoder/deflate.h"
#include "encoder/error.h"

namespace pelnoro::encoder::png {

// Runs every job, on this thread and, when the machine has a second core and `parallel`,
// one more. Jobs must not throw.
void RunJobs(std::span<const std::function<void()>> jobs, bool parallel = true);

// The Adler-32 checksum that ends a zlib stream.
std::uint32_t Adler32(std::span<const std::uint8_t> data);

// Size of `data` deflated with `effort`, for comparing choices; nothing is kept.
Error DeflatedSize(std::span<const std::uint8_t> data, deflate::Effort effort, std::size_t& size);

// Replaces `out` with a zlib stream of `data`. With `pieces` > 1 the data is cut into that
// many pieces compressed at the same time; each has the 32 KiB before it as history, so
// matches still reach across the cuts, and their bits are joined with no padding, so the
// stream costs only a few bytes more than one made in a single run. The pieces depend on
// the data's size alone, never on the number of cores. `level_field` goes into the header:
// 0 fastest, 1 fast, 2 default, 3 maximum compression.
Error ZlibCompress(std::span<const std::uint8_t> data, deflate::Effort effort, int pieces,
                   int level_field, std::vector<std::uint8_t>& out);

}  // namespace pelnoro::encoder::png
