#include "imagemap/preview_fit.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace pelnoro {
namespace {

TEST(PreviewFitTest, TheCopyShrinksByTheLargestFactorLeavingTwiceTheFit) {
  // 12000 x 9000 fits as 200 x 150: 30 leaves 400 x 300, 31 would not.
  for (auto [w, h, factor] : {std::tuple{12000, 9000, 30},
                              {12399, 9299, 30},
                              {400, 300, 1},
                              {50, 20, 1},
                              {1000, 9000, 29},
                              {16000, 300, 37}}) {
    EXPECT_EQ(imagemap::PreviewShrink(w, h, imagemap::FitPreview(w, h)), factor) << w << "x" << h;
  }
}

TEST(PreviewFitTest, FitsInto200By150) {
  auto fit = [](int w, int h) {
    const auto f = imagemap::FitPreview(w, h);
    return std::vector<double>{static_cast<double>(f.width), static_cast<double>(f.height), f.left,
                               f.top};
  };
  using V = std::vector<double>;
  EXPECT_EQ(fit(400, 100), (V{200, 50, 376, 82}));
  EXPECT_EQ(fit(400, 400), (V{150, 150, 401, 32}));
  EXPECT_EQ(fit(100, 300), (V{50, 150, 451, 32}));
  EXPECT_EQ(fit(150, 120), (V{150, 120, 401, 47}));
  EXPECT_EQ(fit(151, 121), (V{151, 121, 400.5, 46.5}));
  // At and just past the limits.
  EXPECT_EQ(fit(200, 150), (V{200, 150, 376, 32}));
  EXPECT_EQ(fit(201, 150), (V{200, 149, 376, 32.5}));
  EXPECT_EQ(fit(200, 151), (V{199, 150, 376.5, 32}));
  EXPECT_EQ(fit(201, 151), (V{200, 150, 376, 32}));    // 150.25: still fits
  EXPECT_EQ(fit(201, 152), (V{199, 150, 376.5, 32}));  // 151.24 -> 151: refitted
  // Halves to even: 50.5 -> 50, 51.5 -> 52, 187.5 -> 188.
  EXPECT_EQ(fit(400, 101)[1], 50);
  EXPECT_EQ(fit(400, 103)[1], 52);
  EXPECT_EQ(fit(200, 160)[0], 188);
  // Far taller than wide: the intermediate height is far beyond 16 bits.
  EXPECT_EQ(fit(1000, 100000), (V{2, 150, 475, 32}));
}

}  // namespace
}  // namespace pelnoro
