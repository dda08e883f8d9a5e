// The file a link target names: whether it is a picture, and opening it with its own
// program.
#pragma once

#include <string>

#include "system/system.h"

namespace pelnoro::imagemap {

// Transparent pixels of a picture file are laid on white.
inline constexpr std::uint32_t kPictureBackground = 0x00FFFFFF;
inline constexpr int kShowNormal = 1;

// Whether the platform's picture loader reads the file; an empty path counts as
// loadable.
bool IsLoadablePicture(sys::System& sys, const std::wstring& path);

// Opens a path with its associated program; the platform's result.
int ShellOpen(sys::System& sys, const std::wstring& path, int showCommand);

}  // namespace pelnoro::imagemap
