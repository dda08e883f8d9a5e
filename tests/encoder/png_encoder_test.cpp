#include "encoder/png_encoder.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <set>

#include "test_images.h"

namespace pelnoro::encoder {
namespace {

using testing::DecodePng;
using testing::Image;

std::vector<std::uint8_t> Encode(const Image& image, PngLevel level) {
  std::vector<std::uint8_t> bytes;
  EXPECT_EQ(EncodePng(image.View(), level, bytes), Error::kOk);
  return bytes;
}

constexpr PngLevel kLevels[] = {PngLevel::kNormal, PngLevel::kLow, PngLevel::kHighest};

TEST(PngRoundTrip, EveryLevelAndSizeDecodesToTheSourcePixels) {
  const std::pair<int, int> sizes[] = {{1, 1}, {7, 5}, {17, 33}, {1920, 1080}};
  for (auto [w, h] : sizes)
    for (const Image& source : {testing::ScreenLike(w, h), testing::PhotoLike(w, h)})
      for (PngLevel level : kLevels) {
        const testing::DecodedPng d = DecodePng(Encode(source, level));
        ASSERT_TRUE(d.ok) << d.error << " " << w << "x" << h;
        EXPECT_EQ(d.image.width, w);
        EXPECT_EQ(d.image.height, h);
        EXPECT_EQ(d.image.pixels, source.pixels)
            << w << "x" << h << " level " << static_cast<int>(level);
      }
}

// The filter type of every row, read from the file's own stream with zlib.
std::vector<int> RowFilters(const std::vector<std::uint8_t>& file) {
  std::vector<std::uint8_t> idat;
  std::uint32_t width = 0, height = 0;
  int depth = 0, colour_type = 0;
  const auto be32 = [&](std::size_t at) {
    return static_cast<std::uint32_t>(file[at]) << 24 | file[at + 1] << 16 | file[at + 2] << 8 |
           file[at + 3];
  };
  for (std::size_t at = 8; at + 8 <= file.size();) {
    const std::uint32_t length = be32(at);
    const std::string type(file.begin() + static_cast<long>(at) + 4,
                           file.begin() + static_cast<long>(at) + 8);
    if (type == "IHDR") {
      width = be32(at + 8);
      height = be32(at + 12);
      depth = file[at + 16];
      colour_type = file[at + 17];
    }
    if (type == "IDAT")
      idat.insert(idat.end(), file.begin() + static_cast<long>(at) + 8,
                  file.begin() + static_cast<long>(at + 8 + length));
    at += 12 + length;
  }
  const std::size_t line = (width * (colour_type == 2 ? 3 : 1) * depth + 7) / 8 + 1;
  std::vector<std::uint8_t> rows(line * height);
  uLongf size = static_cast<uLongf>(rows.size());
  EXPECT_EQ(uncompress(rows.data(), &size, idat.data(), static_cast<uLong>(idat.size())), Z_OK);
  EXPECT_EQ(size, rows.size());
  std::vector<int> filters;
  for (std::size_t y = 0; y < height; ++y) filters.push_back(rows[y * line]);
  return filters;
}

// Colour rows each filter suits: flat, a ramp, the row above, the mean of left and above,
// the pixel above-left, noise; values from a few steps of 20, so that the Paeth
// predictor's distances tie often, and at the left edge and the top row, where the
// missing neighbours count as zero.
Image FilterKinds(int width, int height, unsigned seed) {
  Image image{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
  std::mt19937 random(seed);
  const auto channel = [&](int x, int y, int c) -> int {
    if (x < 0 || y < 0) return 0;
    return static_cast<int>(image.At(x, y) >> (8 * c) & 0xFF);
  };
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      int v[3];
      for (int c = 0; c < 3; ++c) {
        const int step = static_cast<int>(random() % 2) * 20;
        switch (y % 6) {
          case 0:
            v[c] = 60;
            break;
          case 1:
            v[c] = (x * 20 + step) % 240;
            break;
          case 2:
            v[c] = (channel(x, y - 1, c) + step) % 240;
            break;
          case 3:
            v[c] = (channel(x - 1, y, c) + channel(x, y - 1, c)) / 2 + step;
            break;
          case 4:
            v[c] = (channel(x - 1, y - 1, c) + step) % 240;
            break;
          default:
            v[c] = static_cast<int>(random() % 13) * 20;
            break;
        }
      }
      image.pixels[static_cast<std::size_t>(y) * width + x] = testing::Rgb(v[0], v[1], v[2]);
    }
  return image;
}

TEST(PngRoundTrip, EveryFilterTypeAndPaethTiesDecodeExactly) {
  std::set<int> seen;
  for (unsigned seed : {1u, 2u, 3u})
    for (auto [w, h] : {std::pair{61, 48}, std::pair{300, 90}})
      for (PngLevel level : kLevels) {
        const Image source = FilterKinds(w, h, seed);
        const std::vector<std::uint8_t> file = Encode(source, level);
        const testing::DecodedPng d = DecodePng(file);
        ASSERT_TRUE(d.ok) << d.error;
        ASSERT_FALSE(d.palette);
        EXPECT_EQ(d.image.pixels, source.pixels)
            << w << "x" << h << " seed " << seed << " level " << static_cast<int>(level);
        for (int f : RowFilters(file)) seen.insert(f);
      }
  EXPECT_EQ(seen, (std::set<int>{0, 1, 2, 3, 4})) << "some filter type was never written";
}

TEST(PngPalette, UsedUpTo256ColoursAndNotBeyond) {
  Image source{32, 16, std::vector<std::uint32_t>(32 * 16)};
  for (int i = 0; i < 512; ++i) source.pixels[i] = testing::Rgb(i % 256, (i * 7) % 256, 3);
  // Exactly 256 distinct colours (the pattern repeats after 256 pixels).
  testing::DecodedPng d = DecodePng(Encode(source, PngLevel::kNormal));
  ASSERT_TRUE(d.ok) << d.error;
  EXPECT_TRUE(d.palette);
  EXPECT_EQ(d.bit_depth, 8);
  EXPECT_EQ(d.image.pixels, source.pixels);

  source.pixels[511] = testing::Rgb(1, 2, 200);  // a 257th colour
  d = DecodePng(Encode(source, PngLevel::kNormal));
  ASSERT_TRUE(d.ok) << d.error;
  EXPECT_FALSE(d.palette);
  EXPECT_EQ(d.bit_depth, 8);
  EXPECT_EQ(d.image.pixels, source.pixels);
}

TEST(PngPalette, FewColoursArePackedAndUnpackExactly) {
  // Odd widths leave partly filled bytes at the end of each row.
  const std::pair<int, int> colours_and_depth[] = {{1, 1}, {2, 1},  {3, 2}, {4, 2},
                                                   {5, 4}, {16, 4}, {17, 8}};
  for (auto [colours, depth] : colours_and_depth)
    for (int width : {1, 3, 7, 13}) {
      Image source{width, 5, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * 5)};
      for (std::size_t i = 0; i < source.pixels.size(); ++i)
        source.pixels[i] = testing::Rgb(static_cast<int>(i * 37 % colours) * 15, 200, 9);
      if (static_cast<int>(source.pixels.size()) < colours) continue;
      const testing::DecodedPng d = DecodePng(Encode(source, PngLevel::kHighest));
      ASSERT_TRUE(d.ok) << d.error;
      EXPECT_TRUE(d.palette);
      EXPECT_EQ(d.bit_depth, depth) << colours << " colours";
      EXPECT_EQ(d.image.pixels, source.pixels) << colours << " colours, width " << width;
    }
}

// Grey pictures need no palette: levels that fit 1, 2 or 4 bits exactly are stored so;
// others keep a palette of that depth. Rows of one level per column, in any order, so
// that a swapped mapping shows in the pixels.
TEST(PngGrey, LevelsThatFitADepthAreStoredWithoutAPalette) {
  struct Case {
    std::vector<int> levels;
    int colour_type, depth;
  };
  const Case cases[] = {
      {{255, 0}, 0, 1},      {{170, 0, 255, 85}, 0, 2}, {{0, 17, 255, 136, 34}, 0, 4},
      {{0, 100, 255}, 3, 2},  // 100 is no 2-bit level
      {{0, 16, 255}, 3, 2},   // nor 16 one of 4 bits at depth 2
      {{255, 1, 0}, 3, 2}};
  for (const Case& c : cases)
    for (PngLevel level : kLevels) {
      Image source{37, 9, std::vector<std::uint32_t>(37 * 9)};
      for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 37; ++x) {
          const int v = c.levels[static_cast<std::size_t>(x * 7 + y) % c.levels.size()];
          source.pixels[static_cast<std::size_t>(y) * 37 + x] = testing::Rgb(v, v, v);
        }
      const testing::DecodedPng d = DecodePng(Encode(source, level));
      ASSERT_TRUE(d.ok) << d.error;
      EXPECT_EQ(d.colour_type, c.colour_type) << c.levels.size() << " levels";
      EXPECT_EQ(d.bit_depth, c.depth) << c.levels.size() << " levels";
      EXPECT_EQ(d.image.pixels, source.pixels) << c.levels.size() << " levels";
    }
}

TEST(PngGrey, GradientsOfAllLevelsAreStoredAsGrey) {
  // 256 levels: the palette alone would take 780 bytes, more than the grey file.
  Image source{512, 300, std::vector<std::uint32_t>(512 * 300)};
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 512; ++x) {
      const int v = (x / 2 + y / 3) % 256;
      source.pixels[static_cast<std::size_t>(y) * 512 + x] = testing::Rgb(v, v, v);
    }
  for (PngLevel level : kLevels) {
    const testing::DecodedPng d = DecodePng(Encode(source, level));
    ASSERT_TRUE(d.ok) << d.error;
    EXPECT_EQ(d.colour_type, 0) << "level " << static_cast<int>(level);
    EXPECT_EQ(d.bit_depth, 8);
    EXPECT_EQ(d.image.pixels, source.pixels);
  }
}

TEST(PngPalette, HighByteDoesNotMakeColoursDistinct) {
  Image source = testing::ScreenLike(50, 40);
  std::vector<std::uint32_t> tagged = source.pixels;
  for (std::size_t i = 0; i < tagged.size(); i += 3) tagged[i] |= 0xFF000000;
  std::vector<std::uint8_t> plain, marked;
  ASSERT_EQ(EncodePng(source.View(), PngLevel::kNormal, plain), Error::kOk);
  ASSERT_EQ(EncodePng({tagged.data(), 50, 40, 50}, PngLevel::kNormal, marked), Error::kOk);
  EXPECT_EQ(plain, marked);
}

// Colour pictures are converted, filtered and compressed in two halves on two threads
// when large: an odd height splits unevenly, and a wider buffer must not leak in.
TEST(PngInput, StrideAndUnusedHighByteAreIgnoredInColourPictures) {
  const Image source = testing::PhotoLike(700, 501, 4);  // over 1 MB of scanlines
  std::vector<std::uint32_t> wide(720 * 501, 0xDEADBEEF);
  for (int y = 0; y < 501; ++y)
    for (int x = 0; x < 700; ++x) wide[y * 720 + x] = source.At(x, y) | 0x7F000000;
  for (PngLevel level : kLevels) {
    std::vector<std::uint8_t> packed, strided;
    ASSERT_EQ(EncodePng(source.View(), level, packed), Error::kOk);
    ASSERT_EQ(EncodePng({wide.data(), 700, 501, 720}, level, strided), Error::kOk);
    EXPECT_EQ(packed, strided);
    const testing::DecodedPng d = DecodePng(strided);
    ASSERT_TRUE(d.ok) << d.error;
    EXPECT_FALSE(d.palette);
    EXPECT_EQ(d.image.pixels, source.pixels) << "level " << static_cast<int>(level);
  }
}

// The first IDAT's zlib header byte that holds the level field.
int LevelField(const std::vector<std::uint8_t>& file) {
  for (std::size_t at = 8; at + 10 <= file.size();) {
    const std::size_t length = static_cast<std::size_t>(file[at]) << 24 | file[at + 1] << 16 |
                               file[at + 2] << 8 | file[at + 3];
    if (std::string(file.begin() + static_cast<long>(at) + 4,
                    file.begin() + static_cast<long>(at) + 8) == "IDAT")
      return file[at + 9] >> 6;
    at += 12 + length;
  }
  return -1;
}

TEST(PngLevels, HighestIsNoLargerThanNormalAndLow) {
  for (const Image& source : {testing::ScreenLike(640, 400), testing::PhotoLike(640, 400)}) {
    const std::vector<std::uint8_t> normal = Encode(source, PngLevel::kNormal);
    const std::vector<std::uint8_t> low = Encode(source, PngLevel::kLow);
    const std::vector<std::uint8_t> highest = Encode(source, PngLevel::kHighest);
    EXPECT_LE(highest.size(), normal.size());
    EXPECT_LE(highest.size(), low.size());
    // The header says the level, whatever compression the rows got.
    EXPECT_EQ(LevelField(low), 0);
    EXPECT_EQ(LevelField(normal), 2);
    EXPECT_EQ(LevelField(highest), 3);
  }
}

// Large pictures of each kind: the normal level skips slow trials on some pictures this
// size, and must never come out larger than the low level for it.
TEST(PngLevels, NormalIsNoLargerThanLowOnLargePictures) {
  Image mixed = testing::ScreenLike(1200, 800);
  const Image photo = testing::PhotoLike(1200, 120);
  std::copy(photo.pixels.begin(), photo.pixels.end(), mixed.pixels.begin() + 1200 * 500);
  for (const Image& source :
       {testing::ScreenLike(1200, 900), mixed, testing::PhotoLike(1200, 900)}) {
    const std::vector<std::uint8_t> normal = Encode(source, PngLevel::kNormal);
    EXPECT_LE(normal.size(), Encode(source, PngLevel::kLow).size())
        << source.width << "x" << source.height;
    EXPECT_EQ(DecodePng(normal).image.pixels, source.pixels);
  }
}

// Compressed in pieces on two threads: a screen above noise puts stored blocks into a
// later piece, which must still start on a byte boundary once the pieces are joined.
TEST(PngRoundTrip, ScreenAboveNoiseDecodesAtEveryLevel) {
  Image source = testing::ScreenLike(1000, 700);
  const Image noise = testing::Noise(1000, 300);
  std::copy(noise.pixels.begin(), noise.pixels.end(), source.pixels.begin() + 1000 * 400);
  for (PngLevel level : kLevels) {
    const testing::DecodedPng d = DecodePng(Encode(source, level));
    ASSERT_TRUE(d.ok) << d.error << " level " << static_cast<int>(level);
    EXPECT_EQ(d.image.pixels, source.pixels) << "level " << static_cast<int>(level);
  }
}

TEST(PngChunks, LargeDataIsSplitIntoSeveralIdatChunks) {
  const Image source = testing::Noise(1024, 400);  // ~1.2 MB of incompressible bytes
  const testing::DecodedPng d = DecodePng(Encode(source, PngLevel::kLow));
  ASSERT_TRUE(d.ok) << d.error;
  EXPECT_GT(d.idat_chunks, 1);
  EXPECT_EQ(d.image.pixels, source.pixels);
}

TEST(PngInput, RejectsBadSizesAndLevels) {
  const std::vector<std::uint32_t> pixels(16, 0);
  std::vector<std::uint8_t> out;
  EXPECT_EQ(EncodePng({pixels.data(), 0, 1, 1}, PngLevel::kNormal, out), Error::kBadSize);
  EXPECT_EQ(EncodePng({pixels.data(), 4, 4, 2}, PngLevel::kNormal, out), Error::kBadSize);
  EXPECT_EQ(EncodePng({pixels.data(), 4, 4, 4}, static_cast<PngLevel>(3), out),
            Error::kBadArgument);
  EXPECT_EQ(EncodePng({nullptr, 4, 4, 4}, PngLevel::kLow, out), Error::kBadArgument);
}

}  // namespace
}  // namespace pelnoro::encoder
