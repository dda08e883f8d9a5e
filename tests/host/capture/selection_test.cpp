#include "capture/selection.h"

#include <gtest/gtest.h>

namespace pelnoro {
namespace {

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

TEST(KeyboardPointer, MovesAndStaysOnTheScreen) {
  struct Case {
    sys::ScreenPoint from;
    int dx, dy;
    sys::ScreenPoint to;
  };
  // A 320 x 200 screen: its last pixel is (319, 199).
  const Case cases[] = {
      {{50, 40}, 1, 0, {51, 40}},     {{50, 40}, 0, -10, {50, 30}},
      {{5, 40}, -10, 0, {0, 40}},     {{50, 3}, 0, -10, {50, 0}},
      {{315, 40}, 10, 0, {319, 40}},  {{50, 195}, 0, 10, {50, 199}},
      {{319, 199}, 1, 1, {319, 199}}, {{250, 150}, 0, 10, {250, 160}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(capture::NudgedPointer(c.from, c.dx, c.dy, 320, 200), c.to)
        << c.from.x << "," << c.from.y << " by " << c.dx << "," << c.dy;
  }
}

}  // namespace
}  // namespace pelnoro
