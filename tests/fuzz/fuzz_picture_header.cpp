// libFuzzer target: a picture file's bytes as any bytes, read as the picture loader reads
// them before and after its decoder. Nothing may read outside the bytes, a verdict must
// agree with the sizes it reports, and the decoded frame is placed only inside the
// screen the file declares.
//
// Byte 0: the largest side allowed, 1 to 256. The rest: the file.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "image/picture_header.h"
#include "wide_input.h"

using namespace pelnoro;
using image::HeaderCheck;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int maxSide = 1 + data[0];
  const std::string_view file(reinterpret_cast<const char*>(data) + 1, size - 1);
  const HeaderCheck check = image::CheckPictureHeader(file, maxSide);
  PELNORO_FUZZ_CHECK(check.format == image::IdentifyPicture(file));
  switch (check.verdict) {
    case HeaderCheck::Verdict::kNotPicture:
      PELNORO_FUZZ_CHECK(check.format == image::PictureFormat::kUnknown ||
                         (check.format == image::PictureFormat::kPng && !image::PngIsWhole(file)));
      return 0;
    case HeaderCheck::Verdict::kTooLarge:
      PELNORO_FUZZ_CHECK(check.width >= 0 && check.height >= 0);
      PELNORO_FUZZ_CHECK(check.width > maxSide || check.height > maxSide);
      return 0;
    case HeaderCheck::Verdict::kDecodable:
      break;
  }
  // What a decoder might hand back: a frame of any size up to the limit.
  const int w = 1 + (size * 7) % maxSide, h = 1 + (size * 13) % maxSide;
  const image::Surface shown =
      image::AsTheFileShowsIt(image::Surface(w, h, 0x00123456), check.format, file, 0x00FFFFFF);
  PELNORO_FUZZ_CHECK(!shown.empty());
  if (check.format == image::PictureFormat::kGif) {
    // Placed on a screen the header allowed.
    PELNORO_FUZZ_CHECK(shown.width() <= maxSide && shown.height() <= maxSide);
  } else if (check.format != image::PictureFormat::kJpeg) {
    PELNORO_FUZZ_CHECK(shown.width() == w && shown.height() == h);
  } else {
    // A JPEG is only ever turned.
    PELNORO_FUZZ_CHECK((shown.width() == w && shown.height() == h) ||
                       (shown.width() == h && shown.height() == w));
  }
  return 0;
}
