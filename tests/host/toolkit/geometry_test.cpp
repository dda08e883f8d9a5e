#include "toolkit/geometry.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace pelnoro
