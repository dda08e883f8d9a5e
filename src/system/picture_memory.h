// Whether a picture of a given size fits in the memory the system has free, weighed
// before it is decoded.
#pragma once

#include <cstdint>
#include <optional>

#include "system/system.h"

namespace pelnoro::sys {

// What a picture of width x height pixels takes once opened: its three 32-bit images
// (edit, work and undo) and one more of the same size to work in (the screen's copy,
// the decoder's output, an encoder's rows).
std::uint64_t PictureMemoryNeed(long long width, long long height);

// The refusal, with the sizes in its message, when that need exceeds `available`
// bytes; nothing when it fits.
std::optional<PictureLoad> RefusedForMemory(long long width, long long height,
                                            std::uint64_t available);

}  // namespace pelnoro::sys
