// What a picture file's bytes say before and after a decoder reads them: the format, a
// PNG cut short, sizes too large to decode, and how the decoded frame is meant to be
// shown. The bytes are untrusted: everything reads only inside them, so any file, or
// a prefix of one, is safe to pass.
#pragma once

#include <cstdint>
#include <string_view>

#include "image/surface.h"

namespace pelnoro::image {

enum class PictureFormat { kUnknown, kBmp, kPng, kJpeg, kGif, kTiff, kIco };

// By the file's signature; eight bytes are enough.
PictureFormat IdentifyPicture(std::string_view file);

// Whether a PNG file is whole: its chunks follow each other to an IEND chunk within
// the file. A decoder may show a file cut short as a picture with its lower part
// missing; such a file is damaged, not a picture.
bool PngIsWhole(std::string_view file);

struct HeaderCheck {
  enum class Verdict { kDecodable, kNotPicture, kTooLarge };
  PictureFormat format = PictureFormat::kUnknown;
  Verdict verdict = Verdict::kNotPicture;
  // For kTooLarge: the first size the headers declare that is wider or higher than
  // the side allowed. For kDecodable: the largest they declare (a GIF's screen or
  // frame, an icon's image), 0 x 0 where they declare none before the pixels (TIFF).
  long long width = 0, height = 0;
};

// Whether a decoder may be given the file: a format we read, a PNG that is whole, and
// no picture, frame or icon image declared wider or higher than maxSide. Some decoders
// (Wine's PNG, JPEG and GIF ones, and its icon frames) decode the whole picture as
// soon as they open it, so their own size would come too late. TIFF and BMP decoders
// read pixels only when asked; their frame size is checked before that.
HeaderCheck CheckPictureHeader(std::string_view file, int maxSide);

// The decoded frame as the file means it to be shown: a GIF's first frame on its
// logical screen (the rest of the screen `background`, as a transparent pixel), a JPEG
// turned upright by its Exif orientation; other formats as they are.
Surface AsTheFileShowsIt(Surface decoded, PictureFormat format, std::string_view file,
                         std::uint32_t background);

}  // namespace pelnoro::image
