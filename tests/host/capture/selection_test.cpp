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
  // On 320 x 200: from, by, to.
  const int cases[][6] = {
      {50, 40, 1, -10, 51, 30}, {5, 3, -10, -10, 0, 0}, {315, 195, 10, 10, 319, 199}};
  for (const auto& c : cases) {
    EXPECT_EQ(capture::NudgedPointer({c[0], c[1]}, c[2], c[3], 320, 200),
              (sys::ScreenPoint{c[4], c[5]}));
  }
}

}  // namespace
}  // namespace pelnoro
