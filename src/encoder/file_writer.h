// The one writer of whole files: the encoders' files, the program's saves, its settings
// and map documents all go through it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

#include "encoder/error.h"

namespace pelnoro::encoder {

// Writes `bytes` to a temporary file in the target's folder, flushes it to the disk and
// only then puts it in the target's place (write-through on Windows), so a failure
// leaves any existing file as it was and no partial file. A read-only target or a
// folder of that name is never replaced (kCannotReplace); a missing folder is
// kCannotCreateFile, a failed write or flush kWriteFailed.
// The target is named as the system names files (UTF-16 on Windows): building a
// std::filesystem::path there would pull the locale machinery into the exe.
Error WriteFileReplacing(const std::filesystem::path::string_type& target,
                         std::span<const std::uint8_t> bytes);

}  // namespace pelnoro::encoder
