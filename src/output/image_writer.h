// Writes the cut image as a JPEG, PNG or BMP file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "image/surface.h"
#include "program/app_state.h"
#include "program/settings.h"
#include "system/system.h"

namespace pelnoro::output {

// ext ".JPG", ".PNG" or ".BMP", compared exactly; any other writes nothing. The file
// is the settings' save folder + SaveFileName. result receives the JPEG and PNG
// encoders' code (0 = written). Returns whether a file was written; every failure has
// been reported to the user.
bool WriteCutImage(sys::System& sys, const image::Surface& picture, const std::wstring& ext,
                   const program::Settings& settings, program::AppState& state,
                   std::int16_t& result);

// The quality a JPEG is written at: the caption as a whole number 0..255 (leading
// blanks allowed); nothing for any other text.
std::optional<int> JpegQualityOf(const std::wstring& caption);

// The message of a failed write.
std::wstring WriteErrorText(long code);

}  // namespace pelnoro::output
