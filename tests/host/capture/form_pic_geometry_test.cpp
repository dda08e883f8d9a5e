#include "capture/form_pic_geometry.h"

#include <gtest/gtest.h>

namespace pelnoro {
namespace {

TEST(FitToBox, KeepsTheWorkingImagesShape) {
  using capture::FitToBox;
  using capture::PixelSize;
  // A 400 x 200 image: a box relatively higher fits the width, a wider one the height.
  EXPECT_EQ(FitToBox(100, 100, 400, 200), (PixelSize{100, 50}));
  EXPECT_EQ(FitToBox(400, 100, 400, 200), (PixelSize{200, 100}));
  // The same shape takes the height.
  EXPECT_EQ(FitToBox(300, 150, 400, 200), (PixelSize{300, 150}));
  // A tall image in a wide box.
  EXPECT_EQ(FitToBox(90, 40, 30, 60), (PixelSize{20, 40}));
  // Halves to even: 5 x 300 / 200 = 7.5 -> 8; 3 x 300 / 200 = 4.5 -> 4.
  EXPECT_EQ(FitToBox(300, 5, 300, 200), (PixelSize{8, 5}));
  EXPECT_EQ(FitToBox(300, 3, 300, 200), (PixelSize{4, 3}));
  // No area, or below half a pixel: unchanged.
  EXPECT_FALSE(FitToBox(0, 50, 400, 200));
  EXPECT_FALSE(FitToBox(50, -1, 400, 200));
  EXPECT_FALSE(FitToBox(0.4, 80, 400, 200));
  EXPECT_FALSE(FitToBox(50, 50, 0, 200));
}

TEST(PictureWindowSize, EachFraming) {
  using capture::Framing;
  using capture::PixelSize;
  EXPECT_EQ(capture::PictureWindowSize(Framing::kCut, 200, 150), (PixelSize{230, 180}));
  EXPECT_EQ(capture::PictureWindowSize(Framing::kEdited, 200, 300), (PixelSize{238, 353}));
  EXPECT_EQ(capture::PictureWindowSize(Framing::kOpened, 320, 200), (PixelSize{360, 250}));
}

}  // namespace
}  // namespace pelnoro
