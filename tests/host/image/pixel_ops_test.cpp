#include "image/pixel_ops.h"

#include <gtest/gtest.h>

namespace pelnoro {
namespace {

TEST(PixelOps, StretchMirrorsAndCopyClips) {
  image::Surface src(4, 2);
  for (int x = 0; x < 4; ++x) {
    src.setPixel(x, 0, static_cast<std::uint32_t>(x));
    src.setPixel(x, 1, static_cast<std::uint32_t>(10 + x));
  }
  image::Surface dst(4, 2, 99);
  image::StretchNearest(src, 0, 0, 4, 2, dst, 3, 0, -4, 2);
  EXPECT_EQ(dst.pixel(0, 0), 3);
  EXPECT_EQ(dst.pixel(3, 1), 10);
  image::Surface big(8, 4, 99);
  image::StretchNearest(src, 0, 0, 4, 2, big, 0, 0, 8, 4);
  EXPECT_EQ(big.pixel(1, 1), 0);
  EXPECT_EQ(big.pixel(2, 2), 11);
  image::Surface cut(3, 3, 99);
  image::CopyRect(src, 2, 1, 3, 3, cut, 0, 0, 7);
  EXPECT_EQ(cut.pixel(0, 0), 12);
  EXPECT_EQ(cut.pixel(1, 0), 13);
  EXPECT_EQ(cut.pixel(2, 0), 7);
  EXPECT_EQ(cut.pixel(0, 1), 7);
}

TEST(PixelOps, ShrinkAveragesEachBlockTheEdgeBlocksTheirOwnPixels) {
  // 5 x 3: red 10x + y, green 20x, blue 7.
  image::Surface src(5, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      src.setPixel(x, y, static_cast<std::uint32_t>(10 * x + y) | (20u * x) << 8 | 7u << 16);
  const image::Surface out = image::ShrinkByAverage(src, 2);
  ASSERT_EQ(out.width(), 3);
  ASSERT_EQ(out.height(), 2);
  const struct {
    int x, y;
    std::uint32_t color;
  } cases[] = {
      {0, 0, 6 | 10 << 8 | 7 << 16},   // 5.5 rounds up
      {2, 0, 41 | 80 << 8 | 7 << 16},  // one column: 40 and 41
      {1, 1, 27 | 50 << 8 | 7 << 16},  // one row: 22 and 32
      {2, 1, 42 | 80 << 8 | 7 << 16},  // the corner pixel alone
  };
  for (const auto& c : cases) EXPECT_EQ(out.pixel(c.x, c.y), c.color) << c.x << "," << c.y;
  EXPECT_EQ(image::ShrinkByAverage(src, 1).pixels(), src.pixels());
}

TEST(PixelOps, PixelsLaidOverTheBackground) {
  // 0xAARRGGBB in, 0x00BBGGRR out.
  EXPECT_EQ(image::OverBackground(0xFF102030, 0x00FFFFFF), 0x00302010u);
  EXPECT_EQ(image::OverBackground(0x00102030, 0xAA445566), 0x00445566u);
  // Half transparent: each channel halfway, rounded.
  EXPECT_EQ(image::OverBackground(0x80FF0000, 0x00000000), 0x00000080u);
  EXPECT_EQ(image::OverBackground(0x80000000, 0x00FFFFFF), 0x007F7F7Fu);
}

}  // namespace
}  // namespace pelnoro
