// The loupe: the square around the pointer, and its overlay picture.
#include "capture/form_loupe.h"

#include <gtest/gtest.h>

#include "app_fixture.h"

namespace pelnoro {
namespace {

using LoupeTest = testing::CaptureTest;

TEST_F(LoupeTest, LoupeShowsThe31SquareAroundThePointer) {
  shutter();
  auto& s = pic().PicturePic_Screen;
  s.raiseMouseMove({0, 0, 100, 50});
  const auto& l = app->loupe().PictureLOUPE.surface();
  // The centre shows the pointer pixel; the corners the square's corners.
  EXPECT_EQ(l.pixel(60, 60), 100 + 4096 * 50);
  EXPECT_EQ(l.pixel(0, 0), 85 + 4096 * 35);
  EXPECT_EQ(l.pixel(119, 119), 115 + 4096 * 65);
  // At the origin the square starts at (-15, -15): black outside the picture.
  s.raiseMouseMove({0, 0, 0, 0});
  EXPECT_EQ(l.pixel(0, 0), 0);
  EXPECT_EQ(l.pixel(60, 60), 0 + 4096 * 0);
  EXPECT_EQ(l.pixel(119, 119), 15 + 4096 * 15);
  // Halves to even: 12.5 - 15 = -2.5 starts at -2.
  s.raiseMouseMove({0, 0, 12.5, 20});
  EXPECT_EQ(l.pixel(119, 60), 28 + 4096 * 20);
}

TEST_F(LoupeTest, CrosshairPicture) {
  const auto p = capture::CrosshairPicture();
  const std::uint32_t key = capture::kLoupeKey, red = 0x000080, green = 0x00FB00;
  // The picture as drawn by hand: the cross on column and row 60, open at 57-58 and
  // 62-63, the 3 x 3 centre, and the green lines beside the cross's inner part.
  auto expected = [&](int x, int y) {
    const bool gap = [](int v) {
      return v == 57 || v == 58 || v == 62 || v == 63;
    }(x == 60 ? y : x);
    if (x >= 59 && x <= 61 && y >= 59 && y <= 61) return red;
    if ((x == 60 || y == 60) && !gap) return red;
    const bool inner = [](int v) { return (v >= 29 && v <= 56) || (v >= 64 && v <= 89); }(y);
    if ((x == 59 || x == 61) && inner) return green;
    const bool innerX = [](int v) { return (v >= 30 && v <= 56) || (v >= 64 && v <= 89); }(x);
    if ((y == 59 || y == 61) && innerX) return green;
    return key;
  };
  ASSERT_EQ(p->width(), 120);
  ASSERT_EQ(p->height(), 120);
  int mismatches = 0;
  for (int y = 0; y < 120; ++y) {
    for (int x = 0; x < 120; ++x) {
      if (p->pixel(x, y) != expected(x, y) && ++mismatches <= 5) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ")";
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
}  // namespace pelnoro
