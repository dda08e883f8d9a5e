// The plain rules the windows follow: placement, fitting, the picture window's size,
// the rubber band, the JPEG quality caption.
#include <gtest/gtest.h>

#include "capture/picture_window.h"
#include "capture/selection.h"
#include "output/image_writer.h"
#include "toolkit/geometry.h"

namespace pelnoro {
namespace {

TEST(PlaceBeside, BelowAboveAndKeptOnTheScreenAtTheLeft) {
  // Screen 15360 x 11520 twips; a box 5190 x 4400 beside a main window 3450 x 2610.
  const double sw = 15360, sh = 11520;
  // Below: right edges aligned.
  EXPECT_EQ(tk::PlaceBeside({9000, 1000, 3450, 2610}, 5190, 4400, sw, sh),
            (tk::Box{7260, 3610, 5190, 4400}));
  // 6000 + 2610 + 4400 > 11520: above.
  EXPECT_EQ(tk::PlaceBeside({9000, 6000, 3450, 2610}, 5190, 4400, sw, sh),
            (tk::Box{7260, 1600, 5190, 4400}));
  // Exactly at the bottom edge still fits below.
  EXPECT_EQ(tk::PlaceBeside({9000, 4510, 3450, 2610}, 5190, 4400, sw, sh).top, 7120);
  // Near the left edge the wider box would start off the screen.
  EXPECT_EQ(tk::PlaceBeside({1200, 1000, 3450, 2610}, 5190, 4400, sw, sh).left, 0);
  // Past the right edge it stays inside; a box wider than the screen starts at 0.
  EXPECT_EQ(tk::PlaceBeside({14000, 1000, 3450, 2610}, 5190, 4400, sw, sh).left, sw - 5190);
  EXPECT_EQ(tk::PlaceBeside({9000, 1000, 3450, 2610}, 20000, 4400, sw, sh).left, 0);
}

TEST(StartPlace, PushedBackAtRightAndBottomBroughtOnAtLeftAndTop) {
  const double sw = 28800, sh = 16200, w = 3450, h = 2610;
  EXPECT_EQ(tk::StartPlace(1500, 900, w, h, sw, sh), (tk::Box{1500, 900, w, h}));
  // x + w reaching the edge exactly counts as passing it.
  EXPECT_EQ(tk::StartPlace(sw - w, sh - h, w, h, sw, sh),
            (tk::Box{sw - w - 200, sh - h - 200, w, h}));
  EXPECT_EQ(tk::StartPlace(sw - w - 1, sh - h - 1, w, h, sw, sh).left, sw - w - 1);
  EXPECT_EQ(tk::StartPlace(-1, -99999, w, h, sw, sh), (tk::Box{0, 0, w, h}));
  // A screen narrower than the window: its left edge at the screen's.
  EXPECT_EQ(tk::StartPlace(100, 100, w, h, 3000, 2000), (tk::Box{0, 0, w, h}));
}

TEST(Centred, OnTheScreen) {
  EXPECT_EQ(tk::Centred(3180, 3825, 19200, 16200), (tk::Box{8010, 6187.5, 3180, 3825}));
}

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

TEST(RubberBand, NormalisedOnEachAxis) {
  EXPECT_EQ(capture::BandRect(30, 20, 10, 40), (tk::Rect{10, 20, 30, 40}));
  EXPECT_EQ(capture::BandRect(30, 20, 50, 5), (tk::Rect{30, 5, 50, 20}));
  // The release: the smaller coordinate becomes the start, each axis by itself.
  EXPECT_EQ(capture::ReleasedAxis(L"300", 100),
            (std::pair<std::wstring, std::wstring>{L"100", L"300"}));
  EXPECT_EQ(capture::ReleasedAxis(L"100", 300),
            (std::pair<std::wstring, std::wstring>{L"100", L"300"}));
  EXPECT_EQ(capture::ReleasedAxis(L"12", -5.5),
            (std::pair<std::wstring, std::wstring>{L"-5.5", L"12"}));
  EXPECT_EQ(capture::ReleasedAxis(L"7", 7), (std::pair<std::wstring, std::wstring>{L"7", L"7"}));
}

TEST(JpegQuality, WholeNumbersUpTo255) {
  EXPECT_EQ(output::JpegQualityOf(L"75"), 75);
  EXPECT_EQ(output::JpegQualityOf(L"0"), 0);
  EXPECT_EQ(output::JpegQualityOf(L"  255"), 255);
  EXPECT_EQ(output::JpegQualityOf(L"0100"), 100);
  for (const wchar_t* bad : {L"256", L"", L" ", L"7.5", L"-1", L"abc", L"75 ", L"99999999999"}) {
    EXPECT_FALSE(output::JpegQualityOf(bad)) << bad;
  }
}

}  // namespace
}  // namespace pelnoro
