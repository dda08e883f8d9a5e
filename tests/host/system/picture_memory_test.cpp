#include "system/picture_memory.h"

#include <gtest/gtest.h>

namespace pelnoro {
namespace {

TEST(PictureMemory, APictureNeedsFourOfItsImagesAndIsRefusedBeyondWhatIsFree) {
  // 12000 x 9000: 432,000,000 bytes an image, four of them.
  constexpr std::uint64_t kNeed = 1'728'000'000;
  EXPECT_EQ(sys::PictureMemoryNeed(12000, 9000), kNeed);
  EXPECT_EQ(sys::PictureMemoryNeed(1, 1), 16u);
  struct Case {
    long long width, height;
    std::uint64_t available;
    bool refused;
  } cases[] = {
      {12000, 9000, kNeed, false},       {12000, 9000, kNeed - 1, true},
      {9000, 12000, kNeed - 1, true},    {12000, 9000, 900u << 20, true},
      {65535, 65535, 1ull << 36, false}, {0, 0, 0, false},  // no size declared: the decoder checks
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    EXPECT_EQ(sys::RefusedForMemory(c.width, c.height, c.available).has_value(), c.refused);
  }
  const auto refused = sys::RefusedForMemory(12000, 9000, 900u << 20);
  ASSERT_TRUE(refused);
  EXPECT_FALSE(refused->picture);
  EXPECT_EQ(refused->error, sys::kPictureOutOfMemory);
  EXPECT_EQ(
      refused->description,
      L"この画像 (12000×9000) を開くには約 1648 MB のメモリが必要ですが、空いているメモリは約 "
      L"900 MB です。ほかのプログラムを閉じるか、小さい画像にしてください。");
}

}  // namespace
}  // namespace pelnoro
