#include "system/number_text.h"

#include <gtest/gtest.h>

namespace pelnoro {
namespace {

TEST(NumberText, RoundingAndShortestSingleText) {
  EXPECT_EQ(sys::RoundHalfEven(2.5), 2);
  EXPECT_EQ(sys::RoundHalfEven(3.5), 4);
  EXPECT_EQ(sys::RoundHalfEven(-2.5), -2);
  EXPECT_EQ(sys::RoundHalfEven(-2.6), -3);
  EXPECT_EQ(sys::SingleText(1500), L"1500");
  EXPECT_EQ(sys::SingleText(-225), L"-225");
  EXPECT_EQ(sys::SingleText(1234.5), L"1234.5");
  EXPECT_EQ(sys::SingleText(0.1), L"0.1");
  EXPECT_EQ(sys::LenientNumber(L" - 1 2.5e3"), -12.5);
  EXPECT_EQ(sys::LenientNumber(L"abc"), 0);
}

}  // namespace
}  // namespace pelnoro
