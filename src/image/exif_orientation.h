// The orientation a camera records in a JPEG's Exif block, and turning the
// decoded picture upright by it. Decoders hand out the stored pixels as they are.
#pragma once

#include <string_view>

#include "image/surface.h"

namespace pelnoro::image {

// The orientation tag (1 to 8) of the first Exif block of a JPEG file's bytes; 1
// when there is none or the bytes are not sound. Reads only inside the bytes given,
// so a prefix of the file is enough and any file is safe to pass.
int ExifOrientation(std::string_view fileBytes);

// The stored picture turned as an orientation tag says it must be shown:
// 2 mirrored left-right, 3 half turn, 4 mirrored top-bottom, 5 transposed,
// 6 quarter turn clockwise, 7 transposed across the other diagonal, 8 quarter turn
// counter-clockwise. Any other value leaves it as it is.
Surface ApplyOrientation(Surface picture, int orientation);

}  // namespace pelnoro::image
