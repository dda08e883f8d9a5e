// zlib streams for PNG: sizes for comparing choices, and one stream compressed in pieces
// on both cores.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "encoder/error.h"

namespace pelnoro::encoder::png {

struct DeflateSettings {
  int level;     // 1..9
  int strategy;  // Z_DEFAULT_STRATEGY, Z_FILTERED, Z_RLE ...
};

// Runs every job, on this thread and, when the machine has a second core, one more.
// Jobs must not throw.
void RunJobs(std::span<const std::function<void()>> jobs);

// Size of `data` deflated with `settings`, for comparing choices; nothing is kept.
Error DeflatedSize(std::span<const std::uint8_t> data, DeflateSettings settings, std::size_t& size);

// Replaces `out` with a zlib stream of `data`. With `pieces` > 1 the data is cut into that
// many pieces compressed at the same time; each starts with the 32 KiB before it as its
// dictionary, so matches still reach across the cuts and the stream costs only a few
// bytes more than one made in a single run.
Error ZlibCompress(std::span<const std::uint8_t> data, DeflateSettings settings, int pieces,
                   std::vector<std::uint8_t>& out);

}  // namespace pelnoro::encoder::png
