#include "encoder/jpeg_encoder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "encoder/jpeg_kernels.h"
#include "test_images.h"

namespace pelnoro::encoder {
namespace {

using testing::DecodeJpeg;
using testing::Image;

std::vector<std::uint8_t> Encode(const Image& image, int quality, bool progressive) {
  std::vector<std::uint8_t> bytes;
  EXPECT_EQ(EncodeJpeg(image.View(), {quality, progressive}, bytes), Error::kOk);
  return bytes;
}

struct Case {
  int width, height, quality;
};
void PrintTo(const Case& c, std::ostream* os) {
  *os << c.width << "x" << c.height << " quality " << c.quality;
}

class JpegDecodes : public ::testing::TestWithParam<Case> {};

// Both modes decode cleanly with libjpeg, carry the right header, lose no more than
// libjpeg's own encoder at that quality, and carry identical coefficients.
TEST_P(JpegDecodes, CleanlyAndAsFaithfullyAsTheReference) {
  const Case c = GetParam();
  const Image source = testing::PhotoLike(c.width, c.height, c.width * 31 + c.height);
  const testing::DecodedJpeg baseline = DecodeJpeg(Encode(source, c.quality, false));
  const testing::DecodedJpeg progressive = DecodeJpeg(Encode(source, c.quality, true));
  for (const testing::DecodedJpeg* d : {&baseline, &progressive}) {
    ASSERT_TRUE(d->ok) << d->error;
    EXPECT_EQ(d->warnings, 0);
    EXPECT_TRUE(d->jfif);
    EXPECT_EQ(d->components, 3);
    EXPECT_EQ(d->image.width, c.width);
    EXPECT_EQ(d->image.height, c.height);
  }
  EXPECT_FALSE(baseline.progressive);
  EXPECT_TRUE(progressive.progressive);
  // Successive approximation must rebuild exactly the baseline's coefficients.
  EXPECT_EQ(baseline.image.pixels, progressive.image.pixels);

  const testing::DecodedJpeg reference = DecodeJpeg(testing::ReferenceJpeg(source, c.quality));
  ASSERT_TRUE(reference.ok);
  EXPECT_GE(testing::Psnr(source, baseline.image), testing::Psnr(source, reference.image) - 0.3);
}

INSTANTIATE_TEST_SUITE_P(SizesAndQualities, JpegDecodes,
                         ::testing::Values(Case{1, 1, 0}, Case{1, 1, 100}, Case{7, 5, 0},
                                           Case{7, 5, 1}, Case{7, 5, 50}, Case{7, 5, 100},
                                           Case{17, 33, 0}, Case{17, 33, 1}, Case{17, 33, 50},
                                           Case{17, 33, 100}, Case{16, 16, 75}, Case{33, 17, 90},
                                           Case{1920, 1080, 1}, Case{1920, 1080, 50},
                                           Case{1920, 1080, 100}, Case{16384, 3, 75},
                                           Case{2, 16384, 75}),
                         [](const auto& test) {
                           return std::to_string(test.param.width) + "x" +
                                  std::to_string(test.param.height) + "_q" +
                                  std::to_string(test.param.quality);
                         });

// A progressive file must decode without complaint to exactly the baseline file's
// pixels: any lost, extra or misplaced bit in a scan shows.
void ExpectProgressiveMatchesBaseline(const Image& source, int quality, const std::string& what) {
  const testing::DecodedJpeg baseline = DecodeJpeg(Encode(source, quality, false));
  const testing::DecodedJpeg progressive = DecodeJpeg(Encode(source, quality, true));
  ASSERT_TRUE(baseline.ok) << what << ": " << baseline.error;
  ASSERT_TRUE(progressive.ok) << what << ": " << progressive.error;
  EXPECT_EQ(baseline.warnings, 0) << what;
  EXPECT_EQ(progressive.warnings, 0) << what;
  EXPECT_TRUE(baseline.image.pixels == progressive.image.pixels) << what;
}

// In flat pictures every AC scan is one run of empty blocks. One symbol carries at most
// 32767 of them, so longer runs must be cut: these sizes give luma scans of exactly 32767
// and 32768 blocks, more than twice the limit, and a full-HD-plus screen; the chroma
// scans get a quarter of that. A mark in the very last block ends the run with a value.
TEST(JpegProgressive, EndOfBandRunsAroundTheLongestOneSymbolCarries) {
  const std::pair<int, int> sizes[] = {{151 * 8, 217 * 8},              // 32767 luma blocks
                                       {256 * 8, 128 * 8},              // 32768
                                       {65537 / 137 * 8, 137 * 8 + 8},  // 65760
                                       {2560, 1440}};                   // 57600, chroma 14400
  for (auto [w, h] : sizes)
    for (bool mark : {false, true}) {
      Image source{
          w, h,
          std::vector<std::uint32_t>(static_cast<std::size_t>(w) * h, testing::Rgb(90, 140, 200))};
      if (mark)
        for (int y = h - 4; y < h; ++y)
          for (int x = w - 4; x < w; ++x) source.pixels[static_cast<std::size_t>(y) * w + x] = 0;
      ExpectProgressiveMatchesBaseline(
          source, 75, std::to_string(w) + "x" + std::to_string(h) + (mark ? " marked" : ""));
    }
}

// Refinement scans keep the correction bits of blocks in a run of empty blocks until the
// run ends; a texture whose coefficients are all large makes only such blocks, so the
// buffer fills and must be emptied many times within one scan.
TEST(JpegProgressive, CorrectionBitsOfLongRunsAreFlushedInOrder) {
  // Rows and columns of one 8-pixel pattern: every block the same, with large values at
  // the first row and column of frequencies and exact zeros elsewhere.
  const int pattern[8] = {0, 255, 30, 200, 90, 10, 250, 60};
  for (int quality : {100, 90}) {
    Image source{640, 320, std::vector<std::uint32_t>(640 * 320)};
    for (int y = 0; y < source.height; ++y)
      for (int x = 0; x < source.width; ++x) {
        const int v = (pattern[x % 8] + pattern[(y + 3) % 8]) / 2;
        source.pixels[static_cast<std::size_t>(y) * source.width + x] = testing::Rgb(v, v, v);
      }
    ExpectProgressiveMatchesBaseline(source, quality, "quality " + std::to_string(quality));
  }
}

TEST(JpegQuality, TablesMatchTheUsualScalingForEveryQuality) {
  for (int quality = 0; quality <= 100; ++quality)
    for (int table = 0; table < 2; ++table) {
      const auto ours = JpegQuantTable(table, quality);
      EXPECT_EQ(std::vector<std::uint16_t>(ours.begin(), ours.end()),
                testing::ReferenceQuantTable(table, quality))
          << "quality " << quality << " table " << table;
    }
}

TEST(JpegQuality, FileCarriesTheTablesAndZeroActsAsOne) {
  const Image source = testing::PhotoLike(40, 24);
  const testing::DecodedJpeg d = DecodeJpeg(Encode(source, 30, true));
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.quant[0], testing::ReferenceQuantTable(0, 30));
  EXPECT_EQ(d.quant[1], testing::ReferenceQuantTable(1, 30));
  EXPECT_EQ(Encode(source, 0, false), Encode(source, 1, false));
  EXPECT_EQ(Encode(source, 250, false), Encode(source, 100, false));
}

TEST(JpegColour, PrimaryColoursKeepTheirChannels) {
  // Flat 16x16 squares: any swap of red and blue or a wrong sign shows at once.
  const std::uint32_t colours[] = {testing::Rgb(255, 0, 0),   testing::Rgb(0, 255, 0),
                                   testing::Rgb(0, 0, 255),   testing::Rgb(255, 255, 0),
                                   testing::Rgb(0, 255, 255), testing::Rgb(255, 0, 255),
                                   testing::Rgb(0, 0, 0),     testing::Rgb(255, 255, 255)};
  Image source{128, 16, std::vector<std::uint32_t>(128 * 16)};
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 128; ++x) source.pixels[y * 128 + x] = colours[x / 16];
  const testing::DecodedJpeg d = DecodeJpeg(Encode(source, 100, false));
  ASSERT_TRUE(d.ok);
  for (int i = 0; i < 8; ++i) {
    const std::uint32_t got = d.image.At(i * 16 + 8, 8), want = colours[i];
    for (int shift = 0; shift < 24; shift += 8)
      EXPECT_NEAR(static_cast<int>((got >> shift) & 0xFF), static_cast<int>((want >> shift) & 0xFF),
                  3)
          << "colour " << i << " channel " << shift / 8;
  }
}

TEST(JpegInput, StrideAndUnusedHighByteAreIgnored) {
  const Image source = testing::ScreenLike(45, 30);
  // The same picture inside a wider buffer whose spare bytes and columns are garbage.
  std::vector<std::uint32_t> wide(64 * 30, 0xDEADBEEF);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 45; ++x) wide[y * 64 + x] = source.At(x, y) | 0xFF000000;
  std::vector<std::uint8_t> packed, strided;
  ASSERT_EQ(EncodeJpeg(source.View(), {80, true}, packed), Error::kOk);
  ASSERT_EQ(EncodeJpeg({wide.data(), 45, 30, 64}, {80, true}, strided), Error::kOk);
  EXPECT_EQ(packed, strided);
}

TEST(JpegInput, RejectsImpossibleSizes) {
  const std::vector<std::uint32_t> pixels(16, 0);
  std::vector<std::uint8_t> out{1, 2, 3};
  EXPECT_EQ(EncodeJpeg({pixels.data(), 0, 4, 4}, {}, out), Error::kBadSize);
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(EncodeJpeg({pixels.data(), 4, -1, 4}, {}, out), Error::kBadSize);
  EXPECT_EQ(EncodeJpeg({pixels.data(), 4, 4, 3}, {}, out), Error::kBadSize);
  EXPECT_EQ(EncodeJpeg({pixels.data(), 65501, 1, 65501}, {}, out), Error::kBadSize);
  EXPECT_EQ(EncodeJpeg({nullptr, 4, 4, 4}, {}, out), Error::kBadArgument);
}

// The same pixels packed as R, G, B in rows `stride` bytes apart, the spare bytes noise.
std::vector<std::uint8_t> Packed(const Image& image, std::ptrdiff_t stride) {
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(stride) * image.height, 0xA5);
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      std::uint8_t* p = &rgb[static_cast<std::size_t>(y) * stride + 3 * x];
      const std::uint32_t c = image.At(x, y);
      p[0] = Red(c);
      p[1] = Green(c);
      p[2] = Blue(c);
    }
  return rgb;
}

// Files must not depend on the processor that wrote them nor on the form the pixels came
// in: every kernel level, from 32-bit pixels and from packed RGB, gives the same bytes.
TEST(JpegKernelLevels, EveryLevelAndBothPixelFormsWriteTheSameFile) {
  const std::pair<int, int> sizes[] = {{1, 1},   {2, 3},     {17, 33},  {33, 17},
                                       {64, 64}, {200, 150}, {641, 479}};
  for (auto [w, h] : sizes)
    for (int kind = 0; kind < 3; ++kind) {
      const Image source = kind == 0   ? testing::PhotoLike(w, h, static_cast<unsigned>(w * h))
                           : kind == 1 ? testing::ScreenLike(w, h)
                                       : testing::Noise(w, h, static_cast<unsigned>(w + h));
      const std::vector<std::uint8_t> rgb = Packed(source, 3 * w + 5);
      for (bool progressive : {false, true}) {
        const std::string what = std::to_string(w) + "x" + std::to_string(h) + " kind " +
                                 std::to_string(kind) + (progressive ? " progressive" : "");
        std::vector<std::uint8_t> want;
        ASSERT_EQ(EncodeJpeg(source.View(), {60, progressive}, jpeg::KernelLevel::kPortable, want),
                  Error::kOk);
        for (jpeg::KernelLevel level :
             {jpeg::KernelLevel::kPortable, jpeg::KernelLevel::kSse2, jpeg::KernelLevel::kAvx2}) {
          if (!jpeg::Runs(level)) continue;
          std::vector<std::uint8_t> from_pixels, from_rgb;
          ASSERT_EQ(EncodeJpeg(source.View(), {60, progressive}, level, from_pixels), Error::kOk);
          ASSERT_EQ(
              EncodeJpegRgb({rgb.data(), w, h, 3 * w + 5}, {60, progressive}, level, from_rgb),
              Error::kOk);
          EXPECT_TRUE(from_pixels == want) << what << " level " << static_cast<int>(level);
          EXPECT_TRUE(from_rgb == want) << what << " level " << static_cast<int>(level) << " RGB";
        }
      }
    }
}

// Large pictures are transformed in parts on two threads, each part's DC differences
// mended afterwards: the file must be the one-thread file, whatever the part sizes.
TEST(JpegThreads, PartsOnTwoThreadsWriteTheOneThreadFile) {
  const std::pair<int, int> sizes[] = {{1024, 1024}, {1000, 1105}, {1920, 1080}, {4100, 260}};
  for (auto [w, h] : sizes)
    for (int kind = 0; kind < 2; ++kind) {
      const Image source = kind == 0 ? testing::PhotoLike(w, h, static_cast<unsigned>(w))
                                     : testing::ScreenLike(w, h);
      for (bool progressive : {false, true}) {
        std::vector<std::uint8_t> one, two;
        ASSERT_EQ(EncodeJpeg(source.View(), {70, progressive, 1}, one), Error::kOk);
        ASSERT_EQ(EncodeJpeg(source.View(), {70, progressive, 0}, two), Error::kOk);
        EXPECT_TRUE(one == two) << w << "x" << h << " kind " << kind
                                << (progressive ? " progressive" : "");
      }
    }
}

TEST(JpegInput, PackedRgbRejectsWhatPixelsReject) {
  const std::vector<std::uint8_t> rgb(64, 0);
  std::vector<std::uint8_t> out{1, 2, 3};
  EXPECT_EQ(EncodeJpegRgb({rgb.data(), 0, 4, 12}, {}, out), Error::kBadSize);
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(EncodeJpegRgb({rgb.data(), 4, 4, 11}, {}, out), Error::kBadSize);  // stride < 3w
  EXPECT_EQ(EncodeJpegRgb({rgb.data(), 4, 0, 12}, {}, out), Error::kBadSize);
  EXPECT_EQ(EncodeJpegRgb({nullptr, 4, 4, 12}, {}, out), Error::kBadArgument);
  EXPECT_EQ(EncodeJpegRgb({rgb.data(), 4, 4, 12}, {}, out), Error::kOk);
}

// What the writer is for: pictures of screens, as small as files and as faithful as
// libjpeg's own at the same quality. The program's screenshots (under docs/, the user
// guide's among them) serve as the screens; random pictures (photograph-like and noise)
// of random sizes as the rest.
void ExpectAtLeastTheReference(const Image& source, int quality, const std::string& what,
                               double psnr_slack) {
  std::vector<std::uint8_t> ours;
  ASSERT_EQ(EncodeJpeg(source.View(), {quality, false}, ours), Error::kOk);
  const std::vector<std::uint8_t> theirs = testing::ReferenceJpeg(source, quality);
  const testing::DecodedJpeg ours_back = DecodeJpeg(ours), theirs_back = DecodeJpeg(theirs);
  ASSERT_TRUE(ours_back.ok) << what << ": " << ours_back.error;
  EXPECT_EQ(ours_back.warnings, 0) << what;
  ASSERT_TRUE(theirs_back.ok) << what;
  EXPECT_LE(ours.size(), theirs.size()) << what;
  EXPECT_GE(testing::Psnr(source, ours_back.image),
            testing::Psnr(source, theirs_back.image) - psnr_slack)
      << what;
}

TEST(JpegFidelity, ScreenshotsAreNoLargerAndNoWorseThanTheReference) {
  int pictures = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(PELNORO_SCREENSHOTS_DIR)) {
    if (entry.path().extension() != ".png") continue;
    std::ifstream file(entry.path(), std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    const testing::DecodedPng png = testing::DecodePng(bytes);
    ASSERT_TRUE(png.ok) << entry.path();
    for (int quality : {30, 75, 95})
      ExpectAtLeastTheReference(png.image, quality,
                                entry.path().filename().string() + " q" + std::to_string(quality),
                                0.05);
    ++pictures;
  }
  EXPECT_GE(pictures, 10);
}

TEST(JpegFidelity, RandomPicturesAreNoLargerAndNoWorseThanTheReference) {
  std::mt19937 random(21);
  for (int round = 0; round < 12; ++round) {
    const int w = 8 + static_cast<int>(random() % 500), h = 8 + static_cast<int>(random() % 400);
    const int quality = 20 + static_cast<int>(random() % 80);
    const bool noise = round % 3 == 2;
    const Image source =
        noise ? testing::Noise(w, h, random()) : testing::PhotoLike(w, h, random());
    ExpectAtLeastTheReference(source, quality,
                              std::to_string(w) + "x" + std::to_string(h) + " q" +
                                  std::to_string(quality) + (noise ? " noise" : " photo"),
                              0.05);
  }
}

}  // namespace
}  // namespace pelnoro::encoder
