// The Exif orientation of JPEG bytes, hostile ones included, and turning a
// picture upright by it.
#include "image/exif_orientation.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pelnoro::image {
namespace {

std::string U16(bool be, unsigned v) {
  const char hi = static_cast<char>(v >> 8 & 0xFF), lo = static_cast<char>(v & 0xFF);
  return be ? std::string{hi, lo} : std::string{lo, hi};
}
std::string U32(bool be, std::uint32_t v) {
  return be ? U16(be, v >> 16) + U16(be, v & 0xFFFF) : U16(be, v & 0xFFFF) + U16(be, v >> 16);
}

struct Entry {
  unsigned tag, type;
  std::uint32_t count;
  std::string value;  // four bytes
};

// A TIFF block with one directory at `ifd` (8 when it follows the header).
std::string Tiff(bool be, const std::vector<Entry>& entries, std::uint32_t ifd = 8,
                 unsigned count = 0xFFFFFFFF) {
  std::string t = (be ? "MM" : "II") + U16(be, 42) + U32(be, ifd);
  t += U16(be, count == 0xFFFFFFFF ? static_cast<unsigned>(entries.size()) : count);
  for (const auto& e : entries) t += U16(be, e.tag) + U16(be, e.type) + U32(be, e.count) + e.value;
  return t + U32(be, 0);
}

// A camera's directory: the make first, then the orientation as a SHORT.
std::string CameraTiff(bool be, unsigned orientation) {
  return Tiff(be, {{0x010F, 2, 4, std::string("Cam\0", 4)},
                   {0x0112, 3, 1, U16(be, orientation) + U16(be, 0)}});
}

std::string Segment(unsigned marker, const std::string& body) {
  return std::string{'\xFF', static_cast<char>(marker)} +
         U16(true, static_cast<unsigned>(body.size() + 2)) + body;
}
std::string Exif(const std::string& tiff) {
  return Segment(0xE1, std::string("Exif\0\0", 6) + tiff);
}
const std::string kJfif = Segment(0xE0, std::string("JFIF\0\1\1\0\0\1\0\1\0\0", 14));
const std::string kXmp = Segment(0xE1, "http://ns.adobe.com/xap/1.0/\0<x:xmpmeta/>");
const std::string kScan = Segment(0xDA, std::string("\1\1\0\0\77\0", 6)) + "\x12\x34\xFF\xD9";

std::string Jpeg(const std::string& segments) {
  return "\xFF\xD8" + segments + kScan;
}

// Exactly as many bytes as given on the heap, so that a sanitized build sees a
// read past them.
int OrientationOfExactBytes(const std::string& bytes) {
  auto copy = std::make_unique<char[]>(bytes.size() + 1);
  std::copy(bytes.begin(), bytes.end(), copy.get());
  return ExifOrientation(std::string_view(copy.get(), bytes.size()));
}

TEST(ExifOrientation, ReadsEveryValueInBothByteOrders) {
  for (bool be : {false, true}) {
    for (unsigned v = 1; v <= 8; ++v) {
      EXPECT_EQ(ExifOrientation(Jpeg(kJfif + Exif(CameraTiff(be, v)))), static_cast<int>(v))
          << (be ? "MM " : "II ") << v;
    }
    // Some writers store it as a LONG.
    EXPECT_EQ(ExifOrientation(Jpeg(Exif(Tiff(be, {{0x0112, 4, 1, U32(be, 6)}})))), 6);
  }
  // Another APP1 (XMP) before the Exif block, fill bytes before a marker.
  EXPECT_EQ(ExifOrientation(Jpeg(kXmp + Exif(CameraTiff(true, 8)))), 8);
  EXPECT_EQ(ExifOrientation(Jpeg(kJfif + "\xFF\xFF" + Exif(CameraTiff(false, 3)))), 3);
}

TEST(ExifOrientation, NoTagOrUnsoundDataReadsAsUpright) {
  const bool be = false;
  EXPECT_EQ(ExifOrientation(""), 1);
  EXPECT_EQ(ExifOrientation("\xFF\xD8"), 1);
  EXPECT_EQ(ExifOrientation("\x89PNG\r\n\x1a\n" + Exif(CameraTiff(be, 6))), 1);
  EXPECT_EQ(ExifOrientation(Jpeg(kJfif)), 1);
  EXPECT_EQ(ExifOrientation(Jpeg(kXmp)), 1);
  EXPECT_EQ(ExifOrientation(Jpeg(Exif(CameraTiff(be, 0)))), 1);
  EXPECT_EQ(ExifOrientation(Jpeg(Exif(CameraTiff(be, 9)))), 1);
  EXPECT_EQ(ExifOrientation(Jpeg(Exif(Tiff(be, {{0x0112, 2, 2, std::string("6\0\0\0", 4)}})))), 1);
  EXPECT_EQ(ExifOrientation(Jpeg(Exif(Tiff(be, {{0x0112, 3, 0, U32(be, 6)}})))), 1);
  EXPECT_EQ(ExifOrientation(Jpeg(Exif(Tiff(be, {{0x0111, 3, 1, U32(be, 6)}})))), 1);
  // Not "Exif\0\0", a wrong TIFF magic, a mixed byte-order mark.
  EXPECT_EQ(ExifOrientation(Jpeg(Segment(0xE1, "Exif!!" + CameraTiff(be, 6)))), 1);
  std::string badMagic = CameraTiff(be, 6);
  badMagic[2] = 43;
  EXPECT_EQ(ExifOrientation(Jpeg(Exif(badMagic))), 1);
  std::string mixed = CameraTiff(be, 6);
  mixed[1] = 'M';
  EXPECT_EQ(ExifOrientation(Jpeg(Exif(mixed))), 1);
  // Only blocks before the picture data count.
  EXPECT_EQ(ExifOrientation("\xFF\xD8" + kScan + Exif(CameraTiff(be, 6))), 1);
  // A marker missing where one must stand.
  EXPECT_EQ(ExifOrientation(std::string("\xFF\xD8\x00", 3) + Exif(CameraTiff(be, 6))), 1);
}

TEST(ExifOrientation, HostileLengthsAndOffsetsStayInsideTheBytes) {
  for (bool be : {false, true}) {
    const std::string head = "\xFF\xD8" + kJfif;
    const std::string exif = Exif(CameraTiff(be, 6));
    const std::string whole = head + exif + kScan;
    // Every cut of the file: only a whole Exif block counts.
    for (std::size_t n = 0; n <= whole.size(); ++n) {
      EXPECT_EQ(OrientationOfExactBytes(whole.substr(0, n)), n >= head.size() + exif.size() ? 6 : 1)
          << n;
    }
    const Entry orientation{0x0112, 3, 1, U16(be, 6) + U16(be, 0)};
    // Directory offsets past the end, at the last byte, and wrapping around.
    for (std::uint32_t ifd : {0x40u, 0x0Fu + 12u, 0xFFFFFFF0u, 0xFFFFFFFFu}) {
      EXPECT_EQ(OrientationOfExactBytes(Jpeg(Exif(Tiff(be, {orientation}, ifd)))), 1) << ifd;
    }
    // A directory claiming more entries than there are: the one present is read,
    // the missing ones are not.
    EXPECT_EQ(OrientationOfExactBytes(Jpeg(Exif(Tiff(be, {orientation}, 8, 0xFFFF)))), 6);
    EXPECT_EQ(OrientationOfExactBytes(
                  Jpeg(Exif(Tiff(be, {{0x010F, 2, 4, std::string("Cam\0", 4)}}, 8, 0xFFFF)))),
              1);
    // The entry cut in the middle, right at the end of the block.
    const std::string cut = CameraTiff(be, 6);
    EXPECT_EQ(OrientationOfExactBytes(Jpeg(Exif(cut.substr(0, cut.size() - 8)))), 1);
  }
  // Segment lengths below two or past the end of the file.
  for (const char* length : {"\x00\x00", "\x00\x01", "\xFF\xFF"}) {
    std::string bytes = Jpeg(Exif(CameraTiff(true, 6)));
    bytes.replace(4, 2, length, 2);
    EXPECT_EQ(OrientationOfExactBytes(bytes), 1);
  }
}

// Pixels 'a' to 'f' of a 3 x 2 picture, read back row by row.
std::string Rows(const Surface& s) {
  std::string out;
  for (int y = 0; y < s.height(); ++y) {
    if (y) out += '/';
    for (int x = 0; x < s.width(); ++x) out += static_cast<char>(s.pixel(x, y));
  }
  return out;
}

TEST(ApplyOrientation, TurnsEachOfTheEightUpright) {
  Surface stored(3, 2);
  for (int i = 0; i < 6; ++i) stored.setPixel(i % 3, i / 3, 'a' + i);
  ASSERT_EQ(Rows(stored), "abc/def");
  const char* upright[] = {
      "abc/def",   // 1 as stored
      "cba/fed",   // 2 mirrored left-right
      "fed/cba",   // 3 half turn
      "def/abc",   // 4 mirrored top-bottom
      "ad/be/cf",  // 5 transposed
      "da/eb/fc",  // 6 quarter turn clockwise
      "fc/eb/da",  // 7 transposed across the other diagonal
      "cf/be/ad",  // 8 quarter turn counter-clockwise
  };
  for (int o = 1; o <= 8; ++o) {
    const Surface shown = ApplyOrientation(stored, o);
    EXPECT_EQ(Rows(shown), upright[o - 1]) << o;
    EXPECT_EQ(shown.width(), o >= 5 ? 2 : 3) << o;
  }
  for (int o : {0, 9, -1}) EXPECT_EQ(Rows(ApplyOrientation(stored, o)), "abc/def");
}

}  // namespace
}  // namespace pelnoro::image
