#include "image/picture_header.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace pelnoro {
namespace {

using image::HeaderCheck;
using image::PictureFormat;
using Verdict = HeaderCheck::Verdict;

std::string be32(std::uint32_t n) {
  return {static_cast<char>(n >> 24), static_cast<char>(n >> 16), static_cast<char>(n >> 8),
          static_cast<char>(n)};
}
std::string be16(unsigned n) {
  return {static_cast<char>(n >> 8), static_cast<char>(n)};
}
std::string le16(unsigned n) {
  return {static_cast<char>(n), static_cast<char>(n >> 8)};
}
std::string le32(std::uint32_t n) {
  return le16(n & 0xFFFF) + le16(n >> 16);
}

std::string chunk(const std::string& type, const std::string& data) {
  return be32(static_cast<std::uint32_t>(data.size())) + type + data + "CRC!";
}
const std::string kPngSignature("\x89PNG\r\n\x1a\n", 8);
std::string png(std::uint32_t w, std::uint32_t h) {
  return kPngSignature + chunk("IHDR", be32(w) + be32(h) + std::string(5, '\0')) +
         chunk("IEND", "");
}
std::string bmp(std::int32_t w, std::int32_t h) {
  return "BM" + std::string(12, '\0') + le32(40) + le32(static_cast<std::uint32_t>(w)) +
         le32(static_cast<std::uint32_t>(h)) + std::string(28, '\0');
}
// A JPEG's start: SOI, then the segments given, each marker with its length.
std::string jpeg(std::initializer_list<std::pair<unsigned, std::string>> segments) {
  std::string j("\xFF\xD8", 2);
  for (const auto& [marker, data] : segments) {
    j += std::string{'\xFF', static_cast<char>(marker)} + be16(2 + data.size()) + data;
  }
  return j;
}
std::string sof(unsigned w, unsigned h) {
  return std::string(1, '\x08') + be16(h) + be16(w) + std::string(1, '\x03');
}
// A GIF without colour tables: a screen and frames (left, top, width, height).
std::string gif(unsigned sw, unsigned sh, std::initializer_list<std::array<unsigned, 4>> frames) {
  std::string g = "GIF89a" + le16(sw) + le16(sh) + std::string(3, '\0');
  for (const auto& f : frames) {
    g += ',' + le16(f[0]) + le16(f[1]) + le16(f[2]) + le16(f[3]) + '\0';
    g += std::string("\x02\x01\x00\x00", 4);  // code size, one data byte, end of data
  }
  return g + ';';
}
// An icon of one image at the offset just after its directory.
std::string ico(const std::string& image) {
  return std::string("\0\0\1\0\1\0", 6) + std::string(8, '\0') + le32(0) + le32(22) + image;
}

TEST(PictureHeader, FormatsBySignature) {
  const std::pair<std::string, PictureFormat> cases[] = {
      {"BM", PictureFormat::kBmp},
      {kPngSignature, PictureFormat::kPng},
      {"\xFF\xD8\xFF", PictureFormat::kJpeg},
      {"GIF87a", PictureFormat::kGif},
      {"GIF89a", PictureFormat::kGif},
      {std::string("II*\0", 4), PictureFormat::kTiff},
      {std::string("MM\0*", 4), PictureFormat::kTiff},
      {std::string("\0\0\1\0", 4), PictureFormat::kIco},
      {"GIF88a", PictureFormat::kUnknown},
      {std::string("\0\0\2\0", 4), PictureFormat::kUnknown},
      {"", PictureFormat::kUnknown},
  };
  for (const auto& [bytes, format] : cases) EXPECT_EQ(image::IdentifyPicture(bytes), format);
}

// A decodable picture's largest declared size comes along, so that its memory can be
// weighed before decoding.
TEST(PictureHeader, DeclaredSizesBeyondTheLimitAreRefusedBeforeDecoding) {
  struct Case {
    const char* what;
    std::string bytes;
    Verdict verdict;
    long long width, height;
  };
  const Case cases[] = {
      {"PNG at the limit", png(100, 100), Verdict::kDecodable, 100, 100},
      {"PNG too wide", png(101, 7), Verdict::kTooLarge, 101, 7},
      {"PNG too high", png(7, 101), Verdict::kTooLarge, 7, 101},
      {"PNG of the largest sides", png(0xFFFFFFFF, 0xFFFFFFFF), Verdict::kTooLarge, 0xFFFFFFFF,
       0xFFFFFFFF},
      {"PNG cut short", png(5, 5).substr(0, 30), Verdict::kNotPicture, 0, 0},
      {"BMP bottom-up", bmp(100, 90), Verdict::kDecodable, 100, 90},
      {"BMP top-down, too high", bmp(20, -300), Verdict::kTooLarge, 20, 300},
      {"BMP core header", "BM" + std::string(12, '\0') + le32(12) + le16(500) + le16(5) + "xxxx",
       Verdict::kTooLarge, 500, 5},
      {"JPEG frame after an APP segment and fill bytes",
       jpeg({{0xE0, "JFIF"}}) + "\xFF" + jpeg({{0xC2, sof(300, 5)}}).substr(2), Verdict::kTooLarge,
       300, 5},
      {"JPEG: a Huffman table is no frame", jpeg({{0xC4, sof(300, 5)}, {0xC0, sof(9, 4)}}),
       Verdict::kDecodable, 9, 4},
      {"JPEG: nothing read past the scan", jpeg({{0xDA, ""}, {0xC0, sof(300, 5)}}),
       Verdict::kDecodable, 0, 0},
      {"GIF screen", gif(200, 5, {{0, 0, 1, 1}}), Verdict::kTooLarge, 200, 5},
      {"GIF's second frame", gif(50, 50, {{0, 0, 50, 50}, {0, 0, 50, 150}}), Verdict::kTooLarge, 50,
       150},
      {"icon of a PNG", ico(png(300, 300)), Verdict::kTooLarge, 300, 300},
      {"icon of a bitmap: its height counts twice", ico(le32(40) + le32(64) + le32(400)),
       Verdict::kTooLarge, 64, 200},
      {"icon of a bitmap within the limit", ico(le32(40) + le32(64) + le32(96)),
       Verdict::kDecodable, 64, 48},
      {"TIFF, checked by its decoder", std::string("II*\0", 4) + std::string(20, '\xFF'),
       Verdict::kDecodable, 0, 0},
      {"no picture", "hello", Verdict::kNotPicture, 0, 0},
  };
  for (const Case& c : cases) {
    const HeaderCheck check = image::CheckPictureHeader(c.bytes, 100);
    EXPECT_EQ(check.verdict, c.verdict) << c.what;
    EXPECT_EQ(check.width, c.width) << c.what;
    EXPECT_EQ(check.height, c.height) << c.what;
  }
}

TEST(PictureHeader, AGifFrameIsShownOnItsScreen) {
  image::Surface frame(2, 1, 0x00112233);
  const std::string inset = gif(4, 3, {{1, 2, 2, 1}});
  const image::Surface shown =
      image::AsTheFileShowsIt(frame, PictureFormat::kGif, inset, 0xFF00FFFF);
  ASSERT_EQ(shown.width(), 4);
  ASSERT_EQ(shown.height(), 3);
  EXPECT_EQ(shown.pixel(1, 2), 0x00112233u);
  EXPECT_EQ(shown.pixel(2, 2), 0x00112233u);
  EXPECT_EQ(shown.pixel(0, 2), 0x0000FFFFu);
  EXPECT_EQ(shown.pixel(1, 1), 0x0000FFFFu);
  // A frame covering its screen, and any other format, stay as decoded.
  EXPECT_EQ(
      image::AsTheFileShowsIt(frame, PictureFormat::kGif, gif(2, 1, {{0, 0, 2, 1}}), 0).width(), 2);
  EXPECT_EQ(image::AsTheFileShowsIt(frame, PictureFormat::kPng, inset, 0).width(), 2);
}

std::string pngChunk(const std::string& type, const std::string& data) {
  return chunk(type, data);
}

TEST(PngIsWhole, ChunksToIendWithinTheFile) {
  const std::string signature("\x89PNG\r\n\x1a\n", 8);
  const std::string whole = signature + pngChunk("IHDR", std::string(13, '\0')) +
                            pngChunk("IDAT", std::string(100, 'x')) + pngChunk("IEND", "");
  EXPECT_TRUE(image::PngIsWhole(whole));
  // Cut anywhere before the end of IEND: damaged.
  for (std::size_t cut : {whole.size() - 1, whole.size() - 12, whole.size() - 13, std::size_t{60},
                          std::size_t{33}, std::size_t{9}}) {
    EXPECT_FALSE(image::PngIsWhole(whole.substr(0, cut))) << cut;
  }
  // A chunk length past the end of the file, and no IEND at all.
  std::string lying = whole;
  lying[signature.size() + 8 + 13 + 4] = '\x7F';  // IDAT's length's first byte
  EXPECT_FALSE(image::PngIsWhole(lying));
  EXPECT_FALSE(image::PngIsWhole(signature + pngChunk("IHDR", std::string(13, '\0'))));
  EXPECT_FALSE(image::PngIsWhole("GIF89a"));
}

}  // namespace
}  // namespace pelnoro
