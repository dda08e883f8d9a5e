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
