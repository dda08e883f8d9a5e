#include "program/run_error.h"

#include <gtest/gtest.h>

namespace pelnoro {
namespace {

TEST(ErrorText, TwoBlanksBeforeAPositiveNumber) {
  EXPECT_EQ(program::ErrorMessageText(53, L"P", L"D"), L"ｴﾗｰ番号  53P でｴﾗｰが発生しました。\rD");
  EXPECT_EQ(program::ErrorMessageText(-1, L"P", L"D"), L"ｴﾗｰ番号 -1P でｴﾗｰが発生しました。\rD");
}

}  // namespace
}  // namespace pelnoro
