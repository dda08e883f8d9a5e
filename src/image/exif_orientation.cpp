#include "image/exif_orientation.h"

#include <cstddef>
#include <cstdint>

#include "image/transform.h"

namespace pelnoro::image {

namespace {

constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kTypeShort = 3;
constexpr std::uint16_t kTypeLong = 4;

std::uint16_t ReadBe16(std::string_view b, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) << 8 |
                                    static_cast<unsigned char>(b[at + 1]));
}

// A TIFF structure in either byte order; every read is checked against its end.
class TiffReader {
 public:
  explicit TiffReader(std::string_view data) : data_(data) {}

  bool fits(std::size_t at, std::size_t n) const {
    return at <= data_.size() && n <= data_.size() - at;
  }
  std::uint16_t u16(std::size_t at) const {
    const auto a = byte(at), b = byte(at + 1);
    return static_cast<std::uint16_t>(bigEndian_ ? a << 8 | b : b << 8 | a);
  }
  std::uint32_t u32(std::size_t at) const {
    const std::uint32_t hi = u16(at), lo = u16(at + 2);
    return bigEndian_ ? hi << 16 | lo : lo << 16 | hi;
  }

  // Reads the header; false when it is not one.
  bool open() {
    if (!fits(0, 8)) return false;
    if (data_.substr(0, 2) == "MM") {
      bigEndian_ = true;
    } else if (data_.substr(0, 2) != "II") {
      return false;
    }
    return u16(2) == 42;
  }

  // The orientation in the first directory, or 1.
  int orientation() const {
    const std::uint32_t ifd = u32(4);
    if (!fits(ifd, 2)) return 1;
    const std::uint16_t count = u16(ifd);
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::size_t entry = ifd + 2 + std::size_t{12} * i;
      if (!fits(entry, 12)) return 1;
      if (u16(entry) != kOrientationTag) continue;
      const std::uint16_t type = u16(entry + 2);
      if (u32(entry + 4) < 1) return 1;
      // A value that fits in four bytes sits in the entry itself, left-aligned.
      std::uint32_t value = 0;
      if (type == kTypeShort) {
        value = u16(entry + 8);
      } else if (type == kTypeLong) {
        value = u32(entry + 8);
      } else {
        return 1;
      }
      return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
    }
    return 1;
  }

 private:
  unsigned byte(std::size_t at) const { return static_cast<unsigned char>(data_[at]); }
  std::string_view data_;
  bool bigEndian_ = false;
};

}  // namespace

int ExifOrientation(std::string_view b) {
  if (b.size() < 4 || static_cast<unsigned char>(b[0]) != 0xFF ||
      static_cast<unsigned char>(b[1]) != 0xD8) {
    return 1;
  }
  std::size_t at = 2;
  while (at + 1 < b.size()) {
    if (static_cast<unsigned char>(b[at]) != 0xFF) return 1;
    const unsigned marker = static_cast<unsigned char>(b[at + 1]);
    if (marker == 0xFF) {  // fill byte before a marker
      ++at;
      continue;
    }
    // Markers without a length.
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
      at += 2;
      continue;
    }
    // The picture data starts: the metadata blocks all come before it.
    if (marker == 0xD9 || marker == 0xDA) return 1;
    if (at + 4 > b.size()) return 1;
    const std::size_t length = ReadBe16(b, at + 2);
    if (length < 2 || length > b.size() - (at + 2)) return 1;
    const std::string_view body = b.substr(at + 4, length - 2);
    if (marker == 0xE1 && body.size() >= 6 &&
        body.substr(0, 6) == std::string_view("Exif\0\0", 6)) {
      TiffReader tiff(body.substr(6));
      // Only the first Exif block counts; another APP1 (XMP) is skipped.
      return tiff.open() ? tiff.orientation() : 1;
    }
    at += 2 + length;
  }
  return 1;
}

Surface ApplyOrientation(Surface picture, int orientation) {
  switch (orientation) {
    case 2:
      return MirrorLeftRight(picture);
    case 3:
      return RotateHalf(picture);
    case 4:
      return MirrorTopBottom(picture);
    case 5:
      return RotateQuarter(MirrorLeftRight(picture), false);
    case 6:
      return RotateQuarter(picture, true);
    case 7:
      return RotateQuarter(MirrorLeftRight(picture), true);
    case 8:
      return RotateQuarter(picture, false);
    default:
      return picture;
  }
}

}  // namespace pelnoro::image
