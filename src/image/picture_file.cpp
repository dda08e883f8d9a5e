#include "image/picture_file.h"

#include <cstdint>

namespace pelnoro::image {

bool PngIsWhole(std::string_view file) {
  constexpr std::string_view kSignature("\x89PNG\r\n\x1a\n", 8);
  if (file.substr(0, kSignature.size()) != kSignature) return false;
  std::uint64_t at = kSignature.size();
  while (at + 8 <= file.size()) {
    std::uint64_t length = 0;
    for (int i = 0; i < 4; ++i) length = length << 8 | static_cast<unsigned char>(file[at + i]);
    const std::string_view type = file.substr(at + 4, 4);
    const std::uint64_t end = at + 8 + length + 4;  // data and CRC
    if (end > file.size()) return false;
    if (type == "IEND") return true;
    at = end;
  }
  return false;
}

}  // namespace pelnoro::image
