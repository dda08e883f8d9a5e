// Checks on a picture file's bytes before a decoder sees them.
#pragma once

#include <string_view>

namespace pelnoro::image {

// Whether a PNG file is whole: its chunks follow each other to an IEND chunk within
// the file. A decoder may show a file cut short as a picture with its lower part
// missing; such a file is damaged, not a picture.
bool PngIsWhole(std::string_view file);

}  // namespace pelnoro::image
