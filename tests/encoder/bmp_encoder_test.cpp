#include "encoder/bmp_encoder.h"

#include <gtest/gtest.h>

#include "test_images.h"

namespace pelnoro::encoder {
namespace {

std::uint32_t Read32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// Reads the file the way a viewer does: from the offsets in its headers.
TEST(Bmp, HeadersPaddingAndBottomUpRowsForEveryRowAlignment) {
  for (int width = 1; width <= 5; ++width) {
    const testing::Image source = testing::PhotoLike(width, 3, width);
    std::vector<std::uint8_t> bytes;
    ASSERT_EQ(EncodeBmp(source.View(), bytes), Error::kOk);
    ASSERT_GE(bytes.size(), 54u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(Read32(bytes, 2), bytes.size());
    EXPECT_EQ(Read32(bytes, 14), 40u);
    EXPECT_EQ(static_cast<int>(Read32(bytes, 18)), width);
    EXPECT_EQ(static_cast<int>(Read32(bytes, 22)), 3);  // positive height: bottom-up
    EXPECT_EQ(bytes[28], 24);
    EXPECT_EQ(Read32(bytes, 30), 0u);  // uncompressed
    const std::size_t stride = (width * 3 + 3) / 4 * 4;
    EXPECT_EQ(bytes.size(), Read32(bytes, 10) + stride * 3);
    for (int y = 0; y < 3; ++y) {
      const std::size_t row = Read32(bytes, 10) + stride * (2 - y);
      for (int x = 0; x < width; ++x) {
        const std::uint8_t* p = &bytes[row + 3 * x];
        EXPECT_EQ(testing::Rgb(p[2], p[1], p[0]), source.At(x, y)) << width << " " << x << "," << y;
      }
      for (std::size_t pad = width * 3; pad < stride; ++pad) EXPECT_EQ(bytes[row + pad], 0);
    }
  }
}

TEST(Bmp, RejectsBadSizesAndFilesOver4GiB) {
  const std::vector<std::uint32_t> pixels(4, 0);
  std::vector<std::uint8_t> out;
  EXPECT_EQ(EncodeBmp({pixels.data(), 0, 1, 1}, out), Error::kBadSize);
  EXPECT_EQ(EncodeBmp({pixels.data(), 2, 2, 1}, out), Error::kBadSize);
  // The size is refused before any pixel is read.
  EXPECT_EQ(EncodeBmp({pixels.data(), 40000, 40000, 40000}, out), Error::kTooLarge);
}

}  // namespace
}  // namespace pelnoro::encoder
