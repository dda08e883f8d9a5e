// Writes the cut image as a JPEG, PNG or BMP file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "image/surface.h"
#include "output/save_target.h"
#include "program/settings.h"
#include "system/system.h"

namespace pelnoro::output {

// One save of the cut: the file, its format and the encoder's options.
struct SaveRequest {
  std::wstring path;
  ImageFormat format = ImageFormat::kBmp;
  int quality = 50;          // JPEG, 0..255
  bool progressive = false;  // JPEG
  int pngLevel = 0;          // PNG: 0 normal, 1 low, 2 highest compression
};

// How a save ended.
struct SaveOutcome {
  bool written = false;
  // The JPEG and PNG encoders' code (0 = written); a bitmap save hands back none.
  std::optional<std::int16_t> encoderCode;
};

// The request for saving to `path` in the format ext names (".JPG", ".PNG" or ".BMP",
// compared exactly), with the settings' quality and PNG level. Nothing for any other
// ext, and nothing for a JPEG whose quality caption is no whole number 0..255, which
// has been reported to the user.
std::optional<SaveRequest> SaveRequestFor(sys::System& sys, const std::wstring& ext,
                                          std::wstring path, const program::Settings& settings,
                                          bool progressive);

// Encodes the picture's own pixels as asked and writes them in one piece; a failure
// has been reported to the user.
SaveOutcome WriteCutImage(sys::System& sys, const image::Surface& picture,
                          const SaveRequest& request);

// The quality a JPEG is written at: the caption as a whole number 0..255 (leading
// blanks allowed); nothing for any other text.
std::optional<int> JpegQualityOf(const std::wstring& caption);

// The message of a failed write.
std::wstring WriteErrorText(long code);

}  // namespace pelnoro::output
